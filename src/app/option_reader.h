#pragma once

// Reading a request's options from their texts (option_texts.h), each with
// the program's own readers (option_values.h); the first option found wrong
// ends the reading with a UsageError naming it, the value and what it
// accepts, in the command line's own words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_catalog.h"
#include "app/option_texts.h"

namespace quorvex::app {

// What options shared by the commands accept, as messages say it.
inline constexpr const char* countDomain = "a whole number from 1 to 2147483647";
inline constexpr const char* seedDomain = "a whole number from 0 to 4294967295";
inline constexpr const char* threadDomain = "a whole number from 1 to 1024";
inline constexpr const char* scoresDomain = "a list of scores from 0 to 1000 separated by commas";

inline constexpr std::int64_t countLimit = 2147483647;
inline constexpr std::int64_t seedLimit = 4294967295;
inline constexpr std::int64_t threadLimit = 1024;

// The text as messages show it: in double quotes, with quotes, backslashes
// and control characters escaped (\", \\, \n, \t, \xNN) so that a message
// stays on one line.
std::string quoteForMessage(std::string_view text);

// Throws UsageError: `--<option> "<text>" is not <accepts>`, about `option`
// (its name without dashes).
[[noreturn]] void refuseValue(std::string_view option, std::string_view text, std::string_view accepts);

// The texts of one request, read against its command's options.
class OptionReader {
  public:
    // Throws UsageError `unknown option "xyz"` for the first name the
    // command does not have.
    OptionReader(const CommandEntry& command, const OptionTexts& texts);

    // What the option accepts (OptionEntry::accepts).
    std::string_view accepts(std::string_view option) const;

    // The option's text, or nothing when it was not given. Throws
    // UsageError when it was given more than once.
    std::optional<std::string> given(std::string_view option) const;

    // The text; "--<option> is required: <accepts>" when not given.
    std::string required(std::string_view option) const;

    // A whole number in [low, high] (readWholeNumber), required or optional.
    std::int64_t requiredWholeNumber(std::string_view option, std::int64_t low, std::int64_t high) const;
    std::optional<std::int64_t> optionalWholeNumber(std::string_view option, std::int64_t low,
                                                    std::int64_t high) const;

    // --seed: 0 to seedLimit; `currentSecond` when not given.
    std::uint32_t seedSecond(std::uint32_t currentSecond) const;

    // --at-least: the scores of a list (readScoreList); none when not given.
    std::vector<std::int32_t> scoreList() const;

    // Throws UsageError: `--<option> "<text>" is not <what it accepts>`.
    [[noreturn]] void refuse(std::string_view option, std::string_view text) const;

    // The options given, in the command's order, each as given, with "seed"
    // in its place as `seed` when it was not given.
    OptionTexts asRead(std::uint32_t seed) const;

  private:
    const CommandEntry& command_;
    const OptionTexts& texts_;
};

} // namespace quorvex::app
