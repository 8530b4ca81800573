#pragma once

// What every end-to-end run shares: the second the clock is pinned to, the
// texts the program shows before it reads, and the options of a run whose
// input is typed.

#include <string>
#include <utility>

#include "program_runner.h"

namespace quorvex::testing {

inline constexpr long long pinnedSecond = 1700000000;

inline const std::string banner =
    "[Quorvex] Zarvo Scoring Simulator v1.0\nby Tuvessa\n\n-Manual variable input-\n";
inline const std::string prompts = "Number of songs: Number of steps per song: Perfect ratio (0-1): ";

// A run with `input` typed on standard input and the clock at pinnedSecond.
inline ProgramOptions typed(std::string input) {
    ProgramOptions options;
    options.input = std::move(input);
    options.pinnedTime = pinnedSecond;
    return options;
}

} // namespace quorvex::testing
