// The points of a range A:B:STEP: each A + i STEP rounded once (checked
// against the C library's correctly rounded fma, which the program itself
// never calls), B included exactly when it lies on the grid within the
// rounding of the three numbers, and every bad range refused.

#include "cli/ratio_range.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::cli {
namespace {

std::uint64_t bitsOf(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

TEST(RatioRange, APointIsTheCorrectlyRoundedFusedProduct) {
    // glibc's fma rounds A + i STEP once, as the points must be. Random bit
    // patterns reach every binade and subnormals; the magnitudes are drawn
    // near each other too, where the sum's rounding is hardest.
    std::mt19937_64 random(1700000000);
    int compared = 0;
    for (int n = 0; n < 300000; ++n) {
        const double start = std::bit_cast<double>(random());
        double step = std::bit_cast<double>(random());
        const auto i = static_cast<std::uint32_t>(n % 3 == 0 ? random() % 10001 : random());
        if (!std::isfinite(start) || !std::isfinite(step) || start == 0 || step == 0)
            continue;
        if (n % 2 == 0)
            step = std::ldexp(step, std::ilogb(start) - std::ilogb(step) - static_cast<int>(random() % 60));
        const double expected = std::fma(static_cast<double>(i), step, start);
        ASSERT_EQ(bitsOf(rangePoint(start, step, i)), bitsOf(expected == 0 ? 0.0 : expected))
            << std::hexfloat << start << " + " << i << " * " << step;
        ++compared;
    }
    EXPECT_GT(compared, 250000);
    // Decimal steps from decimal starts, every i a sweep can reach.
    for (const double start : {0.9, 0.1, 0.99, 0.0001, 1.0})
        for (const double step : {0.01, 0.1, 0.0005, 0.001, -0.01, 1e-7})
            for (std::uint32_t i = 0; i <= 10000; ++i)
                ASSERT_EQ(rangePoint(start, step, i), std::fma(static_cast<double>(i), step, start))
                    << start << " + " << i << " * " << step;
}

TEST(RatioRange, RoundedOnceNotAddedUp) {
    // Adding 0.1 seven times to 0.1 gives 0.7999999999999999; 8 x 0.1 is
    // exactly 0.8's double. Ten more steps give 1.1, not 1.0999999999999999.
    EXPECT_EQ(rangePoint(0.1, 0.1, 7), 0.8);
    EXPECT_EQ(rangePoint(0.1, 0.1, 10), 1.1);
    // And where rounding once gives the neighbour of the decimal's double.
    EXPECT_EQ(rangePoint(0.9, 0.01, 5), 0x1.e666666666667p-1); // 0.9500000000000001, not 0.95
}

TEST(RatioRange, PointsEndAtBWhenItLiesOnTheGrid) {
    struct Case {
        RatioRange range;
        std::vector<double> points;
    };
    const std::vector<Case> cases = {
        // 0.9 + 9 x 0.01 exceeds the double 0.99 by 3.3e-17: still B.
        {{0.9, 0.99, 0.01},
         {0x1.ccccccccccccdp-1, 0x1.d1eb851eb851fp-1, 0x1.d70a3d70a3d71p-1, 0x1.dc28f5c28f5c3p-1,
          0x1.e147ae147ae15p-1, 0x1.e666666666667p-1, 0x1.eb851eb851eb9p-1, 0x1.f0a3d70a3d70ap-1,
          0x1.f5c28f5c28f5cp-1, 0.99}},
        // 0.1 + 2 x 0.1 is a tie that rounds to 0.30000000000000004: B is 0.3.
        {{0.1, 0.3, 0.1}, {0.1, 0.2, 0.3}},
        // The tolerance is ulp(0.9) + ulp(B) + 9 ulp(0.01) = 2.4e-16 around
        // 0.9 + 9 x 0.01 = 0.99 + 2.4e-17: B from 0.99 - 1 ulp to 0.99 + 2 ulp.
        {{0.9, 0.9900000000000002, 0.01}, {}},
        {{0.9, 0.9899999999999999, 0.01}, {}},
        {{0.9, 0.9900000000000003, 0.01}, {}},
        {{0.9, 0.9899999999999998, 0.01}, {}},
        // B off the grid: the last point before it.
        {{0.9, 0.985, 0.01}, {}},
        // Downwards, a single point, and a step longer than the range.
        {{1, 0.9, -0.05}, {1, 0.95, 0.9}},
        {{0.5, 0.5, 0.1}, {0.5}},
        {{0.5, 0.5, -0.1}, {0.5}},
        {{0.5, 0.6, 1}, {0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.range.start << ":" << c.range.stop << ":" << c.range.step);
        const RangePoints got = expandRange(c.range, 10000);
        ASSERT_EQ(got.fault, RangeFault::none);
        if (!c.points.empty()) {
            EXPECT_EQ(got.points, c.points);
        }
    }
    const auto last = [](RatioRange range) { return expandRange(range, 10000).points.back(); };
    EXPECT_EQ(last({0.9, 0.9900000000000002, 0.01}), 0.9900000000000002);
    EXPECT_EQ(last({0.9, 0.9899999999999999, 0.01}), 0.9899999999999999);
    // Beyond: the last grid point whose exact value has not passed B.
    EXPECT_EQ(last({0.9, 0.9900000000000003, 0.01}), 0.99);
    EXPECT_EQ(last({0.9, 0.9899999999999998, 0.01}), 0x1.f5c28f5c28f5cp-1); // 0.98
    EXPECT_EQ(last({0.9, 0.985, 0.01}), 0x1.f5c28f5c28f5cp-1);
    EXPECT_EQ(expandRange({0.99, 1, 0.0005}, 10000).points.size(), 21U);
    EXPECT_EQ(last({0.99, 1, 0.0005}), 1.0);
}

TEST(RatioRange, AtMostTheLimit) {
    // 0.0001:1:0.0001 is exactly 10000 points; one more is refused, and so
    // is a range of some 10^300 points, without counting them.
    const RangePoints full = expandRange({0.0001, 1, 0.0001}, 10000);
    EXPECT_EQ(full.fault, RangeFault::none);
    EXPECT_EQ(full.points.size(), 10000U);
    EXPECT_EQ(full.points.back(), 1.0);
    EXPECT_EQ(expandRange({0.00001, 0.10001, 0.00001}, 10000).fault, RangeFault::tooManyPoints);
    EXPECT_EQ(expandRange({0.00001, 0.10001, 0.00001}, 10001).points.size(), 10001U);
    EXPECT_EQ(expandRange({0.1, 1, 1e-300}, 10000).fault, RangeFault::tooManyPoints);
    EXPECT_EQ(expandRange({0.1, 0.2, 0.1}, 1).fault, RangeFault::tooManyPoints);
}

TEST(RatioRange, BadStepsAreFaults) {
    EXPECT_EQ(expandRange({0.9, 1, 0}, 10000).fault, RangeFault::zeroStep);
    EXPECT_EQ(expandRange({0.5, 0.5, 0}, 10000).fault, RangeFault::zeroStep);
    EXPECT_EQ(expandRange({0.9, 1, -0.01}, 10000).fault, RangeFault::stepAwayFromB);
    EXPECT_EQ(expandRange({1, 0.9, 0.01}, 10000).fault, RangeFault::stepAwayFromB);
    // 1e-17 is a tenth of the doubles' spacing at 0.5: 0.5 + 1e-17 rounds to 0.5.
    const RangePoints repeats = expandRange({0.5, 0.5000000000000002, 1e-17}, 10000);
    EXPECT_EQ(repeats.fault, RangeFault::pointsRepeat);
    EXPECT_TRUE(repeats.points.empty());
}

} // namespace
} // namespace quorvex::cli
