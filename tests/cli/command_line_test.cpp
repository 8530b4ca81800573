// The command line of the built program: the help and version texts, and
// every refusal at the program's own level (no command, an unknown one, an
// option without its command), each one line on standard error, exit 2,
// nothing written.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "program_dialogue.h"
#include "program_runner.h"

namespace quorvex {
namespace {

using testing::ProgramOptions;
using testing::ProgramRun;
using testing::runProgram;

ProgramRun runWith(std::vector<std::string> arguments) {
    ProgramOptions options;
    options.arguments = std::move(arguments);
    options.pinnedTime = testing::pinnedSecond;
    return runProgram(options);
}

bool folderIsEmpty(const std::string& folder) {
    return std::filesystem::is_empty(folder);
}

TEST(CommandLine, HelpListsTheCommandsWithAnExample) {
    for (const char* flag : {"--help", "-h"}) {
        const ProgramRun run = runWith({flag});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.standardError, "");
        for (const char* shown :
             {"Usage: quorvex [OPTIONS] [COMMAND]", "simulate", "sweep", "--version",
              "Example:", "quorvex simulate --songs 100000 --steps 400 --perfect 0.95", "QuorvexResults.txt"})
            EXPECT_NE(run.standardOutput.find(shown), std::string::npos) << flag << " lacks " << shown;
    }
}

TEST(CommandLine, VersionNamesTheProgramAndTheKernels) {
    const ProgramRun run = runWith({"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(run.standardOutput.rfind("quorvex 1.0\nkernels: ", 0), 0u) << run.standardOutput;
    // The best set is one of the three, and the three are each said to be there or not.
    for (const char* isa : {"scalar yes", "AVX2+FMA ", "AVX-512 "})
        EXPECT_NE(run.standardOutput.find(isa), std::string::npos) << isa;
    EXPECT_EQ(std::count(run.standardOutput.begin(), run.standardOutput.end(), '\n'), 2);
}

TEST(CommandLine, RefusalsAtTheProgramsLevel) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const std::string hint = "; see 'quorvex --help'\n";
    for (const Case& c : std::vector<Case>{
             {{"frobnicate"},
              "quorvex: \"frobnicate\" is not a command; the commands: simulate, sweep, target, serve"},
             {{"simulat", "--songs", "5"}, "quorvex: \"simulat\" is not a command (did you mean simulate?)"},
             {{""}, "quorvex: \"\" is not a command; the commands: simulate, sweep, target, serve"},
             {{"--frob"}, "quorvex: unknown option \"--frob\""},
             {{"--verson"}, "quorvex: unknown option \"--verson\" (did you mean --version?)"},
             {{"--songs", "10", "simulate"},
              "quorvex: --songs is an option of a command: put the command first, as in 'quorvex simulate "
              "--songs ...'"},
             {{"--"}, "quorvex: no command given; the commands: simulate, sweep, target, serve"},
             {{"--version=1"}, "quorvex: --version takes no value"},
         }) {
        const ProgramRun run = runWith(c.arguments);
        const std::string shown = c.arguments.empty() ? "" : c.arguments.front();
        EXPECT_EQ(run.exitStatus, 2) << shown;
        EXPECT_EQ(run.standardError, c.message + hint) << shown;
        EXPECT_EQ(run.standardOutput, "") << shown;
        EXPECT_TRUE(folderIsEmpty(run.workDir)) << shown;
    }
}

TEST(CommandLine, HelpThatCannotBeWrittenIsAFailure) {
    ProgramOptions options;
    options.arguments = {"--help"};
    options.brokenPipeOutput = true;
    const ProgramRun run = runProgram(options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "quorvex: cannot write to standard output: Broken pipe\n");
}

} // namespace
} // namespace quorvex
