// The built program, run as a user runs it: typed input on standard input,
// the clock pinned, a folder of its own. Expected results files come from an
// independent rendering: the plain song model, a std::map tally and printf.

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "program_dialogue.h"
#include "program_runner.h"
#include "runtime/random_source.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

using testing::banner;
using testing::pinnedSecond;
using testing::ProgramOptions;
using testing::ProgramRun;
using testing::prompts;
using testing::runProgram;
const std::string columnHeading =
    "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n\r\n";

struct Row {
    long long frequency = 0;
    int highest = 0, lowest = 0;
    long long aaa = 0;
};

std::string headings(const char* ratioText, int songs, int steps) {
    return std::string("Expected scores for: ") + ratioText + "\r\n" + std::to_string(songs) + " songs | " +
           std::to_string(steps) + " steps\r\n";
}

// The results file the run must write, from the plain model and printf.
std::string expectedResults(std::uint32_t seed, int songs, int steps, double ratio, const char* ratioText) {
    seedRandom(seed);
    const RunConstants constants = deriveRunConstants(steps, ratio).constants;
    std::map<int, Row, std::greater<>> rows;
    for (int song = 0; song < songs; ++song) {
        const SongResult r = simulateSong(steps, constants).result;
        auto [it, fresh] = rows.try_emplace(r.songScore);
        Row& row = it->second;
        if (fresh)
            row.highest = row.lowest = r.marvelousCount;
        ++row.frequency;
        row.highest = std::max(row.highest, r.marvelousCount);
        row.lowest = std::min(row.lowest, r.marvelousCount);
        row.aaa += r.aaaFlag;
    }
    std::string file = headings(ratioText, songs, steps) + columnHeading;
    for (const auto& [score, row] : rows) {
        char line[128];
        std::snprintf(line, sizeof line, "%4d | %5lld | %5d | %5d | %5lld | %.3Lg\r\n", score, row.frequency,
                      row.highest, row.lowest, row.aaa,
                      static_cast<long double>(row.aaa) / static_cast<long double>(row.frequency));
        file += line;
    }
    return file;
}

ProgramRun runTyped(const std::string& input, std::string workDir = "") {
    ProgramOptions options = testing::typed(input);
    options.workDir = std::move(workDir);
    return runProgram(options);
}

TEST(Program, TypicalRunShowsTheDialogueAndWritesTheTable) {
    const ProgramRun run = runTyped("3\n100\n0.9\n");
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, banner + prompts + "Working...");
    EXPECT_EQ(run.standardError, "");
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, expectedResults(pinnedSecond, 3, 100, 0.9, "0.9"));
}

TEST(Program, ValuesOnOneLineAndLargerRuns) {
    for (const auto& [input, songs, steps, ratio, ratioText] :
         {std::tuple{"10 400 0.95\n", 10, 400, 0.95, "0.95"},
          std::tuple{"2000 300 0.99", 2000, 300, 0.99, "0.99"},
          std::tuple{"500\t7\r\n0.5\n", 500, 7, 0.5, "0.5"}, std::tuple{"50 1 1\n", 50, 1, 1.0, "1"},
          std::tuple{"20 100 -0.95\n", 20, 100, -0.95, "-0.95"}}) {
        const ProgramRun run = runTyped(input);
        EXPECT_EQ(run.exitStatus, 0) << input << run.standardError;
        EXPECT_EQ(run.standardOutput, banner + prompts + "Working...") << input;
        ASSERT_TRUE(run.resultsFile) << input;
        EXPECT_EQ(*run.resultsFile, expectedResults(pinnedSecond, songs, steps, ratio, ratioText)) << input;
    }
}

TEST(Program, NoSongsGivesHeadingsOnly) {
    for (const auto& [input, heading] : {std::pair{"0 100 0.9\n", headings("0.9", 0, 100)},
                                         std::pair{"-3 100 0.9\n", headings("0.9", -3, 100)},
                                         // Octal 0, then 8 steps; the ratio follows.
                                         std::pair{"08\n0.9\n", headings("0.9", 0, 8)},
                                         // No song plays, so even ratio 0 divides by nothing.
                                         std::pair{"0 5 0\n", headings("0", 0, 5)}}) {
        const ProgramRun run = runTyped(input);
        EXPECT_EQ(run.exitStatus, 0) << input << run.standardError;
        ASSERT_TRUE(run.resultsFile) << input;
        EXPECT_EQ(*run.resultsFile, heading + columnHeading) << input;
    }
}

TEST(Program, NegativeStepCountPlaysEmptySongs) {
    const ProgramRun run = runTyped("4 -5 0.9\n");
    EXPECT_EQ(run.exitStatus, 0);
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile,
              headings("0.9", 4, -5) + columnHeading + "   0 |     4 |     0 |     0 |     4 | 1\r\n");
}

TEST(Program, WrappingAndHexadecimalCounts) {
    // 4294967297 wraps to 1 song; 0x64 is 100 steps.
    const ProgramRun run = runTyped("4294967297 0x64 0.9\n");
    EXPECT_EQ(run.exitStatus, 0);
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, expectedResults(pinnedSecond, 1, 100, 0.9, "0.9"));
}

TEST(Program, MissingOrBrokenStepCountStopsBeforeTheFile) {
    const std::string stale = "an earlier run's results\r\n";
    // "12.5": 12 songs, then the step read meets ".5" and fails; end of input
    // at the first prompt; text that is not a number; a typed 0.
    for (const char* input : {"12.5\n", "", "abc\n", "10 0 0.9\n", "10\n"}) {
        const std::string dir = testing::makeTempDir();
        testing::writeFile(dir + "/QuorvexResults.txt", stale);
        const ProgramRun run = runTyped(input, dir);
        EXPECT_EQ(run.exitStatus, 1) << input;
        EXPECT_EQ(run.standardOutput, banner + prompts + "Working...") << input;
        EXPECT_NE(run.standardError.find("steps per song"), std::string::npos) << run.standardError;
        EXPECT_NE(run.standardError.find("such as 400"), std::string::npos) << run.standardError;
        EXPECT_EQ(run.resultsFile, stale) << "the existing results file is left untouched: " << input;
    }
}

TEST(Program, UnplayableRatioStopsAtTheFirstStepWithHeadingsInTheFile) {
    for (const auto& [input, ratioText] :
         {std::pair{"5 100 0\n", "0"}, std::pair{"5 100 x\n", "0"}, std::pair{"5 100 1e400\n", "+INF"},
          std::pair{"5 100 -1e400\n", "-INF"}, std::pair{"5 100 6e15\n", "6e+15"}}) {
        const ProgramRun run = runTyped(input);
        EXPECT_EQ(run.exitStatus, 1) << input;
        EXPECT_NE(run.standardError.find("perfect ratio"), std::string::npos) << run.standardError;
        EXPECT_NE(run.standardError.find("such as 0.95"), std::string::npos) << run.standardError;
        ASSERT_TRUE(run.resultsFile) << input;
        EXPECT_EQ(*run.resultsFile, headings(ratioText, 5, 100)) << input;
    }
}

TEST(Program, StaleLongerResultsFileIsFullyReplaced) {
    const std::string dir = testing::makeTempDir();
    testing::writeFile(dir + "/QuorvexResults.txt", std::string(100000, 'x'));
    const ProgramRun run = runTyped("2 100 0.9\n", dir);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.resultsFile, expectedResults(pinnedSecond, 2, 100, 0.9, "0.9"));
}

TEST(Program, SameSecondSameInputsSameFile) {
    const ProgramRun first = runTyped("300 400 0.95\n");
    const ProgramRun second = runTyped("300 400 0.95\n");
    ASSERT_TRUE(first.resultsFile && second.resultsFile);
    EXPECT_EQ(*first.resultsFile, *second.resultsFile);
    // A different second is a different run (with overwhelming likelihood
    // for 300 songs of 400 steps).
    ProgramOptions later = testing::typed("300 400 0.95\n");
    later.pinnedTime = pinnedSecond + 1;
    const ProgramRun third = runProgram(later);
    ASSERT_TRUE(third.resultsFile);
    EXPECT_NE(*first.resultsFile, *third.resultsFile);
}

TEST(Program, ResultsFileThatCannotBeWrittenIsReported) {
    // A directory where the file should be.
    const std::string dir = testing::makeTempDir();
    ASSERT_TRUE(std::filesystem::create_directory(dir + "/QuorvexResults.txt"));
    ProgramRun run = runTyped("3 100 0.9\n", dir);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("QuorvexResults.txt"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("directory"), std::string::npos) << run.standardError;

#ifdef _WIN32
    GTEST_SKIP() << "not on Windows: no device there is always full (/dev/full)";
#endif
    // A full device behind the name.
    const std::string full = testing::makeTempDir();
    std::filesystem::create_symlink("/dev/full", full + "/QuorvexResults.txt");
    run = runTyped("3 100 0.9\n", full);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("QuorvexResults.txt"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("No space left on device"), std::string::npos) << run.standardError;
}

} // namespace
} // namespace quorvex
