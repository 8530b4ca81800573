#include "runtime/console.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <cstdio>
#else
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pipe.h"
#include "posix_only.h"
#include "pseudo_terminal.h"
#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"
#include "runtime/typed_reading.h"

namespace quorvex {
namespace {

#ifndef _WIN32

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
        if (!platform::screenOpen() || textWindow().screenWidth != 80)
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
        if (platform::screenOpen())
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
        if (platform::screenOpen())
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

#else

using testing::Pipe;

// The test's own console (the windows preset runs every test with one):
// its screen buffer filled with 'x', then read back.
class ConsoleScreenOfTheTest {
  public:
    ConsoleScreenOfTheTest(const ConsoleScreenOfTheTest&) = delete;
    ConsoleScreenOfTheTest& operator=(const ConsoleScreenOfTheTest&) = delete;

    ConsoleScreenOfTheTest()
        : screen_(::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr)) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (screen_ == INVALID_HANDLE_VALUE || ::GetConsoleScreenBufferInfo(screen_, &info) == 0)
            return;
        columns_ = info.dwSize.X;
        rows_ = info.dwSize.Y;
        DWORD done = 0;
        ::FillConsoleOutputCharacterA(screen_, 'x', static_cast<DWORD>(columns_) * static_cast<DWORD>(rows_),
                                      COORD{0, 0}, &done);
        ::SetConsoleCursorPosition(screen_, COORD{3, 2});
    }
    ~ConsoleScreenOfTheTest() {
        if (screen_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(screen_);
    }

    bool opened() const { return columns_ > 0; }
    HANDLE handle() const { return screen_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    std::string row(int index) const {
        std::string shown(static_cast<std::size_t>(columns_), '?');
        DWORD read = 0;
        ::ReadConsoleOutputCharacterA(screen_, shown.data(), static_cast<DWORD>(columns_),
                                      COORD{0, static_cast<SHORT>(index)}, &read);
        shown.resize(read);
        return shown;
    }
    COORD cursor() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ::GetConsoleScreenBufferInfo(screen_, &info);
        return info.dwCursorPosition;
    }

  private:
    HANDLE screen_;
    int columns_ = 0;
    int rows_ = 0;
};

// Descriptors 0 and 1 of this process bound to `input` and `output` while
// it lives, as the program would be started with them; then put back.
// (Nothing may be printed meanwhile: it would go to `output`.)
class StandardDescriptorsOn {
  public:
    StandardDescriptorsOn(const StandardDescriptorsOn&) = delete;
    StandardDescriptorsOn& operator=(const StandardDescriptorsOn&) = delete;

    StandardDescriptorsOn(int input, int output) : savedInput_(::_dup(0)), savedOutput_(::_dup(1)) {
        std::fflush(stdout);
        ::_dup2(input, 0);
        ::_dup2(output, 1);
    }
    ~StandardDescriptorsOn() {
        ::_dup2(savedInput_, 0);
        ::_dup2(savedOutput_, 1);
        ::_close(savedInput_);
        ::_close(savedOutput_);
        openConsoleStreams(); // the process's streams over its own descriptors again
    }

  private:
    int savedInput_;
    int savedOutput_;
};

TEST(Console, RedirectedOutputWaitsWhileTheConsoleIsCleared) {
    const ConsoleScreenOfTheTest screen;
    if (!screen.opened())
        GTEST_SKIP() << "no console: run the test with one (the windows preset does)";
    Pipe typed, shown;
    ASSERT_TRUE(typed.opened());
    ASSERT_TRUE(shown.opened());
    ASSERT_EQ(::write(typed.writeEnd, "7\n", 2), 2);
    typed.closeWriteEnd();

    TextWindow window;
    bool screenOpen = false, unitBuffered = true, openAfterEnd = true;
    std::int32_t songs = 0;
    std::string promptSeen, beforeEnd, afterEnd;
    {
        const StandardDescriptorsOn bound(typed.readEnd, shown.writeEnd);
        openConsole();
        screenOpen = platform::screenOpen();
        window = textWindow();
        unitBuffered = (consoleOutput().flags() & ios::unitbuf) != 0;
        writeText(consoleOutput(), "Number of songs: ");
        readLong(consoleInput(), songs);
        promptSeen = shown.arrived();
        clearScreen();
        writeText(consoleOutput(), "Working...");
        beforeEnd = shown.arrived();
        closeConsole();
        openAfterEnd = platform::screenOpen();
        afterEnd = shown.arrived();
    }
    EXPECT_TRUE(screenOpen);
    EXPECT_EQ(window.screenWidth, screen.columns() % 256);
    EXPECT_EQ(window.screenHeight, screen.rows() % 256);
    EXPECT_FALSE(unitBuffered) << "a pipe is no character device";
    EXPECT_EQ(songs, 7);
    EXPECT_EQ(promptSeen, "Number of songs: ");
    EXPECT_EQ(beforeEnd, "");
    EXPECT_EQ(afterEnd, "Working...");
    EXPECT_FALSE(openAfterEnd);
    // The window is the whole buffer here: every row measured is blank.
    const std::string blank(static_cast<std::size_t>(screen.columns()), ' ');
    EXPECT_EQ(screen.row(0), blank);
    EXPECT_EQ(screen.row(screen.rows() % 256 - 1), blank);
    EXPECT_EQ(screen.cursor().X, 0);
    EXPECT_EQ(screen.cursor().Y, 0);
}

TEST(Console, OutputToTheConsoleIsShownAtOnce) {
    const ConsoleScreenOfTheTest screen;
    if (!screen.opened())
        GTEST_SKIP() << "no console: run the test with one (the windows preset does)";
    HANDLE duplicate = nullptr;
    ASSERT_NE(::DuplicateHandle(::GetCurrentProcess(), screen.handle(), ::GetCurrentProcess(), &duplicate, 0,
                                FALSE, DUPLICATE_SAME_ACCESS),
              0);
    const int console = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(duplicate), _O_WRONLY);
    const int nothing = ::_open("NUL", _O_RDONLY);
    ASSERT_GE(console, 0);
    ASSERT_GE(nothing, 0);

    bool unitBuffered = false;
    std::size_t pending = 1;
    {
        const StandardDescriptorsOn bound(nothing, console);
        openConsole();
        unitBuffered = (consoleOutput().flags() & ios::unitbuf) != 0;
        clearScreen();
        writeText(consoleOutput(), "Working...");
        pending = consoleOutput().pending();
        closeConsole();
    }
    EXPECT_TRUE(unitBuffered);
    EXPECT_EQ(pending, 0u);
    EXPECT_EQ(screen.row(0),
              "Working..." + std::string(static_cast<std::size_t>(screen.columns()) - 10, ' '));
    EXPECT_EQ(screen.cursor().X, 10);
    EXPECT_EQ(screen.cursor().Y, 0);
    ::_close(console);
    ::_close(nothing);
}

SKIPPED_ON_WINDOWS(Console, WithoutAControllingTerminalOnlyTheStreamsWork,
                   "this test keeps its console; the end-to-end runs start the program without one")

#endif

} // namespace
} // namespace quorvex
