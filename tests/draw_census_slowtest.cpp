// The draw census against judgeStep over every one of the 10^7 draw indices,
// and the best score against playing whole songs of marvelous steps at the
// largest step counts.
#include "stats/draw_census.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"

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
        std::int32_t aaa = 0, marvelous = 0;
        for (std::int32_t t = 0; t < drawModulus; ++t) {
            const StepJudgement step = judgeStep(t, constants);
            aaa += step.breaksAaa ? 0 : 1;
            marvelous += step.marvelous ? 1 : 0;
        }
        const DrawCensus census = takeDrawCensus(constants);
        EXPECT_EQ(census.aaaDraws, aaa) << "ratio " << ratio;
        EXPECT_EQ(census.marvelousDraws, marvelous) << "ratio " << ratio;
    }
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
