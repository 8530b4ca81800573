#pragma once

// Runs the built simulator as a user would: standard input fed from a string,
// standard output and error captured, in a folder of its own, with the clock
// optionally pinned, detached from any controlling terminal.

#include <optional>
#include <string>
#include <vector>

namespace quorvex::testing {

struct ProgramOptions {
    std::vector<std::string> arguments;  // after the program's name; none: the dialogue
    std::string input;                   // bytes on standard input, then end of input
    std::optional<long long> pinnedTime; // seconds the clock reports, if set
    std::string workDir;                 // empty: a fresh temporary folder
    bool closeStandardOutput = false;    // start with descriptor 1 closed
    bool closeStandardError = false;     // start with descriptor 2 closed
    bool brokenPipeOutput = false;       // standard output is a pipe nobody reads
    double timeoutSeconds = 60;          // killed (and reported) after this
    // The working folder is an empty read-only file system (a tmpfs mounted
    // read-only over it in a mount namespace of the program's own). Where the
    // environment forbids that, the run ends with exitStatus
    // readOnlyUnavailable and the reason on standard error.
    bool readOnlyWorkDir = false;
    // Standard input opened from this file (a device such as /dev/zero
    // included) instead of fed from `input`, when set.
    std::string standardInputFile;
    // Standard error opened on this file (the terminal side of a
    // pseudo-terminal, say) instead of captured, when set.
    std::string standardErrorFile;
    // The largest file the program may write, in bytes (RLIMIT_FSIZE, with
    // SIGXFSZ ignored so that a write beyond it fails with EFBIG), if set.
    std::optional<long long> fileSizeLimit;
    // Once the results file starts with this text, the program is sent
    // SIGINT, as a user pressing the interrupt key would (empty: never).
    std::string interruptOnceResultsStartWith;
};

// The exit status of a run whose read-only folder could not be made.
inline constexpr int readOnlyUnavailable = 125;

struct ProgramRun {
    std::string workDir;
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1; // -1 when killed by a signal
    int signal = 0;      // the terminating signal, if any
    bool timedOut = false;
    bool interrupted = false;               // SIGINT was sent
    std::optional<std::string> resultsFile; // QuorvexResults.txt, if present
};

ProgramRun runProgram(const ProgramOptions& options);

// A fresh empty folder under the system's temporary folder.
std::string makeTempDir();

// The contents of a regular file, or nothing (absent, a directory, a device).
std::optional<std::string> readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

} // namespace quorvex::testing
