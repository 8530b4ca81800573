#include "app/run_record.h"

#include <cmath>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"

namespace quorvex::app {
namespace {

TEST(RunRecord, HoldsTheRunAsAskedAndItsSongsHighestScoreFirst) {
    setNumericMode();
    // Four songs of 300 steps: 999 twice (one AAA), 996, 990.
    SeededRun run;
    run.songs.record({996, 297, false});
    run.songs.recordRepeated({999, 300, true}, 1);
    run.songs.record({990, 291, false});
    run.songs.record({999, 299, false});
    run.elapsedSeconds = 0.25;
    const output::SimulationRecord record =
        recordOfRun({4, 300, 0.99, 1700000000u}, {"0.990", 3, {999, 1000}}, run);

    EXPECT_EQ(record.songs, 4);
    EXPECT_EQ(record.steps, 300);
    EXPECT_EQ(record.perfectRatio, 0.99);
    EXPECT_EQ(record.perfectRatioText, "0.990");
    EXPECT_EQ(record.seed, 1700000000u);
    EXPECT_EQ(record.threads, 3);
    EXPECT_EQ(record.elapsedSeconds, 0.25);

    ASSERT_EQ(record.histogram.size(), 3u);
    EXPECT_EQ(record.histogram[0], (ScoreGroup{999, 2, 300, 299, 1, 599}));
    EXPECT_EQ(record.histogram[1], (ScoreGroup{996, 1, 297, 297, 0, 297}));
    EXPECT_EQ(record.histogram[2], (ScoreGroup{990, 1, 291, 291, 0, 291}));

    // 300 steps of floor(10^8 / 300) = 333333 points: 999 at best.
    EXPECT_EQ(record.bestScore, 999);
    EXPECT_EQ(record.summary.songs, 4);
    EXPECT_EQ(record.summary.mean, (999 + 999 + 996 + 990) / 4.0);
    EXPECT_EQ(record.summary.aaa.count, 1);
    ASSERT_EQ(record.summary.atLeast.size(), 2u);
    EXPECT_EQ(record.summary.atLeast[0].songs.count, 2);
    EXPECT_FALSE(record.summary.atLeast[1].reachable);

    // The census at 300 steps and ratio 0.99, counted by judging every one
    // of the 10^7 draw indices with judgeStep (as draw_census_slowtest does
    // for 400 steps), each output-weighted by the 215 or 214 generator
    // outputs that give it.
    EXPECT_EQ(record.census.aaaDraws, 9900001);
    EXPECT_EQ(record.census.marvelousDraws, 9600493);
    EXPECT_EQ(record.census.aaaOutputs, 2126033862);
    EXPECT_EQ(record.census.marvelousOutputs, 2061789396);
    // P(AAA) for equally likely draws: (a / 10^7)^300.
    const double aaaChance = std::pow(9900001.0L / 1e7L, 300.0L);
    EXPECT_NEAR(record.exact.aaaChance, aaaChance, aaaChance * 1e-12);
}

} // namespace
} // namespace quorvex::app
