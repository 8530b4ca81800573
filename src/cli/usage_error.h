#pragma once

#include <stdexcept>
#include <string>

namespace quorvex::cli {

// A command line that asks for something the program does not accept. The
// message names the option, the value as given and what would be accepted,
// e.g. `--perfect "1.5" is not a ratio in (0, 1]`; the command line adds the
// command's name before it and the hint to its help after it, and exits
// with status 2 before anything is run or written.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Exit statuses of the command line.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1; // the run could not finish: a file could not be written
inline constexpr int exitUsage = 2;   // the command line was refused; nothing was run or written

} // namespace quorvex::cli
