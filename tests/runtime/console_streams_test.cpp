#include "runtime/console_streams.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "containers/index_failure.h"
#include "in_child.h"
#include "pipe.h"
#include "posix_only.h"
#include "pseudo_terminal.h"
#include "runtime/typed_reading.h"

namespace quorvex {
namespace {

using testing::inChild;
using testing::Pipe;
using testing::PseudoTerminal;

// Every test binds the process's console streams elsewhere; each puts them
// back on descriptors 0 and 1 when it ends.
class ConsoleStreams : public ::testing::Test {
  protected:
    void TearDown() override { openConsoleStreams(); }
};

TEST_F(ConsoleStreams, OverPipesTiedAndWithoutUnitBuffering) {
    Pipe typed, shown;
    openConsoleStreams(typed.readEnd, shown.writeEnd);
    EXPECT_EQ(consoleInput().descriptor(), typed.readEnd);
    EXPECT_EQ(consoleOutput().descriptor(), shown.writeEnd);
    EXPECT_EQ(consoleInput().tie(), &consoleOutput());
    EXPECT_EQ(consoleOutput().tie(), nullptr);
    EXPECT_EQ(consoleInput().flags(), ios::skipws);
    EXPECT_EQ(consoleOutput().flags(), ios::skipws);

    // A redirected output: the prompt waits until the read flushes it.
    writeText(consoleOutput(), "Number of songs: ");
    EXPECT_EQ(shown.arrived(), "");
    ASSERT_EQ(::write(typed.writeEnd, "3\n", 2), 2);
    std::int32_t songs = 0;
    readLong(consoleInput(), songs);
    EXPECT_EQ(songs, 3);
    EXPECT_EQ(shown.arrived(), "Number of songs: ");

    writeText(consoleOutput(), "Working...");
    EXPECT_EQ(shown.arrived(), "");
    closeConsoleStreams();
    EXPECT_EQ(shown.arrived(), "Working...");
}

#ifndef _WIN32
TEST_F(ConsoleStreams, UnitBufferingWhenTheOutputIsATerminal) {
    const PseudoTerminal terminal;
    ASSERT_TRUE(terminal.opened());

    Pipe typed;
    openConsoleStreams(typed.readEnd, terminal.keeper);
    EXPECT_EQ(consoleOutput().flags(), ios::skipws | ios::unitbuf);
    EXPECT_EQ(consoleInput().flags(), ios::skipws);
    writeText(consoleOutput(), "Working...");
    EXPECT_EQ(consoleOutput().pending(), 0u);
    char buffer[32] = {};
    pollfd p{terminal.master, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_EQ(::read(terminal.master, buffer, sizeof buffer - 1), 10);
    EXPECT_STREQ(buffer, "Working...");

    openConsoleStreams(); // off the terminal before it closes
}

#else
TEST_F(ConsoleStreams, UnitBufferingWhenTheOutputIsTheConsole) {
    // The console's screen buffer as standard output would be: a character device.
    const HANDLE screen =
        ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "no console to write to";
    const int console = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(screen), _O_WRONLY);
    ASSERT_GE(console, 0);
    ASSERT_NE(::SetConsoleCursorPosition(screen, COORD{0, 0}), 0);

    Pipe typed;
    openConsoleStreams(typed.readEnd, console);
    EXPECT_EQ(consoleOutput().flags(), ios::skipws | ios::unitbuf);
    EXPECT_EQ(consoleInput().flags(), ios::skipws);
    writeText(consoleOutput(), "Working...");
    EXPECT_EQ(consoleOutput().pending(), 0u);
    char shown[11] = {};
    DWORD read = 0;
    ASSERT_NE(::ReadConsoleOutputCharacterA(screen, shown, 10, COORD{0, 0}, &read), 0);
    EXPECT_STREQ(shown, "Working...");

    openConsoleStreams(); // off the console before it closes
    ::_close(console);
}
#endif

TEST_F(ConsoleStreams, RebindingStartsClean) {
    Pipe first, second;
    openConsoleStreams(first.readEnd, first.writeEnd);
    first.closeWriteEnd();
    std::int32_t value = 5;
    readLong(consoleInput(), value); // end of input: end-of-file and failure
    ASSERT_EQ(consoleInput().rdstate(), ios::eofbit | ios::failbit);
    writeText(consoleOutput(), "left over");

    openConsoleStreams(second.readEnd, second.writeEnd);
    EXPECT_EQ(consoleInput().rdstate(), 0u);
    EXPECT_EQ(consoleOutput().rdstate(), 0u);
    EXPECT_EQ(consoleOutput().pending(), 0u);
}

TEST_F(ConsoleStreams, LineEndsAndEveryOtherBytePassUnchanged) {
    // Whatever the platform: "\r\n" stays "\r\n" (never "\r\r\n"), "\n" stays
    // "\n", and typed carriage returns and 0x1A reach the reader.
    Pipe typed, shown;
    openConsoleStreams(typed.readEnd, shown.writeEnd);
    writeText(consoleOutput(), "a\r\nb\n");
    endLine(consoleOutput());
    EXPECT_EQ(shown.arrived(), "a\r\nb\n\n");
    ASSERT_EQ(::write(typed.writeEnd, "7\r\n\x1A", 4), 4);
    typed.closeWriteEnd();
    std::int32_t songs = 0;
    readLong(consoleInput(), songs);
    EXPECT_EQ(songs, 7);
    EXPECT_EQ(consoleInput().get(), '\r');
    EXPECT_EQ(consoleInput().get(), '\n');
    EXPECT_EQ(consoleInput().get(), 0x1A);
    EXPECT_EQ(consoleInput().get(), istream::endOfInput);
}

TEST_F(ConsoleStreams, TheStreamsAreBuiltFromBytesOrDescriptors) {
    istream_withassign typed("10 500 0.9\n");
    EXPECT_EQ(typed.descriptor(), -1);
    std::int32_t songs = 0;
    readLong(typed, songs);
    EXPECT_EQ(songs, 10);
    const istream_withassign standardInput;
    EXPECT_EQ(standardInput.descriptor(), 0);
    const ostream_withassign standardOutput;
    EXPECT_EQ(standardOutput.descriptor(), 1);
}

#ifndef _WIN32
TEST_F(ConsoleStreams, AnIndexFailureWritesOutThePendingOutputFirst) {
    Pipe typed, shown;
    const int status = inChild([&]() -> int {
        ::dup2(shown.writeEnd, 2);
        openConsoleStreams(typed.readEnd, shown.writeEnd);
        writeText(consoleOutput(), "Number of songs: ");
        failIndex("vector", 7, 4);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(shown.arrived(),
              "Number of songs: Illegal vector index: 7 max index = 4\n\nAbnormal program termination\n");
}

TEST_F(ConsoleStreams, PendingOutputIsWrittenOutAtExit) {
    // Without closeConsoleStreams: the stream's destruction at exit does it.
    Pipe typed, shown;
    const int status = inChild([&] {
        openConsoleStreams(typed.readEnd, shown.writeEnd);
        writeText(consoleOutput(), "Working...");
        std::exit(0);
        return 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(shown.arrived(), "Working...");
}

#else
SKIPPED_ON_WINDOWS_F(ConsoleStreams, AnIndexFailureWritesOutThePendingOutputFirst,
                     "needs fork (the index failure's own death tests run there)")
SKIPPED_ON_WINDOWS_F(ConsoleStreams, PendingOutputIsWrittenOutAtExit, "needs fork")
#endif

} // namespace
} // namespace quorvex
