#include "runtime/tangent.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "numeric_control_word.h"
#include "runtime/numeric_mode.h"
#include "runtime/truncation.h"

namespace quorvex {
namespace {

std::uint64_t bitsOf(double d) {
    return std::bit_cast<std::uint64_t>(d);
}

TEST(NumericMode, ExtendedPrecisionNearestAllMasked) {
    setNumericMode();
    EXPECT_EQ(numericControlWord() & 0x0F3F, 0x033F);
}

TEST(Tangent, SignedZerosAndSubnormals) {
    EXPECT_EQ(bitsOf(static_cast<double>(quorvex::tan(0.0))), bitsOf(0.0));
    EXPECT_EQ(bitsOf(static_cast<double>(quorvex::tan(-0.0))), bitsOf(-0.0));
    const double sub = std::numeric_limits<double>::denorm_min() * 12345;
    EXPECT_EQ(quorvex::tan(sub), static_cast<long double>(sub));
    EXPECT_EQ(quorvex::tan(-sub), -static_cast<long double>(sub));
}

TEST(Tangent, ReductionByPNearHalfPi) {
    const double halfPi = std::bit_cast<double>(0x3FF921FB54442D18ULL);
    ASSERT_EQ(halfPi, 1.5707963267948966);
    // r = 2P - x = 565 * 2^-63 exactly; the result is 2^63 / 565.
    const TangentReduction red = reduceTangentArgument(halfPi);
    EXPECT_EQ(red.octant, 1u);
    EXPECT_EQ(red.reduced, 565.0L * 0x1p-63L);
    EXPECT_EQ(static_cast<double>(quorvex::tan(halfPi)), 16324552277619072.0);
    EXPECT_EQ(static_cast<double>(quorvex::tan(-halfPi)), -16324552277619072.0);
}

TEST(Tangent, RefusesHugeAndNonFinite) {
    const double inf = std::numeric_limits<double>::infinity();
    // The refusal is one fixed quiet NaN, pinned here as a figure so that a
    // wrong constant in the code fails.
    for (double x : {9007199254740992.0, -9007199254740992.0, inf, -inf, std::nan("")}) {
        const double r = static_cast<double>(quorvex::tan(x));
        EXPECT_EQ(bitsOf(r), 0x7FF8042000000000ULL) << x;
    }
    EXPECT_TRUE(std::isfinite(quorvex::tan(9007199254740991.0)));
}

TEST(Tangent, AgreesWithTheLibraryAwayFromPoles) {
    // Away from odd multiples of pi/2 the reduction by P changes nothing
    // visible at double precision.
    for (double x = -1.5; x <= 1.5; x += 0.001) {
        const double ours = static_cast<double>(quorvex::tan(x));
        EXPECT_NEAR(ours, std::tan(x), std::fabs(std::tan(x)) * 4e-16) << x;
    }
    // Octants: tan(pi - 1) = -tan(1); tan(pi + 1) = tan(1), within rounding.
    EXPECT_NEAR(static_cast<double>(quorvex::tan(2.0)), std::tan(2.0), 1e-15);
    EXPECT_NEAR(static_cast<double>(quorvex::tan(-4.0)), std::tan(-4.0), 1e-14);
    EXPECT_NEAR(static_cast<double>(quorvex::tan(1000.0)), std::tan(1000.0), 1e-12);
}

TEST(TruncateToInt, TowardZeroAndWrapping) {
    EXPECT_EQ(truncateToInt(2.9L), 2);
    EXPECT_EQ(truncateToInt(-2.9L), -2);
    EXPECT_EQ(truncateToInt(2147483648.0L), -2147483647 - 1);
    EXPECT_EQ(truncateToInt(4294967301.0L), 5);
    // The extended value itself is truncated, never a double rounding of it.
    EXPECT_EQ(truncateToInt(99999999.99999999999L), 99999999);
    EXPECT_EQ(truncateToInt(0x1p64L), 0);
    EXPECT_EQ(truncateToInt(std::numeric_limits<long double>::quiet_NaN()), 0);
}

} // namespace
} // namespace quorvex
