#pragma once

// Runs the built simulator as a user would: standard input fed from a string,
// standard output and error captured, in a folder of its own, with the clock
// optionally pinned, detached from any controlling terminal.

#include <optional>
#include <string>
#include <vector>

namespace quorvex::testing {

struct ProgramOptions {
    std::string input;                       // bytes on standard input, then end of input
    std::optional<long long> pinnedTime;     // seconds the clock reports, if set
    std::string workDir;                     // empty: a fresh temporary folder
    bool closeStandardOutput = false;        // start with descriptor 1 closed
    bool brokenPipeOutput = false;           // standard output is a pipe nobody reads
    double timeoutSeconds = 60;              // killed (and reported) after this
};

struct ProgramRun {
    std::string workDir;
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;   // -1 when killed by a signal
    int signal = 0;        // the terminating signal, if any
    bool timedOut = false;
    std::optional<std::string> resultsFile; // QuorvexResults.txt, if present
};

ProgramRun runProgram(const ProgramOptions& options);

// A fresh empty folder under the system's temporary folder.
std::string makeTempDir();

// The contents of a regular file, or nothing (absent, a directory, a device).
std::optional<std::string> readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

} // namespace quorvex::testing
