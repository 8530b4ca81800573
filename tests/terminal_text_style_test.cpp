// A report bound for standard output takes the width of the terminal it
// shows on; one bound for a file is laid out for no terminal, whatever
// standard output is.

#include "cli/terminal_text_style.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "pseudo_terminal.h"

namespace quorvex::cli {
namespace {

#ifndef _WIN32

// The styles for standard output and for a file while standard output is
// the terminal side of a pseudo-terminal `columns` wide.
struct Styles {
    output::TextStyle standardOutput;
    output::TextStyle file;
};

Styles stylesOnATerminal(unsigned short columns) {
    const testing::PseudoTerminal terminal(columns, 24);
    EXPECT_TRUE(terminal.opened());
    const int kept = dup(1);
    dup2(terminal.keeper, 1);
    const Styles styles{textStyleFor("-"), textStyleFor("report.txt")};
    dup2(kept, 1);
    close(kept);
    return styles;
}

TEST(TerminalTextStyle, StandardOutputOnATerminalTakesItsWidthAFileNone) {
    const Styles wide = stylesOnATerminal(132);
    EXPECT_EQ(wide.standardOutput.columns, 132);
    EXPECT_EQ(wide.file.columns, 0);
    EXPECT_EQ(stylesOnATerminal(40).standardOutput.columns, 40);
}

#else
SKIPPED_ON_WINDOWS(TerminalTextStyle, StandardOutputOnATerminalTakesItsWidthAFileNone,
                   "needs a pseudo-terminal")
#endif

TEST(TerminalTextStyle, AFileHasNoTerminalWidth) {
    EXPECT_EQ(textStyleFor("report.txt").columns, 0);
    EXPECT_EQ(textStyleFor("/dev/null").columns, 0);
}

} // namespace
} // namespace quorvex::cli
