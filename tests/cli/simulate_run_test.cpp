// `quorvex simulate` runs of the built program: the songs and the results
// file of the dialogue for the same second, output that does not depend on
// the thread count, files written whole or not at all, and the progress line
// only on a terminal.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "program_dialogue.h"
#include "program_runner.h"
#include "pseudo_terminal.h"
#include "temp_folder.h"

namespace quorvex {
namespace {

using testing::namesIn;
using testing::nullDevice;
using testing::pinnedSecond;
using testing::ProgramOptions;
using testing::ProgramRun;
using testing::runProgram;

struct Values {
    const char* songs;
    const char* steps;
    const char* ratio;
};

std::vector<std::string> simulateArguments(const Values& v, std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"simulate", "--songs",   v.songs, "--steps",
                                          v.steps,    "--perfect", v.ratio};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

ProgramRun simulate(const Values& v, std::vector<std::string> extra, const std::string& workDir = "") {
    ProgramOptions options;
    options.arguments = simulateArguments(v, std::move(extra));
    options.pinnedTime = pinnedSecond;
    options.workDir = workDir;
    return runProgram(options);
}

const Values dialogueCases[] = {
    {"10", "400", "0.95"},
    {"3", "100", "0.9"},
    {"1000", "7", "0.5"},
    {"200", "300", "0.99"},
    {"5", "1", "1"},
    // Ratios written as the reader alone would take them.
    {"50", "100", ".5"},
    {"50", "100", "1e-1"},
    {"50", "100", "0.002877"},
};

TEST(SimulateRun, SeedAndResultsGiveTheDialoguesFileForTheSameSecond) {
    for (const Values& v : dialogueCases) {
        SCOPED_TRACE(std::string(v.songs) + " " + v.steps + " " + v.ratio);
        // The dialogue started in second 1234567890; simulate runs with its
        // clock at another second, so only --seed can make the songs agree.
        ProgramOptions dialogue = testing::typed(std::string(v.songs) + " " + v.steps + " " + v.ratio + "\n");
        dialogue.pinnedTime = 1234567890;
        const ProgramRun typed = runProgram(dialogue);
        ASSERT_EQ(typed.exitStatus, 0);
        ASSERT_TRUE(typed.resultsFile.has_value());

        const ProgramRun seeded =
            simulate(v, {"--seed", "1234567890", "--results", "QuorvexResults.txt", "--quiet"});
        EXPECT_EQ(seeded.exitStatus, 0) << seeded.standardError;
        EXPECT_EQ(seeded.resultsFile, typed.resultsFile);
    }
}

TEST(SimulateRun, WithoutASeedTheClockSecondIsTheSeed) {
    ProgramOptions dialogue = testing::typed("100 50 0.8\n");
    const ProgramRun typed = runProgram(dialogue);
    const ProgramRun unseeded =
        simulate({"100", "50", "0.8"}, {"--results", "QuorvexResults.txt", "--format", "json"});
    EXPECT_EQ(unseeded.exitStatus, 0) << unseeded.standardError;
    EXPECT_EQ(unseeded.resultsFile, typed.resultsFile);
    EXPECT_NE(unseeded.standardOutput.find(std::to_string(pinnedSecond)), std::string::npos)
        << "the seed is always reported";
}

TEST(SimulateRun, CsvAndJsonAreTheSameBytesOnAnyThreadCount) {
    for (const char* format : {"csv", "json"}) {
        const Values v{"20000", "100", "0.9"};
        const ProgramRun byDefault = simulate(v, {"--seed", "42", "--format", format});
        ASSERT_EQ(byDefault.exitStatus, 0) << byDefault.standardError;
        ASSERT_FALSE(byDefault.standardOutput.empty());
        for (const char* threads : {"1", "3"}) {
            const ProgramRun run = simulate(v, {"--seed", "42", "--format", format, "--threads", threads});
            EXPECT_EQ(run.standardOutput, byDefault.standardOutput)
                << format << " on " << threads << " threads";
        }
    }
}

TEST(SimulateRun, TheReportGoesToTheOutputFileAndThePlotIsWholeSvg) {
    const ProgramRun run = simulate({"1000", "400", "0.95"}, {"--seed", "7", "--format", "csv", "--output",
                                                              "report.csv", "--plot", "scores.svg"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(namesIn(run.workDir), (std::vector<std::string>{"report.csv", "scores.svg"}));
    const ProgramRun toStandardOutput = simulate({"1000", "400", "0.95"}, {"--seed", "7", "--format", "csv"});
    EXPECT_EQ(testing::readFile(run.workDir + "/report.csv"), toStandardOutput.standardOutput);
    const std::optional<std::string> svg = testing::readFile(run.workDir + "/scores.svg");
    ASSERT_TRUE(svg.has_value());
    EXPECT_NE(svg->find("<svg"), std::string::npos);
    EXPECT_NE(svg->find("</svg>"), std::string::npos);
}

TEST(SimulateRun, StandardOutputAndDevicesTakeSeveralTextsInTurn) {
    const ProgramRun run = simulate({"3", "10", "0.5"}, {"--seed", "1", "--format", "csv", "--results", "-",
                                                         "--plot", nullDevice, "--output", nullDevice});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput.rfind("Expected scores for: 0.5\r\n3 songs | 10 steps\r\n", 0), 0u);
    EXPECT_TRUE(namesIn(run.workDir).empty());
}

// Exit 1 and one line naming the file; no partial file, no temporary left,
// and a file already there keeps what it held.
TEST(SimulateRun, AnOutputThatCannotBeWrittenIsAFailureWithNothingHalfWritten) {
    const Values v{"100", "400", "0.95"};
    {
        const std::string folder = testing::makeTempDir();
        std::filesystem::create_directory(folder + "/report.txt");
        const ProgramRun run = simulate(v, {"--output", "report.txt"}, folder);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardError.rfind("quorvex simulate: ", 0), 0u) << run.standardError;
        EXPECT_NE(run.standardError.find("report.txt"), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1)
            << run.standardError;
        EXPECT_TRUE(std::filesystem::is_directory(folder + "/report.txt"));
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"report.txt"});
    }
    {
        const ProgramRun run = simulate(v, {"--output", "missing/report.txt"});
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.standardError.find("missing/report.txt"), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1)
            << run.standardError;
        EXPECT_TRUE(namesIn(run.workDir).empty());
    }
#ifndef _WIN32 // (no file size limit there, no device that is always full)
    {
        // A file system that takes no more than 100 bytes in a file: the new
        // report cannot be completed, and the old one stays.
        const std::string folder = testing::makeTempDir();
        testing::writeFile(folder + "/report.json", "the report before");
        ProgramOptions options;
        options.arguments = simulateArguments(v, {"--format", "json", "--output", "report.json"});
        options.workDir = folder;
        options.fileSizeLimit = 100;
        const ProgramRun run = runProgram(options);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.standardError.find("report.json"), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1)
            << run.standardError;
        EXPECT_EQ(testing::readFile(folder + "/report.json"), "the report before");
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"report.json"});
    }
    {
        const ProgramRun run = simulate(v, {"--output", "/dev/full"});
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.standardError.find("/dev/full"), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1)
            << run.standardError;
    }
#endif
}

TEST(SimulateRun, AFailingFileDoesNotKeepTheOthersFromBeingWritten) {
    const ProgramRun run = simulate({"100", "400", "0.95"}, {"--results", "missing/classic.txt", "--plot",
                                                             "plot.svg", "--output", "r.txt"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1) << run.standardError;
    EXPECT_EQ(namesIn(run.workDir), (std::vector<std::string>{"plot.svg", "r.txt"}));
}

// Long enough for the progress line's half-second delay on any build.
const Values longRun{"2000000", "400", "0.95"};

TEST(SimulateRun, NoProgressWhenStandardErrorIsNoTerminal) {
    ProgramOptions options;
    options.arguments = simulateArguments(longRun, {"--output", nullDevice, "--threads", "1"});
    options.timeoutSeconds = 600; // slow under the sanitizers
    const ProgramRun run = runProgram(options);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
}

#ifndef _WIN32
TEST(SimulateRun, ProgressOnATerminalIsErasedAtTheEndAndQuietSilencesIt) {
    for (const bool quiet : {false, true}) {
        testing::PseudoTerminal terminal(100, 24);
        ASSERT_TRUE(terminal.opened());
        ProgramOptions options;
        options.arguments = simulateArguments(longRun, {"--output", "/dev/null", "--threads", "1"});
        if (quiet)
            options.arguments.emplace_back("--quiet");
        options.standardErrorFile = terminal.path;
        options.timeoutSeconds = 600; // slow under the sanitizers
        const ProgramRun run = runProgram(options);
        EXPECT_EQ(run.exitStatus, 0);
        std::string shown;
        while (!terminal.nothingShown())
            shown += terminal.shown(1);
        if (quiet) {
            EXPECT_EQ(shown, "");
            continue;
        }
        ASSERT_EQ(shown.rfind("\rsimulating: ", 0), 0u) << shown;
        // The last drawing is blanked out and the cursor left at the line's start.
        const std::size_t lastCarriageReturn = shown.rfind('\r');
        const std::size_t blankStart = shown.rfind('\r', lastCarriageReturn - 1);
        const std::string blank = shown.substr(blankStart + 1, lastCarriageReturn - blankStart - 1);
        EXPECT_EQ(lastCarriageReturn, shown.size() - 1);
        EXPECT_FALSE(blank.empty());
        EXPECT_EQ(blank.find_first_not_of(' '), std::string::npos) << shown;
    }
}

#else
SKIPPED_ON_WINDOWS(SimulateRun, ProgressOnATerminalIsErasedAtTheEndAndQuietSilencesIt,
                   "needs a pseudo-terminal as standard error")
#endif

} // namespace
} // namespace quorvex
