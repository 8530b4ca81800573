#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace quorvex::app {

// A request that asks for something the program does not accept. The
// message names the option, the value as given and what would be accepted,
// e.g. `--perfect "1.5" is not a ratio in (0, 1]`; the command line adds the
// command's name before it and the hint to its help after it, and exits
// with status 2 before anything is run or written. option() is the option's
// name without dashes ("perfect"), or "" for a message about no one option.
class UsageError : public std::runtime_error {
  public:
    UsageError(std::string message, std::string option = {})
        : std::runtime_error(message), option_(std::move(option)) {}
    const std::string& option() const { return option_; }

  private:
    std::string option_;
};

// A run that could not finish, e.g. a goal no ratio meets: the one line the
// command line writes after "quorvex <command>: " before it exits with 1.
class RunFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A run stopped by RunControl::cancel before it finished.
class RunCancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "the run was cancelled"; }
};

// Exit statuses of the command line.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1; // the run could not finish: a file could not be written
inline constexpr int exitUsage = 2;   // the command line was refused; nothing was run or written

} // namespace quorvex::app
