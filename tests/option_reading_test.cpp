// Reading options from the texts given: each refusal names the option, the
// value and what it accepts; two outputs may share standard output or a
// device, never a regular file.

#include "cli/option_reading.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/option_texts.h"
#include "cli/usage_error.h"
#include "temp_folder.h"

namespace quorvex::cli {
namespace {

// A command with --count and --format, parsed from `arguments`.
struct Parsed {
    CLI::App app{"test", "test"};
    CLI::Option* count = declareTextOption(app, "--count", "N", "a count");
    CLI::Option* format = declareTextOption(app, "--format", "FORMAT", "a format");
    explicit Parsed(std::vector<std::string> arguments) {
        std::reverse(arguments.begin(), arguments.end());
        app.parse(arguments);
    }
};

std::string refusal(const std::function<void()>& read) {
    try {
        read();
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(OptionReading, NumbersAndFormatsOrOneLineSayingWhatIsWrong) {
    const Parsed none({});
    EXPECT_EQ(refusal([&] { requiredWholeNumber(*none.count, 1, 9, "a digit"); }),
              "--count is required: a digit");
    EXPECT_EQ(optionalWholeNumber(*none.count, 1, 9, "a digit"), std::nullopt);
    EXPECT_EQ(reportFormat(*none.format), ReportFormat::text);

    const Parsed given({"--count", "07", "--format", "json"});
    EXPECT_EQ(requiredWholeNumber(*given.count, 1, 9, "a digit"), 7);
    EXPECT_EQ(reportFormat(*given.format), ReportFormat::json);

    const Parsed wrong({"--count", "10", "--format", "xml"});
    EXPECT_EQ(refusal([&] { optionalWholeNumber(*wrong.count, 1, 9, "a digit"); }),
              "--count \"10\" is not a digit");
    EXPECT_EQ(refusal([&] { reportFormat(*wrong.format); }),
              "--format \"xml\" is not one of text, csv, json");
    EXPECT_EQ(refusal([&] {
                  fileName(*Parsed({"--format", ""}).format);
              }),
              "--format \"\" is not a file name (\"-\": standard output)");
}

TEST(OptionReading, SeedThreadsAndScoresOrOneLineSayingWhatIsWrong) {
    const Parsed given({"--count", "4294967295", "--format", "0950,1000,950"});
    EXPECT_EQ(seedSecond(*given.count), 4294967295U);
    EXPECT_EQ(scoreList(*given.format), (std::vector<std::int32_t>{950, 1000}));
    EXPECT_EQ(refusal([&] { threadCount(*given.count); }),
              "--count \"4294967295\" is not a whole number from 1 to 1024");
    EXPECT_EQ(threadCount(*Parsed({"--count", "1024"}).count), 1024);
    EXPECT_EQ(refusal([&] {
                  seedSecond(*Parsed({"--count", "-1"}).count);
              }),
              "--count \"-1\" is not a whole number from 0 to 4294967295");
    EXPECT_EQ(refusal([&] {
                  scoreList(*Parsed({"--format", "950,"}).format);
              }),
              "--format \"950,\" is not a list of scores from 0 to 1000 separated by commas");

    // Not given: no scores, the usable CPUs, and the clock's second.
    const Parsed none({});
    EXPECT_TRUE(scoreList(*none.format).empty());
    EXPECT_EQ(threadCount(*none.count), defaultThreadCount());
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    const std::uint32_t seed = seedSecond(*none.count);
    EXPECT_LE(seed - before, 1U); // the second may turn between the two readings
}

TEST(OptionReading, DomainsComeFromTheCommandsTable) {
    static constexpr OptionDomain domains[] = {{"--songs", "a count"}, {"--plot", "a file"}};
    EXPECT_EQ(domainOf("--plot", domains), "a file");
    EXPECT_EQ(domainOf("--songs", domains), "a count");
    EXPECT_EQ(domainOf("--quiet", domains), "");
}

// The device that takes any bytes and keeps none.
#ifdef _WIN32
const char* const nullDevice = "NUL";
#else
const char* const nullDevice = "/dev/null";
#endif

TEST(OptionReading, OnlyRegularFilesCannotBeShared) {
    const testing::TempFolder folder("option_reading_test");
    const std::string file = folder / "report.txt";
    EXPECT_EQ(refusal([&] {
                  refuseSharedFiles({{"--output", file}, {"--plot", std::nullopt}, {"--results", file}});
              }),
              "--results " + quoteForMessage(file) +
                  " names the file --output writes; give each its own file");
    EXPECT_EQ(refusal([&] {
                  refuseSharedFiles(
                      {{"--output", "-"}, {"--plot", "-"}, {"--results", nullDevice}, {"--log", nullDevice}});
              }),
              "accepted");
}

} // namespace
} // namespace quorvex::cli
