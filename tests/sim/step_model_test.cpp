#include "sim/step_model.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/random_source.h"

namespace quorvex {
namespace {

RunConstants constantsFor(std::int32_t steps, double ratio) {
    const RunConstantsOutcome derived = deriveRunConstants(steps, ratio);
    EXPECT_EQ(derived.fault, ModelFault::none);
    return derived.constants;
}

TEST(RunConstants, ReferenceValues) {
    EXPECT_EQ(constantsFor(400, 1.0).deviationScale, 16324552277619072.0);
    const RunConstants typical = constantsFor(400, 0.95);
    EXPECT_EQ(typical.stepValue, 250000.0L);
    EXPECT_NEAR(typical.deviationScale, std::tan(0.475 * modelPi), 1e-12);
    EXPECT_EQ(constantsFor(3, 0.9).stepValue, 100000000.0L / 3.0L);
}

TEST(RunConstants, Faults) {
    EXPECT_EQ(deriveRunConstants(0, 0.95).fault, ModelFault::zeroStepCount);
    const double inf = std::numeric_limits<double>::infinity();
    for (double ratio : {0.0, -0.0, inf, -inf, std::nan(""), 5.8e15, -5.8e15})
        EXPECT_TRUE(deviationScaleUnusable(constantsFor(10, ratio))) << ratio;
    for (double ratio : {1e-300, 0.5, 1.0, 2.0, -0.95, 5.7e15})
        EXPECT_FALSE(deviationScaleUnusable(constantsFor(10, ratio))) << ratio;
}

TEST(SongModel, UnusableScaleFaultsOnlyWhenAStepRuns) {
    const RunConstants zero = constantsFor(10, 0.0);
    seedRandom(5);
    EXPECT_EQ(simulateSong(10, zero).fault, ModelFault::unusableDeviationScale);
    EXPECT_EQ(simulateSong(-3, zero).fault, ModelFault::none);
    EXPECT_EQ(randomState, 5u) << "a faulting song draws nothing";
}

std::int32_t allMarvelousScore(std::int32_t steps) {
    const RunConstants c = constantsFor(steps, 0.95);
    const StepJudgement marvelous{0.1, true, false};
    std::int32_t points = 0;
    for (std::int32_t i = 0; i < steps; ++i)
        points = pointsAfterStep(points, marvelous, c);
    return points / scoreDivisor;
}

TEST(SongModel, AllMarvelousScores) {
    // 300 steps add 333333 each: the truncated fractions cost a point of score.
    EXPECT_EQ(allMarvelousScore(300), 999);
    for (std::int32_t steps : {1, 100, 250, 400, 625, 1000})
        EXPECT_EQ(allMarvelousScore(steps), 1000) << steps;
}

TEST(SongModel, StepValueIsContinuousAtTheEdges) {
    const RunConstants c = constantsFor(400, 0.95);
    EXPECT_EQ(pointsAfterStep(0, {0.25, true, false}, c), 250000);
    EXPECT_EQ(pointsAfterStep(0, {0.2500000000000001, false, false}, c), 249999);
    EXPECT_EQ(pointsAfterStep(0, {1.0, false, false}, c), 62500);
    EXPECT_EQ(pointsAfterStep(0, {std::numeric_limits<double>::infinity(), false, true}, c), 0);
}

TEST(SongModel, NegativeStepCountDrawsNothing) {
    const RunConstants c = deriveRunConstants(-5, 0.95).constants;
    seedRandom(77);
    const SongOutcome song = simulateSong(-5, c);
    EXPECT_EQ(song.result, (SongResult{0, 0, true}));
    EXPECT_EQ(song.fault, ModelFault::none);
    EXPECT_EQ(randomState, 77u);
}

TEST(SongModel, RatioOneJudgesOnlyTheLowestDrawAtTheEdge) {
    const RunConstants c = constantsFor(100, 1.0);
    const StepJudgement lowest = judgeStep(0, c);
    EXPECT_EQ(lowest.deviation, 1.0);
    EXPECT_FALSE(lowest.marvelous);
    EXPECT_FALSE(lowest.breaksAaa);
    EXPECT_EQ(pointsAfterStep(0, lowest, c), 250000);
    for (std::int32_t t : {1, 2, 100, 5000000, 9999999})
        EXPECT_TRUE(judgeStep(t, c).marvelous) << t;
}

TEST(SongModel, NegativeRatioPlaysLikeItsMagnitude) {
    for (double ratio : {0.95, 0.5, 0.9999999}) {
        const RunConstants pos = constantsFor(50, ratio), neg = constantsFor(50, -ratio);
        seedRandom(2024);
        std::uint64_t start = randomState;
        for (int song = 0; song < 200; ++song) {
            randomState = start;
            const SongResult a = simulateSong(50, pos).result;
            randomState = start;
            const SongResult b = simulateSong(50, neg).result;
            ASSERT_EQ(a, b) << "ratio " << ratio << " song " << song;
            start = randomState;
        }
    }
}

TEST(SongModel, ShareInsidePerfectWindowApproachesRatio) {
    constexpr int draws = 2000000;
    for (double ratio : {0.5, 0.9, 0.95}) {
        const RunConstants c = constantsFor(1000, ratio);
        seedRandom(31337);
        int perfect = 0, marvelous = 0;
        for (int i = 0; i < draws; ++i) {
            const StepJudgement s = judgeStep(drawIndex(nextRandom()), c);
            perfect += !s.breaksAaa;
            marvelous += s.marvelous;
        }
        // Five binomial standard deviations.
        const double sigma = std::sqrt(ratio * (1 - ratio) / draws);
        EXPECT_NEAR(static_cast<double>(perfect) / draws, ratio, 5 * sigma) << ratio;
        const double marvelousShare = 2 / modelPi * std::atan(0.25 * std::tan(modelPi * ratio / 2));
        const double marvelousSigma = std::sqrt(marvelousShare * (1 - marvelousShare) / draws);
        EXPECT_NEAR(static_cast<double>(marvelous) / draws, marvelousShare, 5 * marvelousSigma) << ratio;
    }
}

TEST(SongModel, NearPerfectPlayerMostlyScores1000) {
    const RunConstants c = constantsFor(100, 0.9999999);
    seedRandom(1);
    int thousands = 0;
    for (int song = 0; song < 100; ++song) {
        const SongResult r = simulateSong(100, c).result;
        thousands += (r.songScore == 1000 && r.marvelousCount == 100 && r.aaaFlag);
    }
    EXPECT_GE(thousands, 95);
}

TEST(SongModel, DeviationBeyondDoubleRangeEarnsNothing) {
    // A tiny ratio makes deviationScale tiny; far-out steps overflow the
    // double when stored and simply earn 0 points.
    const RunConstants c = constantsFor(1, 1e-300);
    const StepJudgement far = judgeStep(0, c); // |tan| about 1.6e16 here
    EXPECT_TRUE(std::isinf(far.deviation));
    EXPECT_EQ(pointsAfterStep(0, far, c), 0);
    seedRandom(3);
    const SongOutcome song = simulateSong(5, c);
    EXPECT_EQ(song.fault, ModelFault::none);
    EXPECT_FALSE(song.result.aaaFlag);
}

TEST(SongModel, SingleStepSongs) {
    const RunConstants c = constantsFor(1, 0.9);
    seedRandom(4242);
    for (int song = 0; song < 1000; ++song) {
        const SongResult r = simulateSong(1, c).result;
        if (r.marvelousCount == 1)
            EXPECT_EQ(r.songScore, 1000);
        else
            EXPECT_LT(r.songScore, 1000);
    }
}

} // namespace
} // namespace quorvex
