// The command line's own options read from the texts given: each refusal
// names the option, the value and what it accepts; two outputs may share
// standard output or a device, never a regular file.

#include "cli/shared_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/option_reader.h"
#include "app/program_version.h"
#include "app/usage_error.h"
#include "cli/cli11_options.h"
#include "temp_folder.h"

namespace quorvex::cli {
namespace {

using output::Format;

// A command with --threads and --format, parsed from `arguments`.
struct Parsed {
    CLI::App app{"test", "test"};
    CLI::Option* threads = declareTextOption(app, "--threads", "T", "threads");
    CLI::Option* format = declareTextOption(app, "--format", "FORMAT", "a format");
    explicit Parsed(std::vector<std::string> arguments) {
        std::reverse(arguments.begin(), arguments.end());
        app.parse(arguments);
    }
};

std::string refusal(const std::function<void()>& read) {
    try {
        read();
    } catch (const app::UsageError& error) {
        return error.what() + std::string(" [") + error.option() + "]";
    }
    return "accepted";
}

constexpr Format everyFormat[] = {Format::text, Format::csv, Format::json, Format::svg, Format::results};
constexpr Format textAndJson[] = {Format::text, Format::json};

TEST(SharedOptions, FormatsOrOneLineSayingWhatIsWrong) {
    EXPECT_EQ(reportFormat(*Parsed({}).format, everyFormat), Format::text);
    EXPECT_EQ(reportFormat(*Parsed({"--format", "csv"}).format, everyFormat), Format::csv);
    EXPECT_EQ(reportFormat(*Parsed({"--format", "json"}).format, textAndJson), Format::json);
    // The plot's and the dialogue's table have options of their own.
    EXPECT_EQ(refusal([&] {
                  reportFormat(*Parsed({"--format", "svg"}).format, everyFormat);
              }),
              "--format \"svg\" is not one of text, csv, json [format]");
    EXPECT_EQ(refusal([&] {
                  reportFormat(*Parsed({"--format", "csv"}).format, textAndJson);
              }),
              "--format \"csv\" is not one of text, json [format]");
    EXPECT_EQ(refusal([&] {
                  fileName(*Parsed({"--format", ""}).format);
              }),
              "--format \"\" is not a file name (\"-\": standard output) [format]");
    EXPECT_EQ(refusal([&] {
                  reportFormat(*Parsed({"--format", "csv", "--format", "json"}).format, everyFormat);
              }),
              "--format is given 2 times (\"csv\", \"json\"); give it once [format]");
}

TEST(SharedOptions, ThreadsOrOneLineSayingWhatIsWrong) {
    EXPECT_EQ(threadCount(*Parsed({"--threads", "1024"}).threads), 1024);
    EXPECT_EQ(threadCount(*Parsed({"--threads", "+01"}).threads), 1);
    EXPECT_EQ(threadCount(*Parsed({}).threads), app::defaultThreadCount());
    EXPECT_EQ(refusal([&] {
                  threadCount(*Parsed({"--threads", "1025"}).threads);
              }),
              "--threads \"1025\" is not a whole number from 1 to 1024 [threads]");
    EXPECT_EQ(refusal([&] {
                  threadCount(*Parsed({"--threads", "0"}).threads);
              }),
              "--threads \"0\" is not a whole number from 1 to 1024 [threads]");
}

// The device that takes any bytes and keeps none.
#ifdef _WIN32
const char* const nullDevice = "NUL";
#else
const char* const nullDevice = "/dev/null";
#endif

TEST(SharedOptions, OnlyRegularFilesCannotBeShared) {
    const testing::TempFolder folder("shared_options_test");
    const std::string file = folder / "report.txt";
    EXPECT_EQ(refusal([&] {
                  refuseSharedFiles({{"--output", file}, {"--plot", std::nullopt}, {"--results", file}});
              }),
              "--results " + app::quoteForMessage(file) +
                  " names the file --output writes; give each its own file [results]");
    EXPECT_EQ(refusal([&] {
                  refuseSharedFiles(
                      {{"--output", "-"}, {"--plot", "-"}, {"--results", nullDevice}, {"--log", nullDevice}});
              }),
              "accepted");
}

} // namespace
} // namespace quorvex::cli
