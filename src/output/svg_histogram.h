#pragma once

#include <string>

#include "output/simulation_record.h"

namespace quorvex::output {

// A self-contained SVG picture (viewBox 900 x 560) of a run's song scores: a
// title with the songs, steps, ratio and seed; bars of the share of songs
// per score, or per bin of a round width when the scores would make bars
// thinner than 4 units (see histogram_bins.h); axes with round ticks; the
// mean and the median marked with labelled lines; and a caption with P(AAA),
// its 95% interval and the exact chance for independent draws. Generic
// fonts, no scripts, nothing fetched; ends in "\n".
std::string histogramSvg(const SimulationRecord& run);

} // namespace quorvex::output
