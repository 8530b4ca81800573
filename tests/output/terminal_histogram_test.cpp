// The histogram in a terminal: bars that fit the columns, highest scores first.

#include "output/terminal_histogram.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/text_layout.h"
#include "simulation_records.h"

namespace quorvex::output {
namespace {

using Lines = std::vector<std::string>;

TEST(TerminalHistogram, OneRowPerScoreWhenTheyFitTheLongestBarFillingTheWidth) {
    // 40 columns: "  " + range (3) + "  " + share (5) + "  " leaves 26 for bars.
    // 2 songs of 4: 13 columns; 1: 6.5 columns, drawn as 6 and a half block.
    const std::vector<ScoreGroup> groups{{900, 1, 0, 0, 0}, {902, 4, 0, 0, 0}, {901, 2, 0, 0, 0}};
    const std::string full = "\u2588";
    auto blocks = [&](int n) {
        std::string bar;
        for (int i = 0; i < n; ++i)
            bar += full;
        return bar;
    };
    EXPECT_EQ(terminalHistogram(groups, {40, true}),
              (Lines{"  902  57.1%  " + blocks(26), "  901  28.6%  " + blocks(13),
                     "  900  14.3%  " + blocks(6) + "\u258C"}));
    EXPECT_EQ(terminalHistogram(groups, {40, false}),
              (Lines{"  902  57.1%  " + std::string(26, '#'), "  901  28.6%  " + std::string(13, '#'),
                     "  900  14.3%  " + std::string(7, '#')})); // 6.5 rounds to 7
}

TEST(TerminalHistogram, WideRangesGoInRoundBinsOfAtMostTwentyFiveRows) {
    const Lines lines = terminalHistogram(testing::everyScoreRecord().histogram, {80, false});
    ASSERT_EQ(lines.size(), 21U);                                // bins of 50: 0-49 .. 1000-1049
    EXPECT_EQ(lines.front().substr(0, 17), "  1000-1049  <0.1"); // only 1000 lands there
    EXPECT_EQ(lines.back().substr(0, 13), "       0-49  ");      // right-aligned under "1000-1049"
}

TEST(TerminalHistogram, EveryBinWithSongsShowsABarAndNoShareRoundsToAllOrNone) {
    // 1 song in 10^8 rounds to 0.0% and 99999999 to 100.0%: neither is said.
    const std::vector<ScoreGroup> groups{{1000, 1, 0, 0, 0}, {999, 99999999, 0, 0, 0}};
    for (const bool unicode : {true, false}) {
        const Lines lines = terminalHistogram(groups, {80, unicode});
        ASSERT_EQ(lines.size(), 2U);
        EXPECT_EQ(lines[0], unicode ? "  1000   <0.1%  \u258F" : "  1000   <0.1%  #");
        EXPECT_EQ(lines[1].substr(0, 14), "   999  >99.9%");
    }
}

TEST(TerminalHistogram, NoLineIsWiderThanTheColumns) {
    // A terminal narrower than 40 columns is drawn as 40.
    for (int columns = 40; columns <= 200; columns += 7) {
        for (const bool unicode : {true, false}) {
            const Lines lines = terminalHistogram(testing::everyScoreRecord().histogram, {columns, unicode});
            int widest = 0;
            for (const std::string& line : lines)
                widest = std::max(widest, displayWidth(line));
            EXPECT_EQ(widest, columns) << "the fullest bar fills the width";
        }
    }
    EXPECT_EQ(histogramColumns({0, true}), 80);
    EXPECT_EQ(histogramColumns({12, true}), 40);
}

} // namespace
} // namespace quorvex::output
