// The marvelous and AAA draw intervals: their ends are where judgeStep's
// decision changes, and they carry the model's own edge cases. The slow test
// beside this one proves over all 10^7 draws that the sets are intervals.
#include "sim/engine/draw_thresholds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

class DrawIntervals : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

bool within(std::int32_t t, double limit, const RunConstants& constants) {
    return !(judgeStep(t, constants).deviation > limit);
}

TEST_F(DrawIntervals, EndsAreWhereTheJudgementChanges) {
    for (double ratio : {0.5, 0.9, 0.95, 0.99, 0.9999999, 1.0, -0.95, 1e-3, 2.0}) {
        const RunConstants constants = deriveRunConstants(400, ratio).constants;
        for (double limit : {0.25, 1.0}) {
            const DrawInterval in = drawsWithDeviationAtMost(limit, constants);
            ASSERT_TRUE(in.contains(centreDrawIndex)) << ratio << " " << limit;
            // Every draw within 2000 of either end is judged as the interval says.
            for (std::int32_t end : {in.low, in.high}) {
                const std::int32_t from = std::max(0, end - 2000);
                const std::int32_t to = std::min(drawModulus - 1, end + 2000);
                for (std::int32_t t = from; t <= to; ++t)
                    ASSERT_EQ(in.contains(t), within(t, limit, constants))
                        << "ratio " << ratio << ", limit " << limit << ", t " << t;
            }
        }
    }
}

TEST_F(DrawIntervals, RatioOneLeavesOnlyTheLowestDrawOutsideTheMarvelousWindow) {
    // t = 0 gives w of exactly 1.0: not marvelous, but the AAA flag stays.
    const RunConstants constants = deriveRunConstants(100, 1.0).constants;
    const DrawInterval marvelous = drawsWithDeviationAtMost(0.25, constants);
    const DrawInterval aaa = drawsWithDeviationAtMost(1.0, constants);
    EXPECT_EQ(marvelous.low, 1);
    EXPECT_EQ(marvelous.high, drawModulus - 1);
    EXPECT_EQ(aaa.low, 0);
    EXPECT_EQ(aaa.high, drawModulus - 1);
    EXPECT_EQ(judgeStep(0, constants).deviation, 1.0);
}

TEST_F(DrawIntervals, ShareWithinThePerfectWindowIsTheRatio) {
    // w <= 1.0 for a share r of the draws, w <= 0.25 for (2/pi) atan(tan(pi r/2) / 4).
    for (double ratio : {0.5, 0.9, 0.95, 0.99}) {
        const RunConstants constants = deriveRunConstants(400, ratio).constants;
        const DrawInterval aaa = drawsWithDeviationAtMost(1.0, constants);
        const DrawInterval marvelous = drawsWithDeviationAtMost(0.25, constants);
        EXPECT_NEAR((aaa.high - aaa.low + 1) * 1e-7, ratio, 2e-7) << ratio;
        const double expected = 2.0 / modelPi * std::atan(0.25 * constants.deviationScale);
        EXPECT_NEAR((marvelous.high - marvelous.low + 1) * 1e-7, expected, 2e-7) << ratio;
    }
}

TEST_F(DrawIntervals, NegativeRatioGivesTheSameIntervals) {
    const RunConstants positive = deriveRunConstants(400, 0.95).constants;
    const RunConstants negative = deriveRunConstants(400, -0.95).constants;
    for (double limit : {0.25, 1.0}) {
        const DrawInterval a = drawsWithDeviationAtMost(limit, positive);
        const DrawInterval b = drawsWithDeviationAtMost(limit, negative);
        EXPECT_EQ(a.low, b.low);
        EXPECT_EQ(a.high, b.high);
    }
}

} // namespace
} // namespace quorvex
