// Widths of UTF-8 text in a terminal, text cut short, and lines wrapped
// between items or words.

#include "output/text_layout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::output {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLayout, WidthCountsCodePointsNotBytes) {
    EXPECT_EQ(displayWidth(""), 0);
    EXPECT_EQ(displayWidth("abc"), 3);
    EXPECT_EQ(displayWidth("\u2265 950"), 5);         // "≥" is three bytes
    EXPECT_EQ(displayWidth("\u2588\u2588\u258C"), 3); // block elements
    EXPECT_EQ(padLeft("\u00B1", 3), "  \u00B1");      // pads by columns
    EXPECT_EQ(padRight("\u00D7", 2), "\u00D7 ");
    EXPECT_EQ(padRight("toolong", 3), "toolong"); // never cuts
}

TEST(TextLayout, WrapsBetweenItemsUnderTheLabel) {
    const std::vector<std::string> items{"min 847", "p1 872", "p5 881", "median 901"};
    // Columns 30 with 10 used by a label: "min 847 · p1 872 · p5 881" needs 25 more.
    EXPECT_EQ(joinWrapped(items, " \u00B7 ", 30, 10, 10),
              (Lines{"min 847 \u00B7 p1 872", "          p5 881 \u00B7 median 901"}));
    EXPECT_EQ(joinWrapped(items, ", ", 80, 0, 2), (Lines{"min 847, p1 872, p5 881, median 901"}));
    // An item wider than a line stands alone; no line is empty.
    EXPECT_EQ(joinWrapped({"a", "wider than ten", "b"}, " ", 10, 0, 0), (Lines{"a", "wider than ten", "b"}));
    EXPECT_TRUE(joinWrapped({}, " ", 10, 0, 0).empty());
}

TEST(TextLayout, ShortenedKeepsWholeCharactersBeforeTheEllipsis) {
    EXPECT_EQ(shortened("0.95", 4, "..."), "0.95"); // fits: whole
    EXPECT_EQ(shortened("0.951", 4, "..."), "0.9...");
    EXPECT_EQ(shortened("0.951", 4, "\u2026"), "0.9\u2026");
    // "×" is two bytes: cutting at byte 3 would split it, so it goes whole.
    EXPECT_EQ(shortened("ab\u00D7cd", 4, "\u2026"), "ab\u2026");
    EXPECT_EQ(shortened("abc\u00D7d", 4, "~"), "abc~");
}

TEST(TextLayout, WordsAreSplitAtSpacesAndGluedWithOne) {
    const std::vector<WrapItem> words = wordsOf("  the 95% CI  contains ");
    ASSERT_EQ(words.size(), 4U);
    for (const WrapItem& word : words)
        EXPECT_EQ(word.glue, " ");
    EXPECT_EQ(words[1].text, "95%");
    EXPECT_EQ(words[3].text, "contains");
    EXPECT_EQ(joinWrapped(words, 12, 0, 2), (Lines{"the 95% CI", "  contains"}));
    EXPECT_TRUE(wordsOf("   ").empty());
}

TEST(TextLayout, GlueIsDroppedAtTheStartOfALine) {
    const std::vector<WrapItem> items{{"", "12%"}, {"  ", "(3 of 25;"}, {" ", "95% CI 4% to 30%)"}};
    EXPECT_EQ(joinWrapped(items, 22, 0, 4), (Lines{"12%  (3 of 25;", "    95% CI 4% to 30%)"}));
}

} // namespace
} // namespace quorvex::output
