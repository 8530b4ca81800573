#pragma once

// Reading a command's options from the texts CLI11 kept (option_texts.h),
// each with the program's own readers (option_values.h); the first option
// that is wrong ends the command line with a UsageError naming it, the value
// and what it accepts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/simulate_settings.h"

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace quorvex::cli {

// What the options shared by the commands accept, as messages say it.
inline constexpr const char* countDomain = "a whole number from 1 to 2147483647";
inline constexpr const char* seedDomain = "a whole number from 0 to 4294967295";
inline constexpr const char* threadDomain = "a whole number from 1 to 1024";
inline constexpr const char* formatDomain = "one of text, csv, json";
inline constexpr const char* fileDomain = "a file name (\"-\": standard output)";
inline constexpr const char* scoresDomain = "a list of scores from 0 to 1000 separated by commas";

inline constexpr std::int64_t countLimit = 2147483647;
inline constexpr std::int64_t seedLimit = 4294967295;
inline constexpr std::int64_t threadLimit = 1024;

// One line of a command's table of what its options accept.
struct OptionDomain {
    std::string_view option;
    const char* accepts;
};

// The options every command declares alike, with their help lines.
CLI::Option* declareStepsOption(CLI::App& command);
// `sameForAnyCount` ends the help line: "the results are the same for any count".
CLI::Option* declareThreadsOption(CLI::App& command, std::string_view sameForAnyCount);
CLI::Option* declareAtLeastOption(CLI::App& command);
CLI::Option* declareQuietFlag(CLI::App& command);

// What `option` accepts by the table (Command::accepts); "" for an option
// the table does not hold.
std::string domainOf(std::string_view option, std::span<const OptionDomain> domains);

// The option's text; "<option> is required: <accepts>" when it was not given.
std::string requiredText(const CLI::Option& option, std::string_view accepts);

// A whole number in [low, high] (readWholeNumber), required or optional.
std::int64_t requiredWholeNumber(const CLI::Option& option, std::int64_t low, std::int64_t high,
                                 std::string_view accepts);
std::optional<std::int64_t> optionalWholeNumber(const CLI::Option& option, std::int64_t low,
                                                std::int64_t high, std::string_view accepts);

// The threads to run on when --threads is not given: the CPUs the process
// may use, at most threadLimit.
int defaultThreadCount();

// --seed: the clock second to seed from, 0 to seedLimit; when not given, the
// current second taken as 32 bits, as the dialogue takes it.
std::uint32_t seedSecond(const CLI::Option& option);

// --threads: 1 to threadLimit; defaultThreadCount() when not given.
int threadCount(const CLI::Option& option);

// --at-least: the scores of a list (readScoreList); none when not given.
std::vector<std::int32_t> scoreList(const CLI::Option& option);

// --format: text, csv or json; text when not given.
ReportFormat reportFormat(const CLI::Option& option);

// A file name that is not empty, when given.
std::optional<std::string> fileName(const CLI::Option& option);

// Refuses two outputs named to one regular file (or to a name that does not
// exist yet), where only the text written last would remain. Standard
// output ("-") and devices take every text in turn and may be named more
// than once. `files` holds each option's name and file, the report's first.
void refuseSharedFiles(const std::vector<std::pair<std::string, std::optional<std::string>>>& files);

} // namespace quorvex::cli
