// Exact multiples of 2^-1074: every double goes in and comes back out
// unchanged, sums and multiples are exact, and the one rounding at the end is
// to nearest with ties to even, into subnormals and up to infinity.

#include "cli/dyadic.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace quorvex::cli {
namespace {

std::uint64_t bitsOf(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

TEST(Dyadic, EveryDoubleComesBackUnchanged) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 200000; ++i) {
        const double x = std::bit_cast<double>(random());
        if (!std::isfinite(x))
            continue;
        // -0 has no sign of its own here: it comes back as +0.
        EXPECT_EQ(bitsOf(Dyadic::of(x).rounded()), bitsOf(x == 0 ? 0.0 : x)) << std::hexfloat << x;
    }
    for (const double x : {0x1p-1074, 0x1.ffffffffffffep-1023, 0x1p-1022, 0x1.fffffffffffffp+1023, 1.0})
        EXPECT_EQ(Dyadic::of(x).rounded(), x) << std::hexfloat << x;
}

TEST(Dyadic, RoundsOnceToNearestWithTiesToEven) {
    const Dyadic one = Dyadic::of(1.0);
    const Dyadic halfUnit = Dyadic::of(0x1p-53); // half the spacing of the doubles above 1
    const Dyadic tiny = Dyadic::of(0x1p-1074);
    struct Case {
        Dyadic value;
        double rounded;
    };
    const Case cases[] = {
        {one + halfUnit, 1.0},                                     // a tie: down to the even 1
        {one + halfUnit + tiny, 0x1.0000000000001p0},              // just past it: up
        {one + halfUnit.times(3), 0x1.0000000000002p0},            // a tie above an odd one: up to even
        {Dyadic::of(0x1.fffffffffffffp0) + halfUnit, 2.0},         // the carry moves up a binade
        {Dyadic::of(0x1p-1074).times(3), 0x1.8p-1073},             // subnormals are exact
        {Dyadic::of(0x1.fffffffffffffp1023) + Dyadic::of(0x1p970), // the tie above the largest
         std::numeric_limits<double>::infinity()},
        {Dyadic::of(0.25) - Dyadic::of(1.0), -0.75},
        {Dyadic::of(0.1) - Dyadic::of(0.1), 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bitsOf(c.value.rounded()), bitsOf(c.rounded)) << std::hexfloat << c.rounded;
}

TEST(Dyadic, SumsMultiplesAndComparisonsAreExact) {
    // 0.1 is 0x1.999999999999ap-4: ten of it exceed 1 by 2^-54 exactly.
    const Dyadic ten = Dyadic::of(0.1).times(10);
    EXPECT_EQ(ten - Dyadic::of(1.0), Dyadic::of(0x1p-54));
    EXPECT_GT(ten, Dyadic::of(1.0));
    EXPECT_LT(Dyadic::of(-2.0), Dyadic::of(-1.0));
    EXPECT_EQ(Dyadic::of(-0.0), Dyadic::of(0.0));
    EXPECT_EQ(Dyadic::of(0x1.fffffffffffffp1023).times(0xFFFFFFFFU) - Dyadic::of(0x1.fffffffffffffp1023),
              Dyadic::of(0x1.fffffffffffffp1023).times(0xFFFFFFFEU));
    EXPECT_TRUE((Dyadic::of(3.0) - Dyadic::of(3.0)).isZero());
    EXPECT_FALSE((Dyadic::of(1.0) - Dyadic::of(3.0)).magnitude().isNegative());
}

TEST(Dyadic, UnitInLastPlaceIsTheSpacingOfTheDoubles) {
    const double cases[][2] = {{1.0, 0x1p-52},         {0.99, 0x1p-53},  {-0.01, 0x1p-59},
                               {0x1p-1074, 0x1p-1074}, {0.0, 0x1p-1074}, {0x1p-1022, 0x1p-1074}};
    for (const auto& [x, unit] : cases)
        EXPECT_EQ(Dyadic::unitInLastPlace(x), Dyadic::of(unit)) << std::hexfloat << x;
}

} // namespace
} // namespace quorvex::cli
