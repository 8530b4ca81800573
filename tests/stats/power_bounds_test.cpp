// Bounds on powers cut to a few limbs: exact while nothing is cut, else a
// bracket around the exact power that is as narrow as the limbs promise.
#include "stats/power_bounds.h"

#include <compare>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

using Limbs = std::vector<std::uint64_t>;

ScaledNatural scaled(std::uint64_t mantissa, std::int64_t exponent) {
    return {NaturalNumber(mantissa), exponent};
}

TEST(PowerBounds, ExactWhileNothingIsCut) {
    // 78125^5 = 5^35, 82 bits (Python).
    const PowerBounds bounds = powerBounds(78125, 5, 4);
    EXPECT_TRUE(bounds.exact);
    EXPECT_EQ(bounds.low.mantissa.limbs(), (Limbs{0x2E58E9B04570F1FD, 0x2684C}));
    EXPECT_EQ(bounds.low.exponent, 0);
    EXPECT_EQ(compareScaled(bounds.low, bounds.high), std::strong_ordering::equal);
    EXPECT_EQ(powerBounds(9999999, 0, 4).low.mantissa.limbs(), (Limbs{1}));
    EXPECT_EQ(powerBounds(9999999, 1, 4).high.mantissa.limbs(), (Limbs{9999999}));
}

TEST(PowerBounds, CutBoundsBracketThePowerClosely) {
    for (const std::uint64_t base : {3ULL, 9999999ULL, 78125ULL}) {
        const std::uint64_t power = 1000;
        const PowerBounds exact = powerBounds(base, power, 1024);
        ASSERT_TRUE(exact.exact) << base;
        const PowerBounds cut = powerBounds(base, power, 2);
        EXPECT_FALSE(cut.exact) << base;
        EXPECT_TRUE(std::is_lteq(compareScaled(cut.low, exact.low))) << base;
        EXPECT_TRUE(std::is_gteq(compareScaled(cut.high, exact.low))) << base;
        // Each cut moves a value by under 2^-64 of itself, and later
        // squarings multiply that: within 2 x 1000 x 2^-64 < 2^-50 in all.
        const NaturalNumber& p = exact.low.mantissa;
        NaturalNumber widened = NaturalNumber(1).shiftedLeft(50);
        widened.increment(); // 2^50 + 1
        const ScaledNatural upperLimit{p * widened, -50};
        const ScaledNatural cutLowWidened{cut.low.mantissa * widened, cut.low.exponent};
        EXPECT_TRUE(std::is_lteq(compareScaled(cut.high, upperLimit))) << base;   // high <= p (1 + 2^-50)
        EXPECT_TRUE(std::is_gteq(compareScaled(cutLowWidened, {p, 50}))) << base; // low (1 + 2^-50) >= p
        EXPECT_LT(cut.low.mantissa.limbCount() + cut.high.mantissa.limbCount(), 6u) << base;
    }
}

TEST(PowerBounds, CompareScaledExactly) {
    EXPECT_EQ(compareScaled(scaled(3, 5), scaled(96, 0)), std::strong_ordering::equal);
    EXPECT_EQ(compareScaled(scaled(3, 5), scaled(97, 0)), std::strong_ordering::less);
    EXPECT_EQ(compareScaled(scaled(97, 0), scaled(3, 5)), std::strong_ordering::greater);
    EXPECT_EQ(compareScaled(scaled(1, -3), scaled(0, 0)), std::strong_ordering::greater);
    EXPECT_EQ(compareScaled(scaled(0, 7), scaled(0, -7)), std::strong_ordering::equal);
    // Same top bit, far-apart exponents: 2^200 + 1 against 2^200.
    const ScaledNatural big{NaturalNumber(1).shiftedLeft(200) * NaturalNumber(1), 0};
    ScaledNatural bigPlusOne = big;
    bigPlusOne.mantissa.increment();
    EXPECT_EQ(compareScaled(scaled(1, 200), bigPlusOne), std::strong_ordering::less);
    EXPECT_EQ(compareScaled(scaled(1, 200), big), std::strong_ordering::equal);
}

} // namespace
} // namespace quorvex::stats
