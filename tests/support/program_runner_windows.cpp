#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "program_runner.h"

// The Windows side of the program runner: the program is started with
// CreateProcess, its standard handles are pipes the runner feeds and drains
// on threads of its own, and it runs detached from any console (as the POSIX
// runner starts it in a session of its own), so it has none to clear. The
// clock is pinned by running a twin of the program whose C library clock
// reads QUORVEX_TEST_TIME (pinned_clock_windows.c): the same objects
// otherwise. What Windows cannot do is refused with a clear message: a
// read-only mount (exitStatus readOnlyUnavailable), an interrupt, a file
// size limit and standard input or error on a POSIX device (each a
// runtime_error); /dev/zero is stood in for by endless zeros through the
// input pipe.

namespace quorvex::testing {

namespace {

// A pipe for one standard handle of the child: the child's end inheritable,
// the runner's not.
struct ChildPipe {
    HANDLE runnerEnd = nullptr;
    HANDLE childEnd = nullptr;

    ChildPipe(const ChildPipe&) = delete;
    ChildPipe& operator=(const ChildPipe&) = delete;

    explicit ChildPipe(bool childReads) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (::CreatePipe(&readEnd, &writeEnd, &inherit, 1U << 16) == 0)
            throw std::runtime_error("CreatePipe failed");
        runnerEnd = childReads ? writeEnd : readEnd;
        childEnd = childReads ? readEnd : writeEnd;
        ::SetHandleInformation(runnerEnd, HANDLE_FLAG_INHERIT, 0);
    }
    ~ChildPipe() {
        closeRunnerEnd();
        closeChildEnd();
    }
    void closeRunnerEnd() {
        if (runnerEnd != nullptr)
            ::CloseHandle(runnerEnd);
        runnerEnd = nullptr;
    }
    void closeChildEnd() {
        if (childEnd != nullptr)
            ::CloseHandle(childEnd);
        childEnd = nullptr;
    }
};

void drain(HANDLE from, std::string& into) {
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0)
        into.append(buffer, got);
}

void feed(HANDLE to, const std::string& bytes) {
    std::size_t fed = 0;
    while (fed < bytes.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - fed, 1U << 16));
        if (::WriteFile(to, bytes.data() + fed, chunk, &written, nullptr) == 0 || written == 0)
            return; // the program stopped reading
        fed += written;
    }
}

// Zeros until the program stops reading (it ended, or closed its input).
void feedZerosUntilRefused(HANDLE to) {
    const std::string zeros(1U << 16, '\0');
    DWORD written = 0;
    while (::WriteFile(to, zeros.data(), static_cast<DWORD>(zeros.size()), &written, nullptr) != 0) {
    }
}

// One argument as the C runtime's parser reads it back: in quotes when it
// holds a blank, a tab or a quote or is empty; backslashes doubled where they
// come before a quote, and every quote escaped.
std::string asCommandLineArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string text = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        text.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        text.push_back(c);
    }
    text.append(2 * backslashes, '\\');
    return text + "\"";
}

// The environment block of the child: this process's, without the clock
// variable, plus the pinned second if there is one.
std::string environmentFor(const ProgramOptions& options) {
    std::string block;
    char* const strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (std::strncmp(entry, "QUORVEX_TEST_TIME=", 18) == 0)
            continue;
        block.append(entry);
        block.push_back('\0');
    }
    ::FreeEnvironmentStringsA(strings);
    if (options.pinnedTime) {
        block += "QUORVEX_TEST_TIME=" + std::to_string(*options.pinnedTime);
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

} // namespace

std::string makeTempDir() {
    char folder[MAX_PATH + 1] = {};
    if (::GetTempPathA(sizeof folder, folder) == 0)
        throw std::runtime_error("GetTempPath failed");
    static std::atomic<unsigned> made{0};
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = std::string(folder) + "quorvex-e2e-" +
                                std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(made++);
        if (::CreateDirectoryA(candidate.c_str(), nullptr) != 0)
            return candidate;
    }
    throw std::runtime_error("no fresh temporary folder");
}

ProgramRun runProgram(const ProgramOptions& options) {
    ProgramRun run;
    run.workDir = options.workDir.empty() ? makeTempDir() : options.workDir;
    if (options.readOnlyWorkDir) {
        run.exitStatus = readOnlyUnavailable;
        run.standardError = "read-only folder unavailable: Windows has no read-only mounts for a test";
        return run;
    }
    if (!options.interruptOnceResultsStartWith.empty())
        throw std::runtime_error("interrupting the program needs POSIX signals");
    if (options.fileSizeLimit)
        throw std::runtime_error("a file size limit needs setrlimit");
    if (options.standardErrorFile.rfind("/dev/", 0) == 0)
        throw std::runtime_error("no " + options.standardErrorFile + " on Windows");

    ChildPipe input(true), output(false), error(false);
    HANDLE inputFile = nullptr;
    // Endless zeros come through the input pipe: no Windows device gives them.
    const bool endlessZeros = options.standardInputFile == "/dev/zero";
    if (!options.standardInputFile.empty() && !endlessZeros) {
        if (options.standardInputFile.rfind("/dev/", 0) == 0)
            throw std::runtime_error("no " + options.standardInputFile + " on Windows");
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        inputFile = ::CreateFileA(options.standardInputFile.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                                  OPEN_EXISTING, 0, nullptr);
        if (inputFile == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot open " + options.standardInputFile);
    }

    HANDLE errorFile = nullptr;
    if (!options.standardErrorFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        errorFile = ::CreateFileA(options.standardErrorFile.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        if (errorFile == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot open " + options.standardErrorFile);
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputFile != nullptr ? inputFile : input.childEnd;
    // A handle the program is started without stays null: it has none.
    startup.hStdOutput = options.closeStandardOutput ? nullptr : output.childEnd;
    startup.hStdError = options.closeStandardError ? nullptr
                        : errorFile != nullptr     ? errorFile
                                                   : error.childEnd;

    std::string binary = options.pinnedTime ? QUORVEX_PINNED_BINARY : QUORVEX_BINARY;
    std::string commandLine = asCommandLineArgument(binary);
    for (const std::string& argument : options.arguments)
        commandLine += " " + asCommandLineArgument(argument);
    std::string environment = environmentFor(options);
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(binary.c_str(), commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                         environment.data(), run.workDir.c_str(), &startup, &process) == 0)
        throw std::runtime_error("CreateProcess failed for " + binary);
    input.closeChildEnd();
    output.closeChildEnd();
    error.closeChildEnd();
    if (inputFile != nullptr)
        ::CloseHandle(inputFile);
    if (errorFile != nullptr)
        ::CloseHandle(errorFile);
    if (options.brokenPipeOutput)
        output.closeRunnerEnd();

    // Feed the input and drain both outputs together, so that large inputs
    // and outputs cannot deadlock.
    std::thread feeder([&] {
        if (endlessZeros)
            feedZerosUntilRefused(input.runnerEnd);
        else
            feed(input.runnerEnd, options.input);
        input.closeRunnerEnd();
    });
    std::thread outReader([&] {
        if (output.runnerEnd != nullptr)
            drain(output.runnerEnd, run.standardOutput);
    });
    std::thread errReader([&] { drain(error.runnerEnd, run.standardError); });

    const auto timeout = static_cast<DWORD>(options.timeoutSeconds * 1000);
    if (::WaitForSingleObject(process.hProcess, timeout) == WAIT_TIMEOUT) {
        run.timedOut = true;
        ::TerminateProcess(process.hProcess, 259);
        ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    feeder.join();
    outReader.join();
    errReader.join();
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    run.exitStatus = static_cast<int>(status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    run.resultsFile = readFile(run.workDir + "/QuorvexResults.txt");
    return run;
}

} // namespace quorvex::testing
