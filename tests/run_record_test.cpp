#include "cli/run_record.h"

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "stats/draw_census.h"

namespace quorvex::cli {
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

    const stats::DrawCensus census = stats::takeDrawCensus(deriveRunConstants(300, 0.99).constants);
    EXPECT_EQ(record.census.aaaDraws, census.aaaDraws);
    EXPECT_EQ(record.census.marvelousDraws, census.marvelousDraws);
    EXPECT_GT(record.census.aaaDraws, record.census.marvelousDraws);
    EXPECT_EQ(record.exact.aaaChance, stats::exactValuesFor(census, 300).aaaChance);
}

} // namespace
} // namespace quorvex::cli
