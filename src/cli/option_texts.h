#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace quorvex::cli {

// Options whose values CLI11 keeps as the texts given, every occurrence, so
// that the command reads them with its own readers and says in its own words
// what is wrong with them.

// Declares `--name VALUE` with the value's name and the help line.
CLI::Option* declareTextOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help);

// Declares a flag that takes no value (`--quiet=1` is refused).
CLI::Option* declareFlag(CLI::App& command, const std::string& name, const std::string& help);

// The option's text, or nothing when it was not given. Throws UsageError
// when it was given more than once.
std::optional<std::string> givenText(const CLI::Option& option);

// The text as messages show it: in double quotes, with quotes, backslashes
// and control characters escapes (\", \\, \n, \t, \xNN) so that a message
// stays on one line.
std::string quoteForMessage(std::string_view text);

// Throws UsageError: `<option> "<text>" is not <accepts>`.
[[noreturn]] void refuseValue(std::string_view option, std::string_view text, std::string_view accepts);

} // namespace quorvex::cli
