// The smallest ratio keeping a number of draws AAA, and the order it relies
// on: the model's deviationScale never falls as the ratio grows, checked
// over every double around the tangent's octant boundary (ratio 0.5, angle
// pi/4) and below ratio 1 (angle pi/2), and at random ratios between.
#include "stats/aaa_ratio_target.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/tangent.h"
#include "sim/step_model.h"

namespace quorvex::stats {
namespace {

// a(r) for a double r in (0, 1]: the census's AAA draws at that ratio.
std::int32_t aaaDrawsAt(double ratio) {
    return takeDrawCensus(deriveRunConstants(1, ratio).constants).aaaDraws;
}

class AaaRatioTargetTest : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

double deviationScaleAt(double ratio) {
    return deriveRunConstants(1, ratio).constants.deviationScale;
}

double angleAt(double ratio) {
    return static_cast<double>(static_cast<long double>(modelPi) * 0.5L * static_cast<long double>(ratio));
}

// deviationScale over `count` consecutive doubles from `first` on.
void expectNeverFalls(double first, int count) {
    double ratio = first;
    double previous = deviationScaleAt(ratio);
    for (int i = 1; i < count; ++i) {
        ratio = std::nextafter(ratio, 2.0);
        const double scale = deviationScaleAt(ratio);
        ASSERT_GE(scale, previous) << "at ratio " << ratio;
        previous = scale;
    }
}

TEST_F(AaaRatioTargetTest, DeviationScaleNeverFallsAcrossTheOctantBoundary) {
    // The angle of ratio 0.5 is the double just below pi/4 and the
    // tangent's reduction constant; the next ratio's angle is above both:
    // the tangent switches there from tan(r) to 1 / tan(2P - x).
    EXPECT_EQ(reduceTangentArgument(angleAt(0.5)).octant, 0u);
    EXPECT_EQ(reduceTangentArgument(angleAt(std::nextafter(0.5, 1.0))).octant, 1u);
    double first = 0.5;
    for (int i = 0; i < (1 << 20); ++i)
        first = std::nextafter(first, 0.0);
    expectNeverFalls(first, 1 << 21);
}

TEST_F(AaaRatioTargetTest, DeviationScaleNeverFallsBelowRatioOne) {
    double first = 1.0;
    for (int i = 0; i < (1 << 21); ++i)
        first = std::nextafter(first, 0.0);
    expectNeverFalls(first, (1 << 21) + 1);
    // At ratio 1 the angle is the double nearest pi/2, whose tangent the
    // reduction makes 2^63 / 565.
    EXPECT_EQ(deviationScaleAt(1.0), 16324552277619072.0);
}

TEST_F(AaaRatioTargetTest, TheTangentNeverFallsOverConsecutiveAngles) {
    // Every double angle within 2^20 of pi/4 on both sides (across the
    // reduction constant P, where the tangent switches to 1 / tan(2P - x)),
    // and the 2^20 below the double nearest pi/2, the angle of ratio 1.
    struct Stretch {
        double first;
        int count;
    };
    double belowQuarter = 0x1.921fb54442d18p-1; // the double just below pi/4
    double belowHalf = 0x1.921fb54442d18p+0;    // the double just below pi/2
    for (int i = 0; i < (1 << 20); ++i) {
        belowQuarter = std::nextafter(belowQuarter, 0.0);
        belowHalf = std::nextafter(belowHalf, 0.0);
    }
    std::vector<unsigned> lastOctants;
    for (const Stretch& stretch : {Stretch{belowQuarter, 1 << 21}, Stretch{belowHalf, (1 << 20) + 1}}) {
        double x = stretch.first;
        long double previous = quorvex::tan(x);
        for (int i = 1; i < stretch.count; ++i) {
            x = std::nextafter(x, 2.0);
            const long double t = quorvex::tan(x);
            ASSERT_GT(t, previous) << "at angle " << x;
            previous = t;
        }
        lastOctants.push_back(reduceTangentArgument(x).octant);
    }
    // The first stretch starts in octant 0 and ends in octant 1; the second
    // ends at the angle of ratio 1.
    EXPECT_EQ(reduceTangentArgument(belowQuarter).octant, 0u);
    EXPECT_EQ(lastOctants, (std::vector<unsigned>{1u, 1u}));
}

TEST_F(AaaRatioTargetTest, DeviationScaleNeverFallsAtRandomRatios) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<double> ratios;
    ratios.reserve(100001);
    for (int i = 0; i < 100000; ++i)
        ratios.push_back(uniform(random));
    ratios.push_back(1.0); // beyond it the angle passes pi/2 and the scale turns negative
    std::sort(ratios.begin(), ratios.end());
    double previous = 0;
    for (const double ratio : ratios) {
        if (ratio == 0)
            continue;
        const double scale = deviationScaleAt(ratio);
        ASSERT_GE(scale, previous) << ratio;
        if (ratio < 1.0) {
            ASSERT_GE(deviationScaleAt(std::nextafter(ratio, 2.0)), scale) << ratio;
        }
        previous = scale;
    }
}

TEST_F(AaaRatioTargetTest, TheAnswerKeepsItsCountAndTheDoubleBelowDoesNot) {
    for (const std::int32_t count : {2, 11, 1000000, 5000000, 5000001, 9000001, 9982687, 9999999}) {
        const AaaRatioTarget target = smallestRatioKeepingAaa(count);
        EXPECT_GE(target.census.aaaDraws, count) << count;
        EXPECT_EQ(target.census.aaaDraws, aaaDrawsAt(target.ratio)) << count;
        EXPECT_EQ(target.ratioBelow, std::nextafter(target.ratio, 0.0)) << count;
        EXPECT_LT(target.aaaDrawsBelow, count) << count;
        EXPECT_EQ(target.aaaDrawsBelow, aaaDrawsAt(target.ratioBelow)) << count;
        EXPECT_LE(target.deviationScaleBelow, target.deviationScale) << count;
    }
}

TEST_F(AaaRatioTargetTest, FiguresAtTheEnds) {
    // Every draw needs ratio 1, where the lowest draw's deviation is exactly
    // 1.0; the double below leaves that draw out.
    const AaaRatioTarget all = smallestRatioKeepingAaa(10000000);
    EXPECT_EQ(all.ratio, 1.0);
    EXPECT_EQ(all.census.aaaDraws, 10000000);
    EXPECT_EQ(all.aaaDrawsBelow, 9999999);
    // The centre draw (w = 0) is kept at any ratio: the least positive double.
    const AaaRatioTarget one = smallestRatioKeepingAaa(1);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(one.ratio), 1u);
    EXPECT_EQ(one.ratioBelow, 0.0);
    EXPECT_EQ(one.aaaDrawsBelow, 0);
    // The draws come in pairs around the centre: at ratio 0.5 there are
    // 5000001, below it 4999999, so 5000000 and 5000001 share their answer.
    EXPECT_EQ(smallestRatioKeepingAaa(5000000).ratio, 0.5);
    EXPECT_EQ(smallestRatioKeepingAaa(5000001).ratio, 0.5);
    EXPECT_EQ(aaaDrawsAt(0.5), 5000001);
}

} // namespace
} // namespace quorvex::stats
