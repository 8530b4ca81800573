#pragma once

#include "cli/target_settings.h"

namespace quorvex::cli {

// Answers the goal and writes the answer, whole, to its file. Returns 0; or
// 1 after one line on standard error when no ratio can be named: a goal
// every ratio meets (a chance of 0, a score of 0, a mean of 0), one no
// ratio meets (a score or mean above the best the steps allow, or short
// of the goal even at ratio 1), or a file that cannot be written.
int runTarget(const TargetSettings& settings);

} // namespace quorvex::cli
