// `quorvex sweep` runs of the built program: each row is what simulate
// reports for its ratio and the seed, the output does not depend on the
// thread count, files are written whole or not at all, and the progress
// line covers the sweep on a terminal only.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "posix_only.h"
#include "program_dialogue.h"
#include "program_runner.h"
#include "pseudo_terminal.h"
#include "temp_folder.h"

namespace quorvex {
namespace {

using Json = nlohmann::ordered_json;
using testing::ProgramOptions;
using testing::ProgramRun;
using testing::runProgram;

using testing::namesIn;
using testing::nullDevice;

ProgramRun run(const std::string& command, const std::vector<std::string>& arguments,
               const std::string& workDir = "") {
    return testing::runCommand(command, arguments, workDir);
}

TEST(SweepRun, EachRowIsWhatSimulateReportsForItsRatioAndTheSeed) {
    // A range whose doubles would miss 0.95 and 1, and a list with texts the
    // reader takes its own way (0.002877 reads one step above its nearest double).
    for (const char* perfect : {"0.9:1:0.05", ".5,0.002877,0.99"}) {
        SCOPED_TRACE(perfect);
        const ProgramRun swept =
            run("sweep", {"--songs", "2000", "--steps", "200", "--perfect", perfect, "--seed", "42",
                          "--at-least", "950,990", "--format", "json", "--quiet"});
        ASSERT_EQ(swept.exitStatus, 0) << swept.standardError;
        const Json rows = Json::parse(swept.standardOutput)["ratios"];
        ASSERT_EQ(rows.size(), 3U);
        for (const Json& row : rows) {
            const std::string text = row["perfect_ratio_text"];
            const ProgramRun simulated =
                run("simulate", {"--songs", "2000", "--steps", "200", "--perfect", text, "--seed", "42",
                                 "--at-least", "950,990", "--format", "json", "--quiet"});
            ASSERT_EQ(simulated.exitStatus, 0) << simulated.standardError;
            const Json expected = Json::parse(simulated.standardOutput);
            EXPECT_EQ(row["perfect_ratio"], expected["parameters"]["perfect_ratio"]) << text;
            for (const auto& [key, value] : expected["statistics"].items())
                EXPECT_EQ(row["statistics"][key], value) << text << ": " << key;
            for (const auto& [key, value] : expected["exact"].items())
                EXPECT_EQ(row["exact"][key], value) << text << ": " << key;
        }
    }
    const ProgramRun range =
        run("sweep", {"--songs", "10", "--steps", "50", "--perfect", "0.9:1:0.05", "--format", "json"});
    const Json texts = Json::parse(range.standardOutput)["ratios"];
    EXPECT_EQ(texts[1]["perfect_ratio"], 0.95);
    EXPECT_EQ(texts[2]["perfect_ratio_text"], "1");
    EXPECT_EQ(Json::parse(range.standardOutput)["parameters"]["seed"], testing::pinnedSecond)
        << "without --seed, the clock second";
}

TEST(SweepRun, CsvAndJsonAreTheSameBytesOnAnyThreadCount) {
    for (const char* format : {"csv", "json"}) {
        const std::vector<std::string> arguments = {"--songs",   "3000",       "--steps", "100",
                                                    "--perfect", "0.9:1:0.02", "--seed",  "42",
                                                    "--format",  format};
        const ProgramRun byDefault = run("sweep", arguments);
        ASSERT_EQ(byDefault.exitStatus, 0) << byDefault.standardError;
        ASSERT_FALSE(byDefault.standardOutput.empty());
        for (const char* threads : {"1", "3"}) {
            std::vector<std::string> withThreads = arguments;
            withThreads.insert(withThreads.end(), {"--threads", threads});
            EXPECT_EQ(run("sweep", withThreads).standardOutput, byDefault.standardOutput)
                << format << " on " << threads << " threads";
        }
    }
}

TEST(SweepRun, TheReportGoesToItsFileAndThePlotIsValidSvg) {
    const std::vector<std::string> arguments = {
        "--songs", "500", "--steps", "100", "--perfect", "0.95,0.97,0.99", "--seed", "7", "--format", "csv"};
    std::vector<std::string> toFiles = arguments;
    toFiles.insert(toFiles.end(), {"--output", "sweep.csv", "--plot", "sweep.svg"});
    const ProgramRun written = run("sweep", toFiles);
    EXPECT_EQ(written.exitStatus, 0) << written.standardError;
    EXPECT_EQ(written.standardOutput, "");
    EXPECT_EQ(written.standardError, "");
    EXPECT_EQ(namesIn(written.workDir), (std::vector<std::string>{"sweep.csv", "sweep.svg"}));
    EXPECT_EQ(testing::readFile(written.workDir + "/sweep.csv"), run("sweep", arguments).standardOutput);
#ifndef _WIN32 // xmllint is the host's program; the plot's bytes are the same on both systems
    EXPECT_EQ(std::system(("xmllint --noout '" + written.workDir + "/sweep.svg'").c_str()), 0);
#endif
}

TEST(SweepRun, AFileThatCannotBeWrittenFailsWithoutHalfWritingAnything) {
    const std::string folder = testing::makeTempDir();
    std::filesystem::create_directory(folder + "/report.txt");
    const ProgramRun failed = run("sweep",
                                  {"--songs", "100", "--steps", "100", "--perfect", "0.9,0.95", "--output",
                                   "report.txt", "--plot", "sweep.svg"},
                                  folder);
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.standardError.rfind("quorvex sweep: ", 0), 0U) << failed.standardError;
    EXPECT_NE(failed.standardError.find("report.txt"), std::string::npos) << failed.standardError;
    EXPECT_EQ(std::count(failed.standardError.begin(), failed.standardError.end(), '\n'), 1);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/report.txt"));
    // The plot did not depend on the report.
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"report.txt", "sweep.svg"}));
#ifndef _WIN32 // no device that is always full there
    const ProgramRun full =
        run("sweep", {"--songs", "100", "--steps", "100", "--perfect", "0.9", "--output", "/dev/full"});
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.standardError.find("/dev/full"), std::string::npos) << full.standardError;
#endif
}

#ifndef _WIN32
TEST(SweepRun, ProgressOverTheWholeSweepOnATerminalOnly) {
    // Two ratios of 10^6 songs of 400 steps on one thread: long enough for
    // the progress line's half-second delay on any build.
    const std::vector<std::string> arguments = {"sweep",     "--songs",   "1000000",   "--steps",
                                                "400",       "--perfect", "0.95,0.96", "--output",
                                                "/dev/null", "--threads", "1"};
    testing::PseudoTerminal terminal(100, 24);
    ASSERT_TRUE(terminal.opened());
    ProgramOptions options;
    options.arguments = arguments;
    options.standardErrorFile = terminal.path;
    options.timeoutSeconds = 600; // slow under the sanitizers
    EXPECT_EQ(runProgram(options).exitStatus, 0);
    std::string shown;
    while (!terminal.nothingShown())
        shown += terminal.shown(1);
    ASSERT_EQ(shown.rfind("\rsimulating: ", 0), 0U) << shown;
    EXPECT_EQ(shown.back(), '\r') << "the line is blanked out at the end";

    ProgramOptions piped;
    piped.arguments = arguments;
    piped.timeoutSeconds = 600;
    const ProgramRun quiet = runProgram(piped);
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.standardError, "");
}
#else
SKIPPED_ON_WINDOWS(SweepRun, ProgressOverTheWholeSweepOnATerminalOnly,
                   "needs a pseudo-terminal as standard error")
#endif

} // namespace
} // namespace quorvex
