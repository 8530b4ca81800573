// The exact AAA target against the plain model's own census: for a few
// step counts and chances, the draws that keep a song AAA are counted one
// by one over all 10^7 draw indices with judgeStep, at the answer and at
// the double just below it. At the answer the chance is met, below it not.
#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "sim/step_model.h"
#include "stats/aaa_draws_needed.h"
#include "stats/aaa_ratio_target.h"

namespace quorvex::stats {
namespace {

std::int32_t aaaDrawsCountedOneByOne(double ratio) {
    if (ratio == 0.0)
        return 0;
    const RunConstants constants = deriveRunConstants(1, ratio).constants;
    std::int32_t kept = 0;
    for (std::int32_t t = 0; t < 10000000; ++t)
        kept += judgeStep(t, constants).breaksAaa ? 0 : 1;
    return kept;
}

TEST(AaaRatioTargetSlow, MetAtTheAnswerAndNotJustBelowIt) {
    setNumericMode();
    struct Case {
        std::int32_t steps;
        double chance;
    };
    const Case cases[] = {{1, 0.5}, {2, 0.25}, {400, 0.5}, {7, 0.9}, {1000, 0.01}, {1, 1.0}};
    for (const Case& c : cases) {
        const std::int32_t needed = aaaDrawsNeeded(c.steps, c.chance).aaaDraws;
        const AaaRatioTarget target = smallestRatioKeepingAaa(needed);
        const std::int32_t atAnswer = aaaDrawsCountedOneByOne(target.ratio);
        const std::int32_t below = aaaDrawsCountedOneByOne(target.ratioBelow);
        EXPECT_EQ(atAnswer, target.census.aaaDraws) << c.steps << " " << c.chance;
        EXPECT_EQ(below, target.aaaDrawsBelow) << c.steps << " " << c.chance;
        EXPECT_EQ(aaaChanceExactly(atAnswer, c.steps, c.chance), ChanceVerdict::met)
            << c.steps << " " << c.chance;
        EXPECT_EQ(aaaChanceExactly(below, c.steps, c.chance), ChanceVerdict::notMet)
            << c.steps << " " << c.chance;
    }
}

} // namespace
} // namespace quorvex::stats
