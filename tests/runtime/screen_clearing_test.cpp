#include "runtime/screen_clearing.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pseudo_terminal.h"
#include "temp_file.h"

namespace quorvex {
namespace {

#ifndef _WIN32

const std::string eraseAndHome = "\x1b[2J\x1b[1;1H";

using testing::inChild;
using testing::PseudoTerminal;
using testing::TempFile;

class ScreenClearing : public ::testing::Test {
  protected:
    void TearDown() override { closeConsoleScreen(); }
};

TEST_F(ScreenClearing, TheWindowIsTheTerminalsSizeIn8Bits) {
    // 300 rows is 44 modulo 256.
    PseudoTerminal terminal(80, 300);
    ASSERT_TRUE(openConsoleScreen(terminal.path.c_str()));
    const TextWindow& window = textWindow();
    EXPECT_EQ(window.screenWidth, 80);
    EXPECT_EQ(window.screenHeight, 44);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, 79);
    EXPECT_EQ(window.bottom, 43);
    EXPECT_EQ(window.attribute, 0);
}

TEST_F(ScreenClearing, ASizeOfZeroGivesEdgesOf255) {
    // A terminal that reports no size, and one 256 columns wide.
    PseudoTerminal unsized(0, 0);
    ASSERT_TRUE(openConsoleScreen(unsized.path.c_str()));
    EXPECT_EQ(textWindow().screenWidth, 0);
    EXPECT_EQ(textWindow().screenHeight, 0);
    EXPECT_EQ(textWindow().right, 255);
    EXPECT_EQ(textWindow().bottom, 255);

    PseudoTerminal wide(256, 24);
    ASSERT_TRUE(openConsoleScreen(wide.path.c_str()));
    EXPECT_EQ(textWindow().screenWidth, 0);
    EXPECT_EQ(textWindow().right, 255);
    EXPECT_EQ(textWindow().bottom, 23);
}

TEST_F(ScreenClearing, ErasesTheDisplayAndHomesTheCursor) {
    PseudoTerminal terminal;
    ASSERT_TRUE(openConsoleScreen(terminal.path.c_str()));
    clearScreen();
    EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome);
}

TEST_F(ScreenClearing, ClearsWhateverTheTerminalsSize) {
    for (const auto& [columns, rows] : {std::pair{80, 300}, std::pair{0, 0}, std::pair{256, 512}}) {
        PseudoTerminal terminal(static_cast<unsigned short>(columns), static_cast<unsigned short>(rows));
        ASSERT_TRUE(openConsoleScreen(terminal.path.c_str()));
        clearScreen();
        EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome) << columns << " x " << rows;
    }
}

TEST_F(ScreenClearing, MovesTheCursorOnlyInsideTheWindow) {
    PseudoTerminal terminal(80, 24);
    ASSERT_TRUE(openConsoleScreen(terminal.path.c_str()));
    moveCursor(3, 2);
    moveCursor(80, 24);
    EXPECT_EQ(terminal.shown(14), "\x1b[2;3H\x1b[24;80H");
    // Outside the window: nothing is written, so the clear comes next.
    for (const auto& [x, y] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{81, 1}, std::pair{1, 25},
                               std::pair{-2147483647 - 1, 1}, std::pair{2147483647, 2147483647}})
        moveCursor(x, y);
    clearScreen();
    EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome);
}

TEST_F(ScreenClearing, NothingOnADeviceThatIsNoTerminal) {
    const TempFile file("quorvex_screen_");
    ASSERT_GE(file.fd, 0);
    EXPECT_FALSE(openConsoleScreen(file.path.c_str()));
    EXPECT_FALSE(platform::screenOpen());
    clearScreen();
    moveCursor(1, 1);
    struct stat info {};
    ASSERT_EQ(::fstat(file.fd, &info), 0);
    EXPECT_EQ(info.st_size, 0);
    // Nothing measured: width, height and attribute 0.
    EXPECT_EQ(textWindow().screenWidth, 0);
    EXPECT_EQ(textWindow().screenHeight, 0);
    EXPECT_EQ(textWindow().attribute, 0);

    EXPECT_FALSE(openConsoleScreen("/nonexistent/tty"));
    clearScreen();
}

TEST_F(ScreenClearing, NothingOnceClosed) {
    PseudoTerminal terminal;
    ASSERT_TRUE(openConsoleScreen(terminal.path.c_str()));
    closeConsoleScreen();
    EXPECT_FALSE(platform::screenOpen());
    clearScreen();
    EXPECT_TRUE(terminal.nothingShown());
}

TEST_F(ScreenClearing, NothingWithoutAControllingTerminal) {
    // A new session has no controlling terminal: /dev/tty cannot be opened.
    const int status = inChild([] {
        if (::setsid() < 0)
            return 10;
        if (openConsoleScreen())
            return 11;
        clearScreen();
        moveCursor(1, 1);
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ScreenClearing, TheControllingTerminalIsClearedWhateverStandardOutputIs) {
    PseudoTerminal terminal(100, 40);
    const int status = inChild([&] {
        // A new session whose first terminal opened becomes its controlling
        // terminal; standard output goes elsewhere.
        if (::setsid() < 0)
            return 10;
        const int controlling = ::open(terminal.path.c_str(), O_RDWR);
        if (controlling < 0)
            return 11;
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(nowhere, 1);
        if (!openConsoleScreen())
            return 12;
        if (textWindow().screenWidth != 100 || textWindow().screenHeight != 40)
            return 13;
        clearScreen();
        closeConsoleScreen();
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(terminal.shown(eraseAndHome.size()), eraseAndHome);
}

#else

// The Windows console: the test's own console (the windows preset runs every
// test with one), whose screen buffer each test sizes for itself, fills
// with 'x' in attribute 0x07, and reads back cell by cell.
class ScreenClearing : public ::testing::Test {
  protected:
    void SetUp() override {
        screen_ = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
        if (screen_ == INVALID_HANDLE_VALUE)
            GTEST_SKIP() << "no console: run the test with one (the windows preset does)";
    }
    void TearDown() override {
        closeConsoleScreen();
        if (screen_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(screen_);
    }

    // A screen buffer of columns x rows, every cell 'x' in attribute 0x07,
    // the cursor away from the top-left cell and `attribute` current.
    void prepareScreen(SHORT columns, SHORT rows, WORD attribute = 0x1E) const {
        SMALL_RECT smallest{0, 0, 0, 0}; // the window must fit the buffer
        ASSERT_NE(::SetConsoleWindowInfo(screen_, TRUE, &smallest), 0);
        ASSERT_NE(::SetConsoleScreenBufferSize(screen_, COORD{columns, rows}), 0) << columns << " x " << rows;
        DWORD done = 0;
        const DWORD cells = static_cast<DWORD>(columns) * static_cast<DWORD>(rows);
        ASSERT_NE(::FillConsoleOutputCharacterA(screen_, 'x', cells, COORD{0, 0}, &done), 0);
        ASSERT_NE(::FillConsoleOutputAttribute(screen_, 0x07, cells, COORD{0, 0}, &done), 0);
        ASSERT_NE(::SetConsoleTextAttribute(screen_, attribute), 0);
        ASSERT_NE(::SetConsoleCursorPosition(screen_, COORD{1, 1}), 0);
    }

    // The characters of `count` cells from (column, row), row after row.
    std::string cells(SHORT column, SHORT row, DWORD count) const {
        std::string shown(count, '?');
        DWORD read = 0;
        ::ReadConsoleOutputCharacterA(screen_, shown.data(), count, COORD{column, row}, &read);
        shown.resize(read);
        return shown;
    }
    WORD attributeAt(SHORT column, SHORT row) const {
        WORD attribute = 0;
        DWORD read = 0;
        ::ReadConsoleOutputAttribute(screen_, &attribute, 1, COORD{column, row}, &read);
        return attribute;
    }
    COORD cursor() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ::GetConsoleScreenBufferInfo(screen_, &info);
        return info.dwCursorPosition;
    }

    HANDLE screen_ = INVALID_HANDLE_VALUE;
};

TEST_F(ScreenClearing, TheWindowIsTheBuffersSizeIn8Bits) {
    // 300 rows is 44 modulo 256; the attribute keeps its low 8 bits.
    prepareScreen(80, 300, 0x4E1E);
    ASSERT_TRUE(openConsoleScreen());
    const TextWindow& window = textWindow();
    EXPECT_EQ(window.screenWidth, 80);
    EXPECT_EQ(window.screenHeight, 44);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, 79);
    EXPECT_EQ(window.bottom, 43);
    EXPECT_EQ(window.attribute, 0x1E);
}

TEST_F(ScreenClearing, ADimensionThatIsAMultipleOf256GivesAnEdgeOf255) {
    prepareScreen(256, 24);
    ASSERT_TRUE(openConsoleScreen());
    EXPECT_EQ(textWindow().screenWidth, 0);
    EXPECT_EQ(textWindow().right, 255);
    EXPECT_EQ(textWindow().bottom, 23);
}

TEST_F(ScreenClearing, TheWholeScreenIsOneFillOfWidthTimesHeightCells) {
    // 80 x 300: the window is 80 x 44, the whole screen as measured; the
    // first 44 rows become blank in the start-up attribute, the rest stays.
    prepareScreen(80, 300);
    ASSERT_TRUE(openConsoleScreen());
    clearScreen();
    constexpr std::size_t firstRows = std::size_t{80} * 44;
    EXPECT_EQ(cells(0, 0, firstRows), std::string(firstRows, ' '));
    EXPECT_EQ(cells(0, 44, 80), std::string(80, 'x'));
    EXPECT_EQ(attributeAt(79, 43), 0x1E);
    EXPECT_EQ(attributeAt(0, 44), 0x07);
    EXPECT_EQ(cursor().X, 0);
    EXPECT_EQ(cursor().Y, 0);
}

TEST_F(ScreenClearing, TheFillRunsOnAcrossTheBuffersRows) {
    // 300 x 30: the window is 44 x 30 (300 modulo 256), still the whole
    // screen as measured, so 44 x 30 = 1320 consecutive cells are blanked
    // from the first: four whole rows of 300 and 120 cells of the fifth.
    prepareScreen(300, 30);
    ASSERT_TRUE(openConsoleScreen());
    clearScreen();
    EXPECT_EQ(cells(0, 0, 1320), std::string(1320, ' '));
    EXPECT_EQ(cells(120, 4, 180), std::string(180, 'x'));
    EXPECT_EQ(cells(0, 5, 300), std::string(300, 'x'));
}

TEST_F(ScreenClearing, OtherwiseRowByRowInTheWindowsColumns) {
    // 512 x 20: the width is 0 modulo 256, so width - 1 = -1 never matches
    // the right edge 255: each of the 20 rows is blanked in columns 0 to 255.
    prepareScreen(512, 20);
    ASSERT_TRUE(openConsoleScreen());
    clearScreen();
    for (SHORT row = 0; row < 20; ++row) {
        EXPECT_EQ(cells(0, row, 256), std::string(256, ' ')) << row;
        EXPECT_EQ(cells(256, row, 256), std::string(256, 'x')) << row;
        EXPECT_EQ(attributeAt(255, row), 0x1E) << row;
        EXPECT_EQ(attributeAt(256, row), 0x07) << row;
    }
    EXPECT_EQ(cursor().X, 0);
    EXPECT_EQ(cursor().Y, 0);
}

TEST_F(ScreenClearing, MovesTheCursorOnlyInsideTheWindow) {
    prepareScreen(80, 24);
    ASSERT_TRUE(openConsoleScreen());
    moveCursor(3, 2);
    EXPECT_EQ(cursor().X, 2);
    EXPECT_EQ(cursor().Y, 1);
    moveCursor(80, 24);
    EXPECT_EQ(cursor().X, 79);
    EXPECT_EQ(cursor().Y, 23);
    for (const auto& [x, y] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{81, 1}, std::pair{1, 25},
                               std::pair{-2147483647 - 1, 1}, std::pair{2147483647, 2147483647}}) {
        moveCursor(x, y);
        EXPECT_EQ(cursor().X, 79) << x << ", " << y;
        EXPECT_EQ(cursor().Y, 23) << x << ", " << y;
    }
}

TEST_F(ScreenClearing, NothingOnADeviceThatIsNoConsole) {
    prepareScreen(80, 24);
    const testing::TempFile file("quorvex_screen_");
    ASSERT_GE(file.fd, 0);
    for (const char* device : {"NUL", file.path.c_str(), "Z:/nonexistent/CONOUT"}) {
        EXPECT_FALSE(openConsoleScreen(device)) << device;
        EXPECT_FALSE(platform::screenOpen()) << device;
        EXPECT_EQ(textWindow().screenWidth, 0) << device;
        EXPECT_EQ(textWindow().screenHeight, 0) << device;
        EXPECT_EQ(textWindow().attribute, 0) << device;
        clearScreen();
        moveCursor(1, 1);
    }
    EXPECT_EQ(cells(0, 0, 80), std::string(80, 'x'));
    EXPECT_EQ(cursor().X, 1);
}

TEST_F(ScreenClearing, NothingOnceClosed) {
    prepareScreen(80, 24);
    ASSERT_TRUE(openConsoleScreen());
    closeConsoleScreen();
    EXPECT_FALSE(platform::screenOpen());
    clearScreen();
    EXPECT_EQ(cells(0, 0, 80), std::string(80, 'x'));
}

#endif

} // namespace
} // namespace quorvex
