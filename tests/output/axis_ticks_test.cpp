// Round ticks: 1, 2 or 5 times a power of ten apart.

#include "output/axis_ticks.h"

#include <vector>

#include <gtest/gtest.h>

namespace quorvex::output {
namespace {

using Values = std::vector<double>;

TEST(AxisTicks, WithinAnIntervalAtMostSoMany) {
    struct Case {
        double low, high;
        int maxTicks;
        double minStep;
        double step;
        int decimals;
        Values values;
    };
    const std::vector<Case> cases{
        {844.5, 950.5, 12, 1, 10, 0, {850, 860, 870, 880, 890, 900, 910, 920, 930, 940, 950}},
        {887.5, 897.5, 12, 1, 1, 0, {888, 889, 890, 891, 892, 893, 894, 895, 896, 897}},
        {990.5, 1000.5, 5, 1, 2, 0, {992, 994, 996, 998, 1000}}, // steps of 1 would need 10
        {-0.5, 1009.5, 12, 1, 100, 0, {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}},
        {0.1, 0.35, 6, 0, 0.05, 2, {0.1, 0.15, 0.2, 0.25, 0.3, 0.35}},
        {1000, 1000.4, 10, 1, 1, 0, {1000}}, // never finer than the minimum step
    };
    for (const Case& c : cases) {
        const AxisTicks ticks = ticksWithin(c.low, c.high, c.maxTicks, c.minStep);
        EXPECT_EQ(ticks.step, c.step) << c.low << ".." << c.high;
        EXPECT_EQ(ticks.decimals, c.decimals) << c.low << ".." << c.high;
        EXPECT_EQ(ticks.values, c.values) << c.low << ".." << c.high;
    }
}

TEST(AxisTicks, CoveringEndsOnTicksAtOrBeyondBothEnds) {
    // 3.4: steps of 0.5 would need 0..3.5, 8 ticks; steps of 1 need 5.
    EXPECT_EQ(ticksCovering(0, 3.4, 7).values, (Values{0, 1, 2, 3, 4}));
    EXPECT_EQ(ticksCovering(0, 100, 7).values, (Values{0, 20, 40, 60, 80, 100}));
    // 0.00038 in steps of 0.0001: decimals 4, and the multiples exact as written.
    const AxisTicks small = ticksCovering(0, 0.00038, 7);
    EXPECT_EQ(small.step, 0.0001);
    EXPECT_EQ(small.decimals, 4);
    EXPECT_EQ(small.values, (Values{0, 0.0001, 0.0002, 0.0003, 0.0004}));
    // A tick exactly on an end is kept, not pushed past by rounding.
    EXPECT_EQ(ticksCovering(0, 0.3, 4).values, (Values{0, 0.1, 0.2, 0.3}));
}

TEST(AxisTicks, ScalesMapEndsOntoEnds) {
    const LinearScale y{0, 4, 460, 104}; // drawn downwards
    EXPECT_EQ(y(0), 460);
    EXPECT_EQ(y(4), 104);
    EXPECT_EQ(y(1), 371);
}

} // namespace
} // namespace quorvex::output
