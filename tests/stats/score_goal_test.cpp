// Goals met or not by hand-built runs, decided on exact counts and sums.
#include "stats/score_goal.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

ScoreGroup group(std::int32_t score, std::int64_t songs) {
    return {score, songs, 0, 0, 0, 0};
}

// Five songs: 900, 900, 900, 950, 1000 (mean 930), and an empty group.
const std::vector<ScoreGroup> run = {group(1000, 1), group(900, 3), group(950, 1), group(990, 0)};

ScoreGoal chanceOf(std::int32_t score, double chance) {
    return {ScoreGoal::Kind::chanceOfScore, score, chance, 0};
}

ScoreGoal meanOf(double mean) {
    return {ScoreGoal::Kind::meanScore, 0, 0, mean};
}

TEST(ScoreGoal, CountsSongsAtOrAboveAScore) {
    EXPECT_EQ(songsScoringAtLeast(run, 950), 2);
    EXPECT_EQ(songsScoringAtLeast(run, 901), 2);
    EXPECT_EQ(songsScoringAtLeast(run, 900), 5);
    EXPECT_EQ(songsScoringAtLeast(run, 991), 1); // the empty group at 990 counts nothing
    EXPECT_EQ(songsScoringAtLeast(run, 1001), 0);
}

TEST(ScoreGoal, ChanceDecidedOnTheExactShare) {
    // 2 of 5 score 950 or more: two fifths, which the double 0.4 exceeds by 2.2e-17.
    EXPECT_FALSE(meetsScoreGoal(run, chanceOf(950, 0.4)));
    EXPECT_TRUE(meetsScoreGoal(run, chanceOf(950, std::nextafter(0.4, 0.0))));
    EXPECT_TRUE(meetsScoreGoal(run, chanceOf(950, 0.25)));
    EXPECT_TRUE(meetsScoreGoal(run, chanceOf(900, 1.0)));
    EXPECT_FALSE(meetsScoreGoal(run, chanceOf(901, 1.0)));
    EXPECT_FALSE(meetsScoreGoal(run, chanceOf(1000, 0.2))); // the double 0.2 lies above a fifth too
    EXPECT_TRUE(meetsScoreGoal(run, chanceOf(1000, 0.19)));
}

TEST(ScoreGoal, MeanDecidedOnTheExactSum) {
    EXPECT_TRUE(meetsScoreGoal(run, meanOf(930.0)));
    EXPECT_FALSE(meetsScoreGoal(run, meanOf(std::nextafter(930.0, 1000.0))));
    EXPECT_TRUE(meetsScoreGoal(run, meanOf(0.0)));
}

} // namespace
} // namespace quorvex::stats
