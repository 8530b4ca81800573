#pragma once

#include "cli/simulate_settings.h"

namespace quorvex::cli {

// Plays the run, renders every text asked for (the report in its format,
// the dialogue's results table, the plot), then writes each to its file,
// whole or not at all. Returns 0, or 1 after one line on standard error per
// file that could not be written, naming it and the reason.
int runSimulate(const SimulateSettings& settings);

} // namespace quorvex::cli
