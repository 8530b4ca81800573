#pragma once

#include <cstdint>

namespace quorvex {

// A positive binary number significand × 2^exponent whose significand has its
// top bit set: the shape of an extended real's value.
struct BinaryNumber {
    std::uint64_t significand;
    std::int32_t exponent;
    friend bool operator==(const BinaryNumber&, const BinaryNumber&) = default;
};

// The exponents the conversion of extended reals can ask for.
inline constexpr std::int32_t powerOfTenLimit = 6000;

// 10^k rounded to a 64-bit significand, halfway cases to even, for
// 0 <= k <= powerOfTenLimit: exact up to 10^27 (5^27 < 2^64), correctly
// rounded beyond, and never out of range, however large. Throws
// std::out_of_range for other k.
BinaryNumber powerOfTen(std::int32_t k);

// The sign (-1, 0 or +1) of significand × 2^exponent - 10^j, decided exactly,
// for |j| <= powerOfTenLimit and any significand but 0. Throws
// std::out_of_range for other j.
int compareWithPowerOfTen(std::uint64_t significand, std::int32_t exponent, std::int32_t j);

} // namespace quorvex
