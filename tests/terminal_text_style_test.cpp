// A text bound for a file is laid out for no terminal, whatever standard
// output is.

#include "cli/terminal_text_style.h"

#include <gtest/gtest.h>

namespace quorvex::cli {
namespace {

TEST(TerminalTextStyle, AFileHasNoTerminalWidth) {
    EXPECT_EQ(textStyleFor("report.txt").columns, 0);
    EXPECT_EQ(textStyleFor("/dev/null").columns, 0);
}

} // namespace
} // namespace quorvex::cli
