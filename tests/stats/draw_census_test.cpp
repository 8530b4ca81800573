// The draw census and the values it gives for independent draws: the best
// score against playing marvelous steps, the closed forms against figures
// worked out apart from the code, the census against judgeStep near its ends,
// and a seeded engine run against the exact values.
#include "stats/draw_census.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "stats/proportion.h"

namespace quorvex::stats {
namespace {

class DrawCensusTest : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

constexpr StepJudgement marvelousStep{0.0, true, false};

std::int32_t allMarvelousScore(std::int32_t steps) {
    const RunConstants constants = deriveRunConstants(steps, 0.95).constants;
    std::int32_t points = 0;
    for (std::int32_t step = 0; step < steps; ++step)
        points = pointsAfterStep(points, marvelousStep, constants);
    return points / scoreDivisor;
}

TEST_F(DrawCensusTest, BestScoreIsAnAllMarvelousSongUpToAThousandSteps) {
    for (std::int32_t steps = 1; steps <= 1000; ++steps)
        ASSERT_EQ(bestScoreFor(steps), allMarvelousScore(steps)) << steps << " steps";
}

TEST_F(DrawCensusTest, BestScoreForLargeStepCounts) {
    // floor(10^8 / steps) * steps / 10^5, truncated.
    struct Case {
        std::int32_t steps;
        std::int32_t best;
    };
    const Case cases[] = {
        {1, 1000},         {7, 999},        // 14285714 * 7 = 99999998
        {300, 999},        {400, 1000},     // 333333 * 300 = 99999900
        {6250, 1000},      {99999999, 999}, // floor(1.00000001) = 1
        {100000000, 1000}, {100000001, 0},  // a step below one point adds nothing
        {50000001, 500},   {33333334, 666}, // floor(1.99999996) = 1; floor(2.99999994) = 2
        {2147483647, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bestScoreFor(c.steps), c.best) << c.steps << " steps";
}

TEST_F(DrawCensusTest, ExactValuesArePowersAndProducts) {
    struct Case {
        DrawCensus census;
        std::int32_t steps = 0;
        double aaaChance = 0;
        double marvelousMean = 0;
        double perfectScoreChance = 0;
    };
    const Case cases[] = {
        // 0.95^400 = 1.2287e-9; 400 * 0.5 = 200; 0.5^400 = 2^-400, best 1000.
        {{9500000, 5000000}, 400, 1.2286894111517974e-9, 200.0, 0x1p-400},
        // 0.95^300 = 2.0753e-7. Best 999 at 300 steps: no perfect score even
        // with every draw marvelous.
        {{9500000, 10000000}, 300, 2.0753033477680851e-7, 300.0, 0.0},
        // (1 - 10^-7)^(10^8) = e^-10.0000005 = 4.54e-5.
        {{10000000, 9999999}, 100000000, 1.0, 99999990.0, 4.5399907062524132e-5},
        // 0.25^7 = 2^-14; best 999 at 7 steps.
        {{2500000, 0}, 7, 0x1p-14, 0.0, 0.0},
        // 0.9^1000 = 1.7479e-46, 0.75^1000 = 1.1515e-125.
        {{9000000, 7500000}, 1000, 1.7478712517226516e-46, 750.0, 1.1514985401248269e-125},
        // 0.75^16 = 0.0100226.
        {{7500000, 7500000}, 16, 0.010022595757618546, 12.0, 0.010022595757618546},
        {{0, 0}, 16, 0.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        const ExactValues v = exactValuesFor(c.census, c.steps);
        EXPECT_DOUBLE_EQ(v.aaaChance, c.aaaChance) << c.census.aaaDraws << " " << c.steps;
        EXPECT_DOUBLE_EQ(v.marvelousMean, c.marvelousMean) << c.census.marvelousDraws << " " << c.steps;
        EXPECT_DOUBLE_EQ(v.perfectScoreChance, c.perfectScoreChance)
            << c.census.marvelousDraws << " " << c.steps;
    }
}

bool within(std::int32_t t, double limit, const RunConstants& constants) {
    return !(judgeStep(t, constants).deviation > limit);
}

// Where the window of draws within `limit` starts (side -1) or ends (side +1),
// found by judging every draw within 1000 of where |tan x| = limit * scale
// puts it: x = (t / 10^7 - 1/2) pi. Fails unless the judgement changes once
// there, or the window reaches the end of the draws.
std::int32_t endNearTheCurve(double limit, const RunConstants& constants, int side) {
    const long double pi = 3.141592653589793238462643383279502884L;
    const long double reach =
        std::atan(limit * std::fabs(static_cast<long double>(constants.deviationScale)));
    const auto guess = static_cast<std::int32_t>(5e6L + side * 1e7L * reach / pi);
    const std::int32_t from = std::max(0, guess - 1000);
    const std::int32_t to = std::min(drawModulus - 1, guess + 1000);
    int changes = 0;
    std::int32_t end = side < 0 ? from : to;
    for (std::int32_t t = from + 1; t <= to; ++t)
        if (within(t - 1, limit, constants) != within(t, limit, constants)) {
            ++changes;
            end = side < 0 ? t : t - 1;
        }
    EXPECT_LE(changes, 1) << "limit " << limit << " side " << side;
    EXPECT_TRUE(within(end, limit, constants));
    return end;
}

TEST_F(DrawCensusTest, CountsMatchTheJudgementAroundTheWindowEnds) {
    for (const double ratio : {0.5, 0.9, 0.95, 0.99, 1.0, 1e-3}) {
        const RunConstants constants = deriveRunConstants(400, ratio).constants;
        const DrawCensus census = takeDrawCensus(constants);
        const auto count = [&](double limit) {
            return endNearTheCurve(limit, constants, +1) - endNearTheCurve(limit, constants, -1) + 1;
        };
        EXPECT_EQ(census.aaaDraws, count(1.0)) << "ratio " << ratio;
        EXPECT_EQ(census.marvelousDraws, count(0.25)) << "ratio " << ratio;
    }
}

TEST_F(DrawCensusTest, RatioOneLeavesOneDrawOutOfTheMarvelousWindow) {
    // Draw 0 gives w = 1.0 exactly: within the AAA limit, outside the marvelous one.
    const DrawCensus census = takeDrawCensus(deriveRunConstants(400, 1.0).constants);
    EXPECT_EQ(census.aaaDraws, 10000000);
    EXPECT_EQ(census.marvelousDraws, 9999999);
}

TEST_F(DrawCensusTest, OnlyLargeStepCountsLetANonMarvelousStepEarnTheFullValue) {
    // From the highest total before the last step, with the smallest w above 0.25.
    const StepJudgement nearest{std::nextafter(0.25, 1.0), false, false};
    const RunConstants five = deriveRunConstants(5000, 0.9).constants; // V = 20000
    EXPECT_EQ(pointsAfterStep(100000000 - 20000, nearest, five), 99999999);
    const RunConstants sixtyTwo = deriveRunConstants(6250, 0.9).constants; // V = 16000
    EXPECT_EQ(pointsAfterStep(100000000 - 16000, nearest, sixtyTwo), 100000000);
    // A draw that does it: at 25000000 steps (V = 4) draw 2825267 lies just
    // outside the marvelous window with 4w - 1 = 3.7e-14, and earns 4 - 1.5e-13,
    // which the total 99999996 rounds up to 10^8.
    const RunConstants constants = deriveRunConstants(25000000, 0.81029695803727697).constants;
    const StepJudgement outside = judgeStep(2825267, constants);
    EXPECT_FALSE(outside.marvelous);
    EXPECT_EQ(pointsAfterStep(99999996, outside, constants), 100000000);
    EXPECT_LT(pointsAfterStep(4, outside, constants), 8);
}

TEST_F(DrawCensusTest, GeneratorOutputsWeighEachDrawBy215Or214) {
    // 2^31 = 214 * 10^7 + 7483648: the indices 0..7483647 come from 215
    // outputs each, 7483648..9999999 from 214.
    struct Case {
        std::int32_t low, high;
        std::int64_t outputs;
    };
    const Case cases[] = {{0, 9999999, 2147483648}, {0, 0, 215},      {9999999, 9999999, 214},
                          {7483647, 7483648, 429},  {5, 4, 0},        {7483648, 9999999, 2516352 * 214},
                          {0, 7483647, 1608984320}, {100, 199, 21500}};
    for (const Case& c : cases)
        EXPECT_EQ(generatorOutputsBetween(c.low, c.high), c.outputs) << c.low << ".." << c.high;
    // Weighted exact values: half of the outputs within, two steps: 1/4.
    DrawCensus half{5000000, 5000000, std::int64_t{1} << 30, std::int64_t{1} << 30};
    const ExactValues v = exactValuesFor(half, 2);
    EXPECT_EQ(v.generatorAaaChance, 0.25);
    EXPECT_EQ(v.generatorMarvelousMean, 1.0);
    EXPECT_EQ(v.generatorPerfectScoreChance, 0.25); // 2 steps of 5 * 10^7 points: best 1000
}

TEST_F(DrawCensusTest, SeededEngineRunsAgreeWithTheExactValues) {
    // 1. Mean marvelous steps of 20000 songs of 400 steps at 0.9: within 5
    //    standard errors of steps * m / 10^7, the error taken from the
    //    binomial deviation sqrt(steps q (1 - q)), q = m / 10^7.
    {
        const RunConstants constants = deriveRunConstants(400, 0.9).constants;
        const DrawCensus census = takeDrawCensus(constants);
        ScoreAggregate aggregate;
        seedRandom(20240611);
        ASSERT_EQ(runSongs(20000, 400, constants, aggregate), ModelFault::none);
        std::int64_t marvelous = 0;
        for (const ScoreGroup& group : aggregate.rows())
            marvelous += group.marvelousSum;
        const double observed = static_cast<double>(marvelous) / 20000.0;
        const double expected = exactValuesFor(census, 400).marvelousMean;
        const double q = census.marvelousDraws / 1e7;
        const double error = std::sqrt(400.0 * q * (1.0 - q) / 20000.0);
        std::cout << "marvelous per song: " << observed << " seen, " << expected << " exact, "
                  << (observed - expected) / error << " standard errors apart\n";
        EXPECT_LE(std::fabs(observed - expected), 5.0 * error);
    }
    // 2. AAA share of 20000 songs of 100 steps at 0.999 (about 0.905): the
    //    exact chance lies within the Wilson interval widened from 1.96 to 5
    //    sigma about its centre.
    {
        const RunConstants constants = deriveRunConstants(100, 0.999).constants;
        const ExactValues exact = exactValuesFor(takeDrawCensus(constants), 100);
        ScoreAggregate aggregate;
        seedRandom(7);
        ASSERT_EQ(runSongs(20000, 100, constants, aggregate), ModelFault::none);
        std::int64_t aaa = 0;
        for (const ScoreGroup& group : aggregate.rows())
            aaa += group.aaaCount;
        const Interval wilson = proportionOf(aaa, 20000).wilson95;
        const double centre = (wilson.low + wilson.high) / 2.0;
        const double half = (wilson.high - wilson.low) / 2.0 * 5.0 / 1.959963984540054;
        std::cout << "AAA share: " << aaa / 20000.0 << " seen, " << exact.aaaChance << " exact, 5-sigma ["
                  << centre - half << ", " << centre + half << "]\n";
        EXPECT_GE(exact.aaaChance, centre - half);
        EXPECT_LE(exact.aaaChance, centre + half);
    }
}

} // namespace
} // namespace quorvex::stats
