#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvex::stats {

// A natural number of any size: just what exact comparisons of powers need
// (products, shifts, ordering, dropping low limbs). Kept in 64-bit limbs,
// lowest first, with no zero limb at the top; zero has no limbs.
class NaturalNumber {
  public:
    NaturalNumber() = default;
    explicit NaturalNumber(std::uint64_t value);

    bool isZero() const { return limbs_.empty(); }
    std::size_t limbCount() const { return limbs_.size(); }
    const std::vector<std::uint64_t>& limbs() const { return limbs_; }
    // Bits up to and including the highest set one; 0 for zero.
    std::int64_t bitLength() const;

    // Schoolbook product: O(n m) limb products, enough for a few thousand limbs.
    friend NaturalNumber operator*(const NaturalNumber& a, const NaturalNumber& b);
    NaturalNumber shiftedLeft(std::int64_t bits) const;

    // Removes the lowest `count` limbs (all, when there are fewer) and tells
    // whether any of them was non-zero: the number becomes floor(n / 2^(64 count)).
    bool dropLowLimbs(std::size_t count);
    // Adds 1.
    void increment();

    friend bool operator==(const NaturalNumber&, const NaturalNumber&) = default;
    friend std::strong_ordering operator<=>(const NaturalNumber& a, const NaturalNumber& b);

  private:
    void trim();
    std::vector<std::uint64_t> limbs_;
};

} // namespace quorvex::stats
