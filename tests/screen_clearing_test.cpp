#include "runtime/screen_clearing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pseudo_terminal.h"
#include "temp_file.h"

namespace quorvex {
namespace {

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
    EXPECT_FALSE(consoleScreenOpen());
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
    EXPECT_FALSE(consoleScreenOpen());
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

} // namespace
} // namespace quorvex
