// `quorvex simulate` refusing its command line: every option out of its
// domain, missing, repeated or unknown ends the program with exit status 2,
// exactly one line on standard error that names the option, the value and
// what it accepts, and nothing written: no file created, none touched.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "program_dialogue.h"
#include "program_runner.h"

namespace quorvex {
namespace {

using testing::ProgramRun;

ProgramRun simulate(const std::vector<std::string>& arguments, const std::string& workDir = "") {
    return testing::runCommand("simulate", arguments, workDir);
}

// The three required values and files for every output, so that a refused
// run would have written three files.
std::vector<std::string> with(std::vector<std::string> wrong) {
    std::vector<std::string> arguments = {"--songs",   "10",          "--steps",  "400",
                                          "--perfect", "0.95",        "--output", "r.txt",
                                          "--results", "classic.txt", "--plot",   "plot.svg"};
    arguments.insert(arguments.end(), wrong.begin(), wrong.end());
    return arguments;
}

constexpr const char* counts = "a whole number from 1 to 2147483647";

TEST(SimulateCommand, EveryUsageErrorIsOneLineAndExit2WithNothingWritten) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        // Missing options, missing values.
        {{}, std::string("--songs is required: ") + counts},
        {{"--songs", "10", "--perfect", "0.95"}, std::string("--steps is required: ") + counts},
        {{"--songs", "10", "--steps", "400"}, "--perfect is required: a ratio in (0, 1]"},
        {{"--steps", "400", "--perfect", "0.95", "--songs"}, std::string("--songs needs a value: ") + counts},
        {{"--songs=", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs needs a value: ") + counts},
        {with({"--seed"}), "--seed needs a value: a whole number from 0 to 4294967295"},
        // CLI11 hands the next argument to an option even when it is another option.
        {{"--songs", "--steps", "400", "--perfect", "0.95"}, std::string("--songs needs a value: ") + counts},
        {{"--songs", "10", "--steps", "400", "--perfect", "--quiet"},
         "--perfect needs a value: a ratio in (0, 1]"},
        // Counts: decimal digits only, 1..2^31-1, no wrap.
        {{"--songs", "0", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"0\" is not ") + counts},
        {{"--songs", "-5", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"-5\" is not ") + counts},
        {{"--songs", "2147483648", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"2147483648\" is not ") + counts},
        {{"--songs", "4294967297", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"4294967297\" is not ") + counts},
        {{"--songs", "0x10", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"0x10\" is not ") + counts},
        {{"--songs", "1e3", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"1e3\" is not ") + counts},
        {{"--songs", "", "--steps", "400", "--perfect", "0.95"},
         std::string("--songs \"\" is not ") + counts},
        {{"--songs", "1\n2", "--steps", "400", "--perfect", "0.95"},
         std::string(R"(--songs "1\n2" is not )") + counts},
        {{"--songs", "10", "--steps", "0", "--perfect", "0.95"},
         std::string("--steps \"0\" is not ") + counts},
        {{"--songs", "10", "--steps", "40 0", "--perfect", "0.95"},
         std::string("--steps \"40 0\" is not ") + counts},
        // The ratio.
        {{"--songs", "10", "--steps", "400", "--perfect", "1.5"},
         "--perfect \"1.5\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "0"}, "--perfect \"0\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "-0.5"},
         "--perfect \"-0.5\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "1e999"},
         "--perfect \"1e999\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "inf"},
         "--perfect \"inf\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "nan"},
         "--perfect \"nan\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "abc"},
         "--perfect \"abc\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", "0.9x"},
         "--perfect \"0.9x\" is not a ratio in (0, 1]"},
        {{"--songs", "10", "--steps", "400", "--perfect", ""}, "--perfect \"\" is not a ratio in (0, 1]"},
        // The run's options.
        {with({"--seed", "-1"}), "--seed \"-1\" is not a whole number from 0 to 4294967295"},
        {with({"--seed", "4294967296"}), "--seed \"4294967296\" is not a whole number from 0 to 4294967295"},
        {with({"--threads", "0"}), "--threads \"0\" is not a whole number from 1 to 1024"},
        {with({"--threads", "1025"}), "--threads \"1025\" is not a whole number from 1 to 1024"},
        {with({"--at-least", "1001"}),
         "--at-least \"1001\" is not a list of scores from 0 to 1000 separated by commas"},
        {with({"--at-least", "950,"}),
         "--at-least \"950,\" is not a list of scores from 0 to 1000 separated by commas"},
        {with({"--quiet=yes"}), "--quiet takes no value"},
        // Outputs.
        {with({"--format", "xml"}), "--format \"xml\" is not one of text, csv, json"},
        {{"--songs", "10", "--steps", "400", "--perfect", "0.95", "--output", ""},
         R"(--output "" is not a file name ("-": standard output))"},
        {{"--songs", "10", "--steps", "400", "--perfect", "0.95", "--results", "a.txt", "--plot", "a.txt"},
         "--plot \"a.txt\" names the file --results writes; give each its own file"},
        {{"--songs", "10", "--steps", "400", "--perfect", "0.95", "--output", "a.txt", "--results", "a.txt"},
         "--results \"a.txt\" names the file --output writes; give each its own file"},
        // Repeated, unknown and stray arguments.
        {with({"--songs", "20"}), R"(--songs is given 2 times ("10", "20"); give it once)"},
        {with({"--sogns", "10"}), "unknown option \"--sogns\" (did you mean --songs?)"},
        {with({"--colour=always"}), "unknown option \"--colour\""},
        {with({"--version"}), "unknown option \"--version\""},
        {with({"extra"}), "unexpected argument \"extra\" (each value follows its option's name)"},
        // The first option wrong in the help's order is the one told.
        {{"--songs", "10", "--steps", "400", "--perfect", "2", "--seed", "x", "--format", "xml"},
         "--perfect \"2\" is not a ratio in (0, 1]"},
    };
    const std::string hint = "; see 'quorvex simulate --help'\n";
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments)
            shown += " " + argument;
        SCOPED_TRACE("simulate" + shown);
        const ProgramRun run = simulate(c.arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardError, "quorvex simulate: " + c.message + hint);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_TRUE(std::filesystem::is_empty(run.workDir));
    }
}

TEST(SimulateCommand, ARefusedRunLeavesExistingFilesAsTheyWere) {
    const std::string folder = testing::makeTempDir();
    for (const char* name : {"r.txt", "classic.txt", "plot.svg"})
        testing::writeFile(folder + "/" + name, name);
    const ProgramRun run = simulate(with({"--threads", "0"}), folder);
    EXPECT_EQ(run.exitStatus, 2);
    for (const char* name : {"r.txt", "classic.txt", "plot.svg"})
        EXPECT_EQ(testing::readFile(folder + "/" + name), name);
}

TEST(SimulateCommand, HelpShowsEveryOptionItsDomainAndAnExample) {
    const ProgramRun run = simulate({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    for (const char* shown : {"Usage: quorvex simulate [OPTIONS]",
                              "--songs N",
                              "1 to 2147483647",
                              "--steps S",
                              "--perfect R",
                              "(0, 1]",
                              "--seed SECONDS",
                              "0 to 4294967295",
                              "--threads T",
                              "1 to 1024",
                              "--at-least SCORE,...",
                              "0 to 1000",
                              "--format FORMAT",
                              "text, csv or json",
                              "--output FILE",
                              "--results FILE",
                              "--plot FILE.svg",
                              "--quiet",
                              "Examples:",
                              "quorvex simulate --songs 100000 --steps 400 --perfect 0.95"})
        EXPECT_NE(run.standardOutput.find(shown), std::string::npos) << shown;
}

} // namespace
} // namespace quorvex
