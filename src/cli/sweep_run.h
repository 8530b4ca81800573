#pragma once

#include "cli/sweep_settings.h"

namespace quorvex::cli {

// Plays the sweep, renders every text asked for (the plot, the report in its
// format), then writes each to its file, whole or not at all. Returns 0, or
// 1 after one line on standard error per file that could not be written,
// naming it and the reason.
int runSweep(const SweepSettings& settings);

} // namespace quorvex::cli
