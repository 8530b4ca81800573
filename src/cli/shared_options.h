#pragma once

// The options the command line adds to every command's run options (those
// of app/command_catalog.h): the threads, the files and formats written,
// the progress line. Each is declared here once with its help line and
// read here; the first one wrong throws UsageError naming it.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "output/format_registry.h"

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace quorvex::cli {

inline constexpr const char* fileDomain = "a file name (\"-\": standard output)";

// The formats --format chooses from: the command's formats but those the
// files of --plot (svg) and --results (results) take.
std::vector<output::Format> reportFormats(std::span<const output::Format> formats);

// What --format accepts, as messages say it: "one of text, csv, json".
std::string reportFormatDomain(std::span<const output::Format> formats);

// `sameForAnyCount` ends the help line: "the results are the same for any count".
CLI::Option* declareThreadsOption(CLI::App& command, std::string_view sameForAnyCount);
// --format with the command's report formats ("text, csv or json (default: text)").
CLI::Option* declareFormatOption(CLI::App& command, std::span<const output::Format> formats);
CLI::Option* declareFileOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help);
CLI::Option* declareQuietFlag(CLI::App& command);

// --threads: 1 to 1024; app::defaultThreadCount() when not given.
int threadCount(const CLI::Option& option);

// --format: one of the command's report formats; text when not given.
output::Format reportFormat(const CLI::Option& option, std::span<const output::Format> formats);

// A file name that is not empty, when given.
std::optional<std::string> fileName(const CLI::Option& option);

// Refuses two outputs named to one regular file (or to a name that does not
// exist yet), where only the text written last would remain. Standard
// output ("-") and devices take every text in turn and may be named more
// than once. `files` holds each option's name and file, the report's first.
void refuseSharedFiles(const std::vector<std::pair<std::string, std::optional<std::string>>>& files);

} // namespace quorvex::cli
