#include "program_runner.h"

#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quorvex::testing {

std::string makeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quorvex-e2e-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
    return pattern;
}

namespace {

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// The shared AddressSanitizer runtime this process runs with, or "" when it
// has none or has it linked in statically. A program built with a shared
// runtime insists that it comes first among the loaded libraries; the clock
// preload library would come before it, so the runtime is preloaded first.
// The sanitized program is the same build as its tests, so the runtime the
// tests run with is the one the program needs.
std::string sharedSanitizerRuntime() {
    std::string found;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            const char* base = std::strrchr(name, '/');
            if (std::strncmp(base != nullptr ? base + 1 : name, "libasan.so", 10) != 0)
                return 0;
            *static_cast<std::string*>(out) = name;
            return 1;
        },
        &found);
    return found;
}

// In the child before exec: a read-only empty file system over `dir`, in a
// mount namespace of the child's own, so nothing outside it changes.
void mountReadOnly(const std::string& dir) {
    const char* step = "unshare";
    bool ok = ::unshare(CLONE_NEWNS) == 0;
    if (ok) {
        step = "make mounts private";
        ok = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
    if (ok) {
        step = "mount tmpfs read-only";
        ok = ::mount("tmpfs", dir.c_str(), "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=64k") == 0;
    }
    if (!ok) {
        const std::string reason =
            std::string("read-only folder unavailable: ") + step + ": " + std::strerror(errno);
        (void)!::write(2, reason.data(), reason.size());
        ::_exit(readOnlyUnavailable);
    }
}

} // namespace

ProgramRun runProgram(const ProgramOptions& options) {
    ProgramRun run;
    run.workDir = options.workDir.empty() ? makeTempDir() : options.workDir;

    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");

    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "QUORVEX_TEST_TIME=", 18) != 0)
            env.emplace_back(*e);
    if (options.pinnedTime) {
        const std::string runtime = sharedSanitizerRuntime();
        env.push_back("LD_PRELOAD=" + (runtime.empty() ? "" : runtime + ":") + QUORVEX_FAKE_TIME_LIB);
        env.push_back("QUORVEX_TEST_TIME=" + std::to_string(*options.pinnedTime));
    }
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string binary = QUORVEX_BINARY;
    std::vector<std::string> arguments = options.arguments;
    std::vector<char*> argv{binary.data()};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // Nobody reads a broken pipe from the start: closed before the program
    // runs, so that even its first write finds no reader.
    if (options.brokenPipeOutput) {
        ::close(out[0]);
        out[0] = -1;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::setsid(); // no controlling terminal: the test runner's screen stays as it is
        ::signal(SIGPIPE, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        if (options.closeStandardError) {
            ::close(2);
        } else if (!options.standardErrorFile.empty()) {
            // O_NOCTTY: the session just made gains no controlling terminal;
            // O_CLOEXEC: only its copy on descriptor 2 reaches the program.
            const int file = ::open(options.standardErrorFile.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (file < 0 || ::dup2(file, 2) < 0)
                ::_exit(126);
        } else {
            ::dup2(err[1], 2);
        }
        if (options.readOnlyWorkDir)
            mountReadOnly(run.workDir);
        if (options.fileSizeLimit) {
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                               static_cast<rlim_t>(*options.fileSizeLimit)};
            ::signal(SIGXFSZ, SIG_IGN);
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(126);
        }
        if (::chdir(run.workDir.c_str()) != 0)
            ::_exit(126);
        if (options.standardInputFile.empty()) {
            ::dup2(in[0], 0);
        } else {
            const int file = ::open(options.standardInputFile.c_str(), O_RDONLY);
            if (file < 0 || ::dup2(file, 0) < 0)
                ::_exit(126);
        }
        if (options.closeStandardOutput)
            ::close(1);
        else
            ::dup2(out[1], 1);
        ::execve(binary.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Feed the input and drain both outputs together, so that large inputs
    // and outputs cannot deadlock.
    ::signal(SIGPIPE, SIG_IGN);
    setNonBlocking(in[1]);
    std::size_t fed = 0;
    int inFd = in[1];
    if (options.input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeoutSeconds);
    int outFd = out[0], errFd = err[0];
    while (outFd >= 0 || errFd >= 0 || inFd >= 0) {
        pollfd fds[3];
        int n = 0;
        if (inFd >= 0)
            fds[n++] = {inFd, POLLOUT, 0};
        if (outFd >= 0)
            fds[n++] = {outFd, POLLIN, 0};
        if (errFd >= 0)
            fds[n++] = {errFd, POLLIN, 0};
        const int ready = ::poll(fds, n, 100);
        if (!options.interruptOnceResultsStartWith.empty() && !run.interrupted) {
            const auto sofar = readFile(run.workDir + "/QuorvexResults.txt");
            if (sofar && sofar->compare(0, options.interruptOnceResultsStartWith.size(),
                                        options.interruptOnceResultsStartWith) == 0) {
                ::kill(pid, SIGINT);
                run.interrupted = true;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (ready <= 0)
            continue;
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inFd) {
                const ssize_t w = ::write(inFd, options.input.data() + fed, options.input.size() - fed);
                if (w > 0)
                    fed += static_cast<std::size_t>(w);
                if ((w < 0 && errno != EAGAIN) || fed == options.input.size()) {
                    ::close(inFd);
                    inFd = -1;
                }
                continue;
            }
            char buffer[65536];
            const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
            std::string& sink = fds[i].fd == outFd ? run.standardOutput : run.standardError;
            if (r > 0) {
                sink.append(buffer, static_cast<std::size_t>(r));
            } else if (r == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                (fds[i].fd == outFd ? outFd : errFd) = -1;
            }
        }
    }
    for (int fd : {inFd, outFd, errFd})
        if (fd >= 0)
            ::close(fd);

    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.resultsFile = readFile(run.workDir + "/QuorvexResults.txt");
    return run;
}

} // namespace quorvex::testing
