#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace quorvex::cli {

// One command of the command line (`quorvex simulate`, ...). The command
// line makes each command once, lets it declare its options on its own
// CLI11 subcommand, parses, and runs the command that was named.
class Command {
  public:
    Command() = default;
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;
    Command(Command&&) = delete;
    Command& operator=(Command&&) = delete;

    virtual std::string_view name() const = 0;
    // One line for the list of commands in `quorvex --help`.
    virtual std::string_view summary() const = 0;

    // Declares the options (with their domains in the help text) and the
    // help's example on the command's subcommand. CLI11 keeps only the texts
    // given; the command reads and checks them in run().
    virtual void declareOptions(CLI::App& command) = 0;

    // What an option of this command accepts, in words ("a whole number
    // from 1 to 2147483647"), for messages about it; "" for a name the
    // command does not have or an option that takes no value.
    virtual std::string accepts(std::string_view option) const = 0;

    // After a successful parse: checks every option (throwing UsageError
    // before anything is run or written), runs, and returns the exit status.
    virtual int run() = 0;
};

} // namespace quorvex::cli
