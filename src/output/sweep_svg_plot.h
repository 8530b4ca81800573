#pragma once

#include <string>

#include "output/sweep_record.h"

namespace quorvex::output {

// A self-contained SVG picture (viewBox 900 x 560) of a sweep against the
// perfect ratio: the mean score as a line inside the band of its 95%
// interval, on the left axis; P(AAA) as estimated (a dot per ratio while
// they stand apart, else a line) and its exact value for independent draws (a
// dashed line through sweep.exactAaaCurve when it is given), on the right
// axis; a title with the songs, steps, ratios and
// seed, and a legend. Ratios given out of order are drawn in order of value.
// Generic fonts, no scripts, nothing fetched; ends in "\n". Needs a row.
std::string sweepSvg(const SweepRecord& sweep);

} // namespace quorvex::output
