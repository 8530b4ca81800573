// `quorvex sweep` refusing its command line: every option out of its
// domain, missing, repeated or unknown, and every malformed list or range,
// ends the program with exit status 2, exactly one line on standard error
// naming the option, the value and what it accepts, and nothing written.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "program_dialogue.h"
#include "program_runner.h"

namespace quorvex {
namespace {

using testing::ProgramRun;

ProgramRun sweep(const std::vector<std::string>& arguments) {
    return testing::runCommand("sweep", arguments);
}

// The required values and both outputs, so that a refused run would have written two files.
std::vector<std::string> with(std::vector<std::string> wrong) {
    std::vector<std::string> arguments = {"--songs",    "10",       "--steps", "400",    "--perfect",
                                          "0.9:1:0.05", "--output", "r.txt",   "--plot", "plot.svg"};
    arguments.insert(arguments.end(), wrong.begin(), wrong.end());
    return arguments;
}

std::vector<std::string> ratios(const std::string& perfect) {
    return {"--songs", "10", "--steps", "400", "--perfect", perfect, "--output", "r.txt"};
}

TEST(SweepCommand, EveryUsageErrorIsOneLineAndExit2WithNothingWritten) {
    const std::string domain = "a ratio in (0, 1], a list R1,R2,... of them or a range A:B:STEP";
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--songs", "10", "--steps", "400"}, "--perfect is required: " + domain},
        {{"--songs", "10", "--steps", "400", "--perfect"}, "--perfect needs a value: " + domain},
        {{"--songs", "0", "--steps", "400", "--perfect", "0.9"},
         "--songs \"0\" is not a whole number from 1 to 2147483647"},
        {{"--songs", "10", "--perfect", "0.9"}, "--steps is required: a whole number from 1 to 2147483647"},
        // Lists and ranges (every refusal of their own: sweep_ratios_test).
        {ratios("1.5"), "--perfect \"1.5\" is not " + domain},
        {ratios("0.9,1.5"), R"(--perfect "0.9,1.5": "1.5" is not a ratio in (0, 1])"},
        {ratios("0.9:1:0"), R"(--perfect "0.9:1:0": the step is 0; it must lead from the start to the end)"},
        {ratios("0.9:1:-0.01"),
         R"(--perfect "0.9:1:-0.01": the step -0.01 leads away from the end 1; give it the other sign)"},
        // The run's options and the outputs, as for simulate.
        {with({"--seed", "-1"}), "--seed \"-1\" is not a whole number from 0 to 4294967295"},
        {with({"--threads", "0"}), "--threads \"0\" is not a whole number from 1 to 1024"},
        {with({"--at-least", "1001"}),
         "--at-least \"1001\" is not a list of scores from 0 to 1000 separated by commas"},
        {with({"--format", "xml"}), "--format \"xml\" is not one of text, csv, json"},
        {with({"--results", "x.txt"}), "unknown option \"--results\""},
        {{"--songs", "10", "--steps", "400", "--perfect", "0.9", "--output", "a.svg", "--plot", "a.svg"},
         "--plot \"a.svg\" names the file --output writes; give each its own file"},
        {with({"--perfect", "0.5"}), R"(--perfect is given 2 times ("0.9:1:0.05", "0.5"); give it once)"},
        {with({"--quiet=1"}), "--quiet takes no value"},
    };
    const std::string hint = "; see 'quorvex sweep --help'\n";
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments)
            shown += " " + argument;
        SCOPED_TRACE("sweep" + shown);
        const ProgramRun run = sweep(c.arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardError, "quorvex sweep: " + c.message + hint);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_TRUE(std::filesystem::is_empty(run.workDir));
    }
}

TEST(SweepCommand, HelpShowsEveryOptionTheRangeRuleAndAnExample) {
    const ProgramRun run = sweep({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    for (const char* shown :
         {"Usage: quorvex sweep [OPTIONS]", "--songs N", "--steps S", "--perfect RATIOS", "A:B:STEP",
          "R1,R2,...", "--seed SECONDS", "--threads T", "--at-least SCORE,...", "--format FORMAT",
          "--output FILE", "--plot FILE.svg", "--quiet", "0.9:0.99:0.01 is 0.9, 0.91, ..., 0.99",
          "Examples:", "quorvex sweep --songs 100000 --steps 400 --perfect 0.9:1:0.01"})
        EXPECT_NE(run.standardOutput.find(shown), std::string::npos) << shown;
    std::size_t start = 0;
    while (start < run.standardOutput.size()) {
        const std::size_t end = run.standardOutput.find('\n', start);
        EXPECT_LE(end - start, 80U) << run.standardOutput.substr(start, end - start);
        start = end + 1;
    }
}

} // namespace
} // namespace quorvex
