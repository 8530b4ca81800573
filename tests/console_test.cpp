#include "runtime/console.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"
#include "runtime/typed_reading.h"

namespace quorvex {
namespace {

const std::string eraseAndHome = "\x1b[2J\x1b[1;1H";

struct PseudoTerminal {
    // Owns descriptors: never copied, so never closed twice.
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master = -1;
    int keeper = -1;
    std::string path;
    PseudoTerminal() : master(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        path = ::ptsname(master);
        keeper = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        winsize size{};
        size.ws_col = 80;
        size.ws_row = 25;
        ::ioctl(master, TIOCSWINSZ, &size);
    }
    ~PseudoTerminal() {
        for (int fd : {keeper, master})
            if (fd >= 0)
                ::close(fd);
    }
    std::string shown(std::size_t count) const {
        std::string bytes;
        char buffer[256];
        while (bytes.size() < count) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 2000) != 1)
                break;
            const ssize_t n = ::read(master, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
};

std::string drain(int fd) {
    std::string bytes;
    char buffer[256];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

// The whole start-up and end in a child process of its own: a new session
// whose controlling terminal is the pseudo-terminal, with standard input and
// output given by the test.
int runInSession(const PseudoTerminal& terminal, int input, int output, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setsid() < 0 || ::open(terminal.path.c_str(), O_RDWR) < 0)
            ::_exit(20);
        ::dup2(input, 0);
        ::dup2(output, 1);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(Console, RedirectedOutputWaitsWhileTheTerminalIsCleared) {
    PseudoTerminal terminal;
    int typed[2], shown[2];
    ASSERT_EQ(::pipe(typed), 0);
    ASSERT_EQ(::pipe(shown), 0);
    ASSERT_EQ(::write(typed[1], "7\n", 2), 2);
    ::close(typed[1]);

    const int result = runInSession(terminal, typed[0], shown[1], [&] {
        openConsole();
        if (!consoleScreenOpen() || textWindow().screenWidth != 80)
            return 1;
        if ((consoleOutput().flags() & ios::unitbuf) != 0)
            return 2;
        writeText(consoleOutput(), "Number of songs: ");
        std::int32_t songs = 0;
        readLong(consoleInput(), songs);
        if (songs != 7 || drain(shown[0]) != "Number of songs: ")
            return 3;
        clearScreen();
        writeText(consoleOutput(), "Working...");
        if (!drain(shown[0]).empty())
            return 4;
        closeConsole();
        if (consoleScreenOpen())
            return 5;
        return drain(shown[0]) == "Working..." ? 0 : 6;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome);
    for (int fd : {typed[0], shown[0], shown[1]})
        ::close(fd);
}

TEST(Console, OutputToTheTerminalIsShownAtOnce) {
    PseudoTerminal terminal;
    const int output = ::open(terminal.path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(output, 0);
    const int input = ::open("/dev/null", O_RDONLY);
    const int result = runInSession(terminal, input, output, [] {
        openConsole();
        if ((consoleOutput().flags() & ios::unitbuf) == 0)
            return 1;
        clearScreen();
        writeText(consoleOutput(), "Working...");
        // Leave without closeConsole: nothing was pending anyway.
        ::_exit(0);
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(terminal.shown(eraseAndHome.size() + 10), eraseAndHome + "Working...");
    ::close(input);
    ::close(output);
}

TEST(Console, WithoutAControllingTerminalOnlyTheStreamsWork) {
    int shown[2];
    ASSERT_EQ(::pipe(shown), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        ::dup2(shown[1], 1);
        openConsole();
        if (consoleScreenOpen())
            ::_exit(1);
        clearScreen();
        writeText(consoleOutput(), "Working...");
        closeConsole();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(drain(shown[0]), "Working...");
    ::close(shown[0]);
    ::close(shown[1]);
}

} // namespace
} // namespace quorvex
