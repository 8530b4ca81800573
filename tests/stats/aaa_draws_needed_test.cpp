// The least number of AAA draws for a chance: exact at the boundaries where
// (a / 10^7)^S is itself a double, logarithms and exact check agreeing
// everywhere else, and counts worked out apart from the code (Python's
// fractions and 100-digit decimals).
#include "stats/aaa_draws_needed.h"

#include <cmath>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

double up(double x) {
    return std::nextafter(x, 2.0);
}
double down(double x) {
    return std::nextafter(x, 0.0);
}

TEST(AaaDrawsNeeded, CountsFromIndependentCalculations) {
    struct Case {
        std::int32_t steps;
        double chance;
        std::int32_t aaaDraws;
    };
    const Case cases[] = {
        {400, 0.5, 9982687},
        {1, 0.5, 5000000},
        // The double 0.9 lies 2.2e-17 above nine tenths, which 9000000 draws give exactly.
        {1, 0.9, 9000001},
        {1000, 0.01, 9954055},
        {7, 0.9, 9850613},
        {100, 0.999, 9999900},
        {300, 1e-9, 9332544},
        {10000, 0.5, 9999307},
        {1, 1e-7, 1}, // the double 1e-7 lies below one ten-millionth
        {50, 1e-300, 11},
        {20000, 0.3, 9999399},       // beyond the exact limit
        {1000000, 0.5, 9999994},     // margins +0.093 and -0.0069 in ln
        {2147483647, 0.5, 10000000}, // one draw short already gives e^-214
        {2147483647, 1e-300, 9999997},
        {2147483647, 1.0, 10000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(aaaDrawsNeeded(c.steps, c.chance).aaaDraws, c.aaaDraws) << c.steps << " " << c.chance;
}

TEST(AaaDrawsNeeded, ExactBoundariesOfOneStep) {
    // a = 78125 c draws give the chance c / 128 exactly: met there and not
    // one draw below; the double just above needs one draw more.
    for (std::int32_t c = 1; c <= 128; ++c) {
        const double chance = c / 128.0;
        const AaaDrawsNeeded at = aaaDrawsNeeded(1, chance);
        EXPECT_EQ(at.aaaDraws, 78125 * c) << c;
        EXPECT_EQ(aaaDrawsNeeded(1, down(chance)).aaaDraws, 78125 * c) << c;
        if (c < 128) {                         // the search never asks about all 10^7 draws: they always meet
            EXPECT_GE(at.exactChecks, 1) << c; // the logarithms cannot tell an exact tie
            EXPECT_EQ(aaaDrawsNeeded(1, up(chance)).aaaDraws, 78125 * c + 1) << c;
        }
    }
    // 1234567 / 10^7 is no double; the nearest lies above it (Python), so
    // 1234567 draws fall short of it and meet the double below.
    EXPECT_EQ(aaaDrawsNeeded(1, 0.1234567).aaaDraws, 1234568);
    EXPECT_EQ(aaaDrawsNeeded(1, down(0.1234567)).aaaDraws, 1234567);
}

TEST(AaaDrawsNeeded, ExactBoundariesOfMoreSteps) {
    // (78125 c / 10^7)^2 = c^2 / 2^14; (5 x 10^6 / 10^7)^1000 = 2^-1000.
    for (const std::int32_t c : {1, 3, 64, 101, 127}) {
        const double chance = static_cast<double>(c) * c / 16384.0;
        EXPECT_EQ(aaaDrawsNeeded(2, chance).aaaDraws, 78125 * c) << c;
        EXPECT_EQ(aaaDrawsNeeded(2, up(chance)).aaaDraws, 78125 * c + 1) << c;
        EXPECT_EQ(aaaDrawsNeeded(2, down(chance)).aaaDraws, 78125 * c) << c;
    }
    EXPECT_EQ(aaaDrawsNeeded(1000, 0x1p-1000).aaaDraws, 5000000);
    EXPECT_EQ(aaaDrawsNeeded(1000, up(0x1p-1000)).aaaDraws, 5000001);
    EXPECT_EQ(aaaDrawsNeeded(33, std::pow(3.0, 33) * 0x1p-231).aaaDraws, 78125 * 3); // 3^33 < 2^53
    // Only every draw keeps a chance of 1: one draw fewer falls short by both methods.
    EXPECT_EQ(aaaDrawsNeeded(7, 1.0).aaaDraws, 10000000);
    EXPECT_EQ(aaaChanceByLogarithms(9999999, 7, 1.0), ChanceVerdict::notMet);
    EXPECT_EQ(aaaChanceExactly(9999999, 7, 1.0), ChanceVerdict::notMet);
}

TEST(AaaDrawsNeeded, LogarithmsNeverContradictTheExactCheck) {
    // Chances at and next to the double nearest (a / 10^7)^S, where the
    // margin is as small as doubles allow: the logarithms may leave them
    // open, but whatever they decide, the integers confirm.
    std::mt19937_64 random(20240611);
    int decided = 0;
    for (int i = 0; i < 3000; ++i) {
        const auto a = static_cast<std::int32_t>(1 + random() % 9999999);
        const auto steps = static_cast<std::int32_t>(1 + random() % 3000);
        const double near = std::pow(static_cast<double>(a) / 1e7, steps);
        if (!(near > 0.0))
            continue;
        for (const double chance : {down(near), near, up(near)}) {
            const ChanceVerdict quick = aaaChanceByLogarithms(a, steps, chance);
            const ChanceVerdict exact = aaaChanceExactly(a, steps, chance);
            ASSERT_NE(exact, ChanceVerdict::undecided) << a << " " << steps;
            if (quick != ChanceVerdict::undecided) {
                ++decided;
                ASSERT_EQ(quick, exact) << a << "^" << steps << " against " << chance;
            }
        }
    }
    EXPECT_GT(decided, 1000); // the bound is not so wide that the check is idle
}

} // namespace
} // namespace quorvex::stats
