// The built program where things go wrong around it: a read-only folder,
// standard output closed or a pipe nobody reads, an interrupt in the middle
// of a long run, and inputs far larger than anyone types. Each run must end
// with the usual behaviour or a clear message and a nonzero status, never a
// crash, a hang or a half-written line. (A directory in the results file's
// place and a full device behind its name are tried with the dialogue's own
// tests.)

#include <signal.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "program_dialogue.h"
#include "program_runner.h"

namespace quorvex {
namespace {

using testing::banner;
using testing::ProgramOptions;
using testing::ProgramRun;
using testing::prompts;
using testing::runProgram;
using testing::typed;

// The results file of an ordinary run with the same clock, as typed by hand.
std::string referenceResults(const std::string& input) {
    const ProgramRun run = runProgram(typed(input));
    EXPECT_EQ(run.exitStatus, 0) << input;
    EXPECT_TRUE(run.resultsFile) << input;
    return run.resultsFile.value_or("");
}

// Every line of the file is whole: it ends with carriage return and line
// feed, and no carriage return or line feed stands anywhere else.
::testing::AssertionResult onlyWholeLines(const std::string& file) {
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = file.find("\r\n", start);
        if (end == std::string::npos)
            return ::testing::AssertionFailure()
                   << "a line without its line end: \"" << file.substr(start) << '"';
        const std::string line = file.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos)
            return ::testing::AssertionFailure() << "a stray line-end byte in \"" << line << '"';
        start = end + 2;
    }
    return ::testing::AssertionSuccess();
}

// Ended on its own (no signal, no time-out), with status 0, or 1 and one
// "Quorvex: " line on standard error; a results file, if any, of whole lines.
void expectOrderlyEnd(const ProgramRun& run, const std::string& what) {
    EXPECT_FALSE(run.timedOut) << what;
    EXPECT_EQ(run.signal, 0) << what;
    if (run.exitStatus == 0) {
        EXPECT_EQ(run.standardError, "") << what;
    } else {
        EXPECT_EQ(run.exitStatus, 1) << what;
        EXPECT_EQ(run.standardError.rfind("Quorvex: ", 0), 0u) << what << ": " << run.standardError;
        EXPECT_EQ(run.standardError.find('\n'), run.standardError.size() - 1)
            << what << ": " << run.standardError;
    }
    if (run.resultsFile) {
        EXPECT_TRUE(onlyWholeLines(*run.resultsFile)) << what;
    }
}

TEST(FailurePaths, ReadOnlyFolderIsReportedAndLeftAlone) {
    ProgramOptions options = typed("3 100 0.9\n");
    options.readOnlyWorkDir = true;
    const ProgramRun run = runProgram(options);
    if (run.exitStatus == testing::readOnlyUnavailable)
        GTEST_SKIP() << "this environment cannot mount a read-only file system: " << run.standardError;
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, banner + prompts + "Working...");
    EXPECT_EQ(run.standardError, "Quorvex: Cannot create QuorvexResults.txt: Read-only file system\n");
    EXPECT_FALSE(run.resultsFile) << "the folder under the read-only mount stays empty";
}

TEST(FailurePaths, StandardOutputClosedStillWritesTheResults) {
    // The dialogue has nowhere to go and is dropped; the run itself is
    // untouched, and the results file does not take descriptor 1's place
    // for console text.
    ProgramOptions options = typed("40 300 0.95\n");
    options.closeStandardOutput = true;
    const ProgramRun run = runProgram(options);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.standardError, "");
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, referenceResults("40 300 0.95\n"));
}

TEST(FailurePaths, ClosedStandardErrorNeverLendsItsNumberToTheResultsFile) {
    // The unplayable ratio stops after the headings with a message meant for
    // standard error: it must not land in the results file.
    ProgramOptions options = typed("5 100 0\n");
    options.closeStandardError = true;
    const ProgramRun run = runProgram(options);
    EXPECT_EQ(run.exitStatus, 1);
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, "Expected scores for: 0\r\n5 songs | 100 steps\r\n");
}

TEST(FailurePaths, StandardOutputBrokenPipeStillWritesTheResults) {
    // Nobody reads the pipe: writes to it fail without killing the program.
    ProgramOptions options = typed("40 300 0.95\n");
    options.brokenPipeOutput = true;
    const ProgramRun run = runProgram(options);
    EXPECT_EQ(run.signal, 0) << "killed by signal " << run.signal;
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, referenceResults("40 300 0.95\n"));
}

#ifndef _WIN32
TEST(FailurePaths, InterruptMidRunLeavesOnlyWholeLines) {
    // A run of minutes; the interrupt comes once the headings are in the
    // file, while the songs are being played.
    const std::string headings = "Expected scores for: 0.95\r\n2000000 songs | 1000 steps\r\n";
    ProgramOptions options = typed("2000000 1000 0.95\n");
    options.interruptOnceResultsStartWith = headings;
    options.timeoutSeconds = 300;
    const ProgramRun run = runProgram(options);
    ASSERT_TRUE(run.interrupted) << "the headings never appeared";
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.signal, SIGINT) << "exit status " << run.exitStatus;
    ASSERT_TRUE(run.resultsFile);
    EXPECT_EQ(*run.resultsFile, headings) << "the headings whole, nothing after them";
}

#else
SKIPPED_ON_WINDOWS(FailurePaths, InterruptMidRunLeavesOnlyWholeLines,
                   "a test cannot send one program an interrupt (Ctrl+C reaches every program on a console)")
#endif

// A megabyte, give or take a number's tail.
constexpr std::size_t megabyte = 1 << 20;

TEST(FailurePaths, MegabyteOfDigitsAsTheSongCountWraps) {
    // 4294967296 is 0 modulo 2^32, and so is every concatenation of it; a
    // final 3 makes the count 3, as if typed alone.
    std::string digits;
    while (digits.size() < megabyte)
        digits += "4294967296";
    const ProgramRun run = runProgram(typed(digits + "3 100 0.9\n"));
    expectOrderlyEnd(run, "a megabyte of digits");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, banner + prompts + "Working...");
    EXPECT_EQ(run.resultsFile, referenceResults("3 100 0.9\n"));
}

TEST(FailurePaths, MegabyteOfLeadingZerosIsOneOctalNumber) {
    const ProgramRun run = runProgram(typed(std::string(megabyte, '0') + "5 100 0.9\n"));
    expectOrderlyEnd(run, "a megabyte of zeros");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.resultsFile, referenceResults("5 100 0.9\n"));
}

TEST(FailurePaths, MegabyteOfFractionDigitsReadsAsZeroRatio) {
    // Past 307 fraction digits the decimal exponent is out of range and the
    // ratio reads as 0 (the digits themselves saturate long before): the
    // unplayable-ratio stop, headings in the file.
    const ProgramRun run = runProgram(typed("5 100 0." + std::string(megabyte, '9') + "\n"));
    expectOrderlyEnd(run, "a megabyte of fraction digits");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("perfect ratio"), std::string::npos) << run.standardError;
    EXPECT_EQ(run.resultsFile, "Expected scores for: 0\r\n5 songs | 100 steps\r\n");
}

TEST(FailurePaths, MegabyteOfWhiteSpaceBeforeTheValues) {
    std::string space;
    while (space.size() < megabyte)
        space += " \t\r\n\v\f";
    const ProgramRun run = runProgram(typed(space + "3" + space + "100" + space + "0.9" + space));
    expectOrderlyEnd(run, "a megabyte of white space");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, banner + prompts + "Working...");
    EXPECT_EQ(run.resultsFile, referenceResults("3 100 0.9\n"));
}

TEST(FailurePaths, MegabyteOfWhiteSpaceAndNothingElse) {
    std::string space;
    while (space.size() < megabyte)
        space += " \t\r\n\v\f";
    const ProgramRun run = runProgram(typed(space));
    expectOrderlyEnd(run, "white space only");
    EXPECT_EQ(run.exitStatus, 1) << "no step count: the zero-steps stop";
    EXPECT_FALSE(run.resultsFile);
}

// A megabyte of bytes from a fixed 64-bit linear congruential sequence.
std::string binaryNoise(std::uint64_t seed) {
    std::string noise(megabyte, '\0');
    for (char& byte : noise) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        byte = static_cast<char>(seed >> 56);
    }
    return noise;
}

TEST(FailurePaths, MegabyteOfBinaryNoise) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        const std::string what = "noise from seed " + std::to_string(seed);
        const ProgramRun run = runProgram(typed(binaryNoise(seed)));
        expectOrderlyEnd(run, what);
        EXPECT_EQ(run.standardOutput, banner + prompts + "Working...") << what;
    }
    // Noise where the ratio should be: the ratio read fails, 0.0, the
    // unplayable-ratio stop.
    const ProgramRun run = runProgram(typed("3 100 z" + binaryNoise(5)));
    expectOrderlyEnd(run, "noise as the ratio");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.resultsFile, "Expected scores for: 0\r\n3 songs | 100 steps\r\n");
}

TEST(FailurePaths, EndlessNulBytesDoNotHang) {
    // Standard input that never ends: a NUL byte is no white space and no
    // digit, so the song read fails at once and the later reads are skipped.
    ProgramOptions options = typed("");
    options.standardInputFile = "/dev/zero";
    options.timeoutSeconds = 20;
    const ProgramRun run = runProgram(options);
    expectOrderlyEnd(run, "endless NUL bytes");
    EXPECT_EQ(run.exitStatus, 1) << "no step count: the zero-steps stop";
    EXPECT_EQ(run.standardOutput, banner + prompts + "Working...");
    EXPECT_FALSE(run.resultsFile);
}

} // namespace
} // namespace quorvex
