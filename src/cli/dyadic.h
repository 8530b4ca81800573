#pragma once

#include <array>
#include <compare>
#include <cstdint>

namespace quorvex::cli {

// An exact signed multiple of 2^-1074, the least subnormal double. Every
// finite double is one, and so are their sums and their multiples by whole
// numbers below 2^32, as long as the magnitude stays below 2^1100: the
// ranges of ratios form their points as A + i * STEP without any rounding
// and round the result once. Magnitudes live in 2176 bits (34 words of
// 64), least significant word first; nothing is ever allocated.
class Dyadic {
  public:
    Dyadic() = default;

    // The double's exact value; `x` must be finite. -0 is 0.
    static Dyadic of(double x);
    // The spacing of the doubles at `x` (finite): 2^(e - 52) for a normal
    // x in [2^e, 2^(e + 1)), 2^-1074 for a subnormal or zero.
    static Dyadic unitInLastPlace(double x);

    bool isZero() const;
    bool isNegative() const { return negative_; }
    Dyadic magnitude() const;

    Dyadic operator+(const Dyadic& other) const;
    Dyadic operator-(const Dyadic& other) const;
    Dyadic times(std::uint32_t factor) const;

    // The nearest double, ties to the even significand (the rounding of
    // IEEE 754 binary64 arithmetic); infinity beyond the largest double.
    double rounded() const;

    std::strong_ordering operator<=>(const Dyadic& other) const;
    bool operator==(const Dyadic& other) const { return (*this <=> other) == 0; }

  private:
    static constexpr std::size_t words = 34;
    using Magnitude = std::array<std::uint64_t, words>;

    static std::strong_ordering compareMagnitudes(const Magnitude& a, const Magnitude& b);
    static Magnitude addMagnitudes(const Magnitude& a, const Magnitude& b);
    // a - b for a >= b.
    static Magnitude subtractMagnitudes(const Magnitude& a, const Magnitude& b);
    // The index of the highest set bit; -1 for zero.
    int highestBit() const;
    // Bits [from, from + 64) of the magnitude.
    std::uint64_t bitsFrom(int from) const;
    // Whether any bit below `below` is set.
    bool anyBitBelow(int below) const;

    bool negative_ = false; // never set for zero
    Magnitude magnitude_{};
};

} // namespace quorvex::cli
