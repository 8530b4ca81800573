// Bins of a round width, so that a histogram's shape reads at a glance.

#include "output/histogram_bins.h"

#include <vector>

#include <gtest/gtest.h>

namespace quorvex::output {
namespace {

TEST(HistogramBins, TheNarrowestRoundWidthThatFits) {
    struct Case {
        std::int32_t lowest, highest;
        int maxBins;
        std::int32_t width;
    };
    const Case cases[] = {
        {900, 900, 25, 1},                      // one score
        {900, 924, 25, 1},                      // 25 scores: one bin each
        {900, 925, 25, 2},                      // 26 scores: 900-901 .. 924-925, 13 bins
        {901, 950, 25, 5},                      // width 2 starts at 900-901 and ends at 950-951: 26 bins
        {845, 950, 25, 5},                      // 845-849 .. 950-954: 22 bins
        {0, 1000, 25, 50},                      // 25 would need 41 bins; 50 needs 21
        {0, 1000, 195, 10},                     // 5 would need 201
        {0, 1000, 1001, 1}, {0, 1000, 1, 1000}, // nothing fits: the widest
        {-3, 3, 4, 2},                          // aligned below zero too: -4..-3, -2..-1, 0..1, 2..3
        {5, 9, 1, 5},                           // width 2 needs 4-5, 6-7, 8-9; width 5 one bin
    };
    for (const Case& c : cases)
        EXPECT_EQ(binWidthFor(c.lowest, c.highest, c.maxBins), c.width)
            << c.lowest << ".." << c.highest << " in " << c.maxBins;
}

TEST(HistogramBins, BinsCoverEveryScoreBetweenTheEndsEmptyOnesIncluded) {
    // 900..960 is 61 scores: width 2 makes 31 bins, too many for 25; width 5 makes 13.
    const std::vector<ScoreGroup> groups{
        {960, 1, 0, 0, 0}, {903, 2, 0, 0, 0}, {904, 5, 0, 0, 0}, {900, 1, 0, 0, 0}};
    const std::vector<ScoreBin> bins = binScores(groups, 25);
    ASSERT_EQ(bins.size(), 13U);
    EXPECT_EQ(bins.front().low, 900);
    EXPECT_EQ(bins.front().high, 904);
    EXPECT_EQ(bins.front().songs, 8);
    EXPECT_EQ(bins[6].low, 930);
    EXPECT_EQ(bins[6].songs, 0);
    EXPECT_EQ(bins.back().low, 960);
    EXPECT_EQ(bins.back().high, 964);
    EXPECT_EQ(bins.back().songs, 1);
}

TEST(HistogramBins, NoGroupsNoBins) {
    EXPECT_TRUE(binScores({}, 25).empty());
}

} // namespace
} // namespace quorvex::output
