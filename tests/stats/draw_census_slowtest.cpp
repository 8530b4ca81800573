// The draw census against judgeStep over every one of the 10^7 draw indices,
// and the best score against playing whole songs of marvelous steps at the
// largest step counts.
#include "stats/draw_census.h"

#include <cmath>
#include <cstdint>
#include <iostream>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"

namespace quorvex::stats {
namespace {

class DrawCensusExhaustive : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

TEST_F(DrawCensusExhaustive, CountsEveryDrawAsJudgeStepDoes) {
    // Ratio 1 leaves draw 0 at w = 1.0, outside the marvelous window only;
    // ratio 1e-300 leaves the centre alone (every other w is above 10^290).
    for (const double ratio : {0.5, 0.9, 0.95, 0.99, 1.0, 1e-3, 1e-300}) {
        const RunConstants constants = deriveRunConstants(400, ratio).constants;
        // Each draw also counts the generator outputs that give it: 215 below
        // 7483648, 214 from there (2^31 = 214 * 10^7 + 7483648).
        std::int32_t aaa = 0, marvelous = 0;
        std::int64_t aaaOutputs = 0, marvelousOutputs = 0;
        for (std::int32_t t = 0; t < drawModulus; ++t) {
            const StepJudgement step = judgeStep(t, constants);
            const std::int64_t outputs = t < 7483648 ? 215 : 214;
            aaa += step.breaksAaa ? 0 : 1;
            marvelous += step.marvelous ? 1 : 0;
            aaaOutputs += step.breaksAaa ? 0 : outputs;
            marvelousOutputs += step.marvelous ? outputs : 0;
        }
        const DrawCensus census = takeDrawCensus(constants);
        EXPECT_EQ(census.aaaDraws, aaa) << "ratio " << ratio;
        EXPECT_EQ(census.marvelousDraws, marvelous) << "ratio " << ratio;
        EXPECT_EQ(census.aaaOutputs, aaaOutputs) << "ratio " << ratio;
        EXPECT_EQ(census.marvelousOutputs, marvelousOutputs) << "ratio " << ratio;
    }
}

TEST_F(DrawCensusExhaustive, LongRunsFollowTheGeneratorsWeighting) {
    // 10^6 songs of 400 steps at 0.95: the run's marvelous mean lies within 4
    // standard errors of the generator-weighted exact mean (322.43), while
    // the mean for equally likely draws (322.336) is some 11 away.
    const RunConstants constants = deriveRunConstants(400, 0.95).constants;
    const ExactValues exact = exactValuesFor(takeDrawCensus(constants), 400);
    ScoreAggregate aggregate;
    seedRandom(1765222492);
    ASSERT_EQ(runSongs(1000000, 400, constants, aggregate), ModelFault::none);
    std::int64_t marvelous = 0;
    for (const ScoreGroup& group : aggregate.rows())
        marvelous += group.marvelousSum;
    const double observed = static_cast<double>(marvelous) / 1e6;
    const double q = exact.generatorMarvelousMean / 400;
    const double error = std::sqrt(400 * q * (1 - q) / 1e6);
    std::cout << "marvelous per song " << observed << ": "
              << (observed - exact.generatorMarvelousMean) / error << " standard errors from the generator's "
              << exact.generatorMarvelousMean << ", " << (observed - exact.marvelousMean) / error
              << " from equally likely draws' " << exact.marvelousMean << "\n";
    EXPECT_LT(std::fabs(observed - exact.generatorMarvelousMean), 4 * error);
}

TEST_F(DrawCensusExhaustive, BestScoreIsAnAllMarvelousSongAtLargeStepCounts) {
    for (const std::int32_t steps : {6250, 33333334, 50000001, 100000000}) {
        const RunConstants constants = deriveRunConstants(steps, 0.95).constants;
        std::int32_t points = 0;
        for (std::int32_t step = 0; step < steps; ++step)
            points = pointsAfterStep(points, {0.0, true, false}, constants);
        EXPECT_EQ(bestScoreFor(steps), points / scoreDivisor) << steps << " steps";
    }
}

} // namespace
} // namespace quorvex::stats
