#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace quorvex::testing {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& arguments, std::chrono::milliseconds deadline) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        std::vector<std::string> words = {QUORVEX_BINARY, "serve"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        ::execv(QUORVEX_BINARY, argv.data());
        std::_Exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    const Clock::time_point end = Clock::now() + deadline;
    while (output_.find('\n') == std::string::npos && Clock::now() < end) {
        pollfd watched{out_, POLLIN, 0};
        if (::poll(&watched, 1, 20) > 0) {
            const std::size_t before = output_.size();
            drain(out_, output_);
            if (output_.size() == before)
                break; // ended
        }
    }
    const std::size_t newline = output_.find('\n');
    if (newline == std::string::npos)
        return;
    firstLine_ = output_.substr(0, newline);
    const std::size_t colon = firstLine_.rfind(':');
    if (colon != std::string::npos)
        port_ = std::atoi(firstLine_.c_str() + colon + 1);
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0)
        ::close(out_);
    if (err_ >= 0)
        ::close(err_);
}

void ServerProcess::drain(int descriptor, std::string& into) {
    char buffer[4096];
    const ssize_t n = ::read(descriptor, buffer, sizeof buffer);
    if (n > 0)
        into.append(buffer, static_cast<std::size_t>(n));
}

void ServerProcess::signal(int number) {
    if (pid_ > 0 && !status_)
        ::kill(pid_, number);
}

std::optional<int> ServerProcess::waitForExit(std::chrono::milliseconds deadline) {
    const Clock::time_point end = Clock::now() + deadline;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (Clock::now() >= end)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status_;
}

std::string ServerProcess::standardError(const std::string& awaited, std::chrono::milliseconds deadline) {
    const Clock::time_point end = Clock::now() + deadline;
    for (;;) {
        pollfd watched{err_, POLLIN, 0};
        while (::poll(&watched, 1, 0) > 0 && (watched.revents & POLLIN) != 0) {
            const std::size_t before = error_.size();
            drain(err_, error_);
            if (error_.size() == before)
                break;
        }
        if (error_.find(awaited) != std::string::npos || Clock::now() >= end)
            return error_;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace quorvex::testing
