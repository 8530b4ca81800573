#pragma once

// What every end-to-end run shares: the second the clock is pinned to, the
// texts the program shows before it reads, the options of a run whose input
// is typed, a run of a command, and the device that keeps nothing.

#include <string>
#include <utility>
#include <vector>

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

// `quorvex <command> <arguments>` with the clock at pinnedSecond, in
// `workDir` (empty: a fresh temporary folder).
inline ProgramRun runCommand(const std::string& command, const std::vector<std::string>& arguments,
                             const std::string& workDir = "") {
    ProgramOptions options;
    options.arguments = {command};
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    options.pinnedTime = pinnedSecond;
    options.workDir = workDir;
    return runProgram(options);
}

// The device that takes any bytes and keeps none.
#ifdef _WIN32
inline const char* const nullDevice = "NUL";
#else
inline const char* const nullDevice = "/dev/null";
#endif

} // namespace quorvex::testing
