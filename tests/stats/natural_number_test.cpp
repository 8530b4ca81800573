// Whole numbers beyond 64 bits: products, shifts, dropped limbs and order,
// against limbs worked out apart from the code (Python's integers).
#include "stats/natural_number.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

using Limbs = std::vector<std::uint64_t>;

NaturalNumber power(std::uint64_t base, int exponent) {
    NaturalNumber result(1);
    for (int i = 0; i < exponent; ++i)
        result = result * NaturalNumber(base);
    return result;
}

TEST(NaturalNumber, ProductsCarryAcrossLimbs) {
    const NaturalNumber top(0xFFFFFFFFFFFFFFFFULL);
    // (2^64 - 1)^2 = 2^128 - 2^65 + 1.
    EXPECT_EQ((top * top).limbs(), (Limbs{0x1, 0xFFFFFFFFFFFFFFFE}));
    EXPECT_EQ(power(10, 40).limbs(), (Limbs{0xB9F5610000000000, 0x6329F1C35CA4BFAB, 0x1D}));
    EXPECT_EQ(power(3, 100).limbs(), (Limbs{0xD6947D55CF3813D1, 0x673768565B41F775, 0x5A4653CA}));
    EXPECT_EQ(power(3, 100).bitLength(), 159);
    EXPECT_TRUE((NaturalNumber(0) * top).isZero());
    EXPECT_EQ(NaturalNumber(0).bitLength(), 0);
}

TEST(NaturalNumber, ShiftsAndDroppedLimbs) {
    EXPECT_EQ(NaturalNumber(3).shiftedLeft(127).limbs(), (Limbs{0, 0x8000000000000000, 1}));
    EXPECT_EQ(NaturalNumber(5).shiftedLeft(64).limbs(), (Limbs{0, 5}));
    EXPECT_EQ(NaturalNumber(5).shiftedLeft(0).limbs(), (Limbs{5}));

    NaturalNumber exactDrop = NaturalNumber(7).shiftedLeft(128);
    EXPECT_FALSE(exactDrop.dropLowLimbs(2)); // only zeros went
    EXPECT_EQ(exactDrop.limbs(), (Limbs{7}));
    NaturalNumber lossyDrop = power(10, 40);
    EXPECT_TRUE(lossyDrop.dropLowLimbs(1));
    EXPECT_EQ(lossyDrop.limbs(), (Limbs{0x6329F1C35CA4BFAB, 0x1D}));
    EXPECT_TRUE(lossyDrop.dropLowLimbs(5)); // more than it has: zero is left
    EXPECT_TRUE(lossyDrop.isZero());
}

TEST(NaturalNumber, IncrementCarries) {
    NaturalNumber n = NaturalNumber(0xFFFFFFFFFFFFFFFFULL) * NaturalNumber(1);
    n.increment();
    EXPECT_EQ(n.limbs(), (Limbs{0, 1}));
    NaturalNumber zero;
    zero.increment();
    EXPECT_EQ(zero.limbs(), (Limbs{1}));
}

TEST(NaturalNumber, OrderByLengthThenFromTheTop) {
    EXPECT_LT(power(2, 64), power(3, 41)); // 2^64 < 3^41 = 3.6e19
    EXPECT_GT(power(3, 41), power(2, 64));
    EXPECT_LT(NaturalNumber(0xFFFFFFFFFFFFFFFFULL), power(2, 64));
    EXPECT_EQ(power(10, 40), power(100, 20));
    EXPECT_LT(power(10, 40), power(10, 40) * NaturalNumber(1) * NaturalNumber(2));
    EXPECT_LT(NaturalNumber(), NaturalNumber(1));
}

} // namespace
} // namespace quorvex::stats
