#pragma once

#include <string>

#include "output/simulation_record.h"

namespace quorvex::output {

// The results file of the dialogue for the same run, byte for byte: the
// record's histogram folded into the dialogue's tally, ordered, and rendered
// by the report's own line functions (carriage return and line feed
// included).
std::string classicResultsText(const SimulationRecord& run);

} // namespace quorvex::output
