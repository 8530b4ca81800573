#pragma once

#include <string>

#include "cli/seeded_run.h"
#include "sim/engine/score_aggregate.h"

namespace quorvex::cli {

// The results file of the dialogue for the same run, byte for byte: the
// songs folded into the dialogue's tally, ordered, and rendered by the
// report's own line functions (carriage return and line feed included).
std::string classicResultsText(const RunRequest& request, const ScoreAggregate& songs);

} // namespace quorvex::cli
