#pragma once

#include <initializer_list>
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
//
// The commands reach CLI11 only through these functions: its header is
// costly to compile (half a minute a file in the sanitizer build), and only
// option_texts.cpp and command_line.cpp include it.

// Declares `--name VALUE` with the value's name and the help line.
CLI::Option* declareTextOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help);

// Declares a flag that takes no value (`--quiet=1` is refused).
CLI::Option* declareFlag(CLI::App& command, const std::string& name, const std::string& help);

// The text the command's help shows after its options.
void setHelpFooter(CLI::App& command, const std::string& footer);

// Lists the options under one heading of the command's help.
void groupOptions(const std::string& heading, std::initializer_list<CLI::Option*> options);

// The option's name as messages give it ("--songs").
std::string optionName(const CLI::Option& option);

// Whether the flag was given.
bool flagGiven(const CLI::Option& flag);

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
