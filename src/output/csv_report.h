#pragma once

#include <string>

#include "output/simulation_record.h"

namespace quorvex::output {

// The histogram of a run as csv: the header
//   score,songs,share,highest_marvelous,lowest_marvelous,aaa_songs
// then one row per score that occurred, highest score first; `share` is
// songs / all songs as the shortest text that reads back as the same double.
// Lines end in "\n"; no field needs quoting. Nothing depends on the machine.
std::string simulationCsv(const SimulationRecord& run);

} // namespace quorvex::output
