#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace quorvex::cli {

// The one wrapper around CLI11 the commands use: options whose values CLI11
// keeps as the texts given, every occurrence, so that the run layer reads
// them with its own readers and says in its own words what is wrong.
//
// CLI11's header is costly to compile (half a minute a file in the
// sanitizer build): only this file and command_line.cpp include it.

// Declares `--name VALUE` with the value's name and the help line.
CLI::Option* declareTextOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help);

// Declares a flag that takes no value (`--quiet=1` is refused).
CLI::Option* declareFlag(CLI::App& command, const std::string& name, const std::string& help);

// The text the command's help shows after its options.
void setHelpFooter(CLI::App& command, const std::string& footer);

// Lists the option under a heading of the command's help.
void groupOption(CLI::Option& option, const std::string& heading);

// The option's name as messages give it ("--songs").
std::string optionName(const CLI::Option& option);

// Whether the flag was given.
bool flagGiven(const CLI::Option& flag);

// Every text given to the option, in order.
const std::vector<std::string>& givenTexts(const CLI::Option& option);

// The option's text, or nothing when it was not given. Throws UsageError
// when it was given more than once.
std::optional<std::string> givenText(const CLI::Option& option);

} // namespace quorvex::cli
