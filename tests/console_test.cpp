#include "runtime/console.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pipe.h"
#include "pseudo_terminal.h"
#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"
#include "runtime/typed_reading.h"

namespace quorvex {
namespace {

const std::string eraseAndHome = "\x1b[2J\x1b[1;1H";

using testing::inChild;
using testing::Pipe;
using testing::PseudoTerminal;

// The whole start-up and end in a child process of its own: a new session
// whose controlling terminal is the pseudo-terminal, with standard input and
// output given by the test.
int runInSession(const PseudoTerminal& terminal, int input, int output, const std::function<int()>& body) {
    const int status = inChild([&] {
        if (::setsid() < 0 || ::open(terminal.path.c_str(), O_RDWR) < 0)
            return 20;
        ::dup2(input, 0);
        ::dup2(output, 1);
        return body();
    });
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(Console, RedirectedOutputWaitsWhileTheTerminalIsCleared) {
    const PseudoTerminal terminal(80, 25);
    Pipe typed, shown;
    ASSERT_TRUE(typed.opened());
    ASSERT_TRUE(shown.opened());
    ASSERT_EQ(::write(typed.writeEnd, "7\n", 2), 2);
    typed.closeWriteEnd();

    const int result = runInSession(terminal, typed.readEnd, shown.writeEnd, [&] {
        openConsole();
        if (!consoleScreenOpen() || textWindow().screenWidth != 80)
            return 1;
        if ((consoleOutput().flags() & ios::unitbuf) != 0)
            return 2;
        writeText(consoleOutput(), "Number of songs: ");
        std::int32_t songs = 0;
        readLong(consoleInput(), songs);
        if (songs != 7 || shown.arrived() != "Number of songs: ")
            return 3;
        clearScreen();
        writeText(consoleOutput(), "Working...");
        if (!shown.arrived().empty())
            return 4;
        closeConsole();
        if (consoleScreenOpen())
            return 5;
        return shown.arrived() == "Working..." ? 0 : 6;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome);
}

TEST(Console, OutputToTheTerminalIsShownAtOnce) {
    const PseudoTerminal terminal(80, 25);
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
    Pipe shown;
    ASSERT_TRUE(shown.opened());
    const int status = inChild([&] {
        ::setsid();
        ::dup2(shown.writeEnd, 1);
        openConsole();
        if (consoleScreenOpen())
            return 1;
        clearScreen();
        writeText(consoleOutput(), "Working...");
        closeConsole();
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(shown.arrived(), "Working...");
}

} // namespace
} // namespace quorvex
