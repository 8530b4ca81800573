#include "numbers/power_of_ten.h"

#include <bit>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace quorvex {

namespace {

// Powers of five that fit a significand: 5^27 < 2^64 <= 5^28.
constexpr std::int32_t largestExactFivePower = 27;

constexpr std::uint64_t fivePower(std::int32_t k) {
    std::uint64_t p = 1;
    for (std::int32_t i = 0; i < k; ++i)
        p *= 5;
    return p;
}

// An unbounded natural number, little-endian 32-bit limbs; only what the
// exact comparisons and roundings below need.
class Natural {
  public:
    explicit Natural(std::uint64_t value) {
        limbs_.push_back(static_cast<std::uint32_t>(value));
        limbs_.push_back(static_cast<std::uint32_t>(value >> 32));
        trim();
    }

    void multiplyBy(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        trim();
    }

    void multiplyByWide(std::uint64_t factor) {
        unsigned __int128 carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const unsigned __int128 product = static_cast<unsigned __int128>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        for (; carry != 0; carry >>= 32)
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        trim();
    }

    void shiftLeft(std::int32_t bits) {
        if (limbs_.empty() || bits == 0)
            return;
        const std::size_t whole = static_cast<std::size_t>(bits / 32);
        const std::int32_t part = bits % 32;
        if (part != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - part);
                limb = (limb << part) | carry;
                carry = next;
            }
            if (carry != 0)
                limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), whole, 0);
    }

    std::int32_t bitLength() const {
        if (limbs_.empty())
            return 0;
        return static_cast<std::int32_t>(32 * limbs_.size()) - std::countl_zero(limbs_.back());
    }

    bool bit(std::int32_t i) const {
        if (i < 0 || i >= bitLength())
            return false;
        return ((limbs_[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u) != 0;
    }

    // Whether any of bits 0..i-1 is set.
    bool anyBitBelow(std::int32_t i) const {
        for (std::int32_t limb = 0; limb < static_cast<std::int32_t>(limbs_.size()); ++limb) {
            if (32 * limb >= i)
                return false;
            std::uint32_t word = limbs_[static_cast<std::size_t>(limb)];
            const std::int32_t available = i - 32 * limb;
            if (available < 32)
                word &= (1u << available) - 1u;
            if (word != 0)
                return true;
        }
        return false;
    }

    // Bits i..i+63 as a number (bits beyond the top read as 0).
    std::uint64_t bitsFrom(std::int32_t i) const {
        std::uint64_t result = 0;
        for (std::int32_t b = 63; b >= 0; --b)
            result = (result << 1) | (bit(i + b) ? 1u : 0u);
        return result;
    }

    friend int compare(const Natural& a, const Natural& b) {
        if (a.limbs_.size() != b.limbs_.size())
            return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t i = a.limbs_.size(); i-- > 0;)
            if (a.limbs_[i] != b.limbs_[i])
                return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        return 0;
    }

  private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }

    std::vector<std::uint32_t> limbs_;
};

// 5^k as a natural number. The powers met so far are kept, each formed from
// the one before by a single multiplication by 5: without them every
// conversion of a value near the ends of the extended range multiplied its
// way up to 5^4950 afresh, several times, a millisecond a value.
Natural fivePowerNatural(std::int32_t k) {
    static std::mutex guard;
    static std::deque<Natural> powers{Natural(1)};
    const std::lock_guard<std::mutex> lock(guard);
    while (static_cast<std::int32_t>(powers.size()) <= k) {
        Natural next = powers.back();
        next.multiplyBy(5);
        powers.push_back(std::move(next));
    }
    return powers[static_cast<std::size_t>(k)];
}

std::int32_t bitLength(unsigned __int128 x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    if (high != 0)
        return 128 - std::countl_zero(high);
    return 64 - std::countl_zero(static_cast<std::uint64_t>(x));
}

int sign(int c) {
    return (c > 0) - (c < 0);
}

void checkRange(std::int32_t k, std::int32_t low) {
    if (k < low || k > powerOfTenLimit)
        throw std::out_of_range("power of ten out of range");
}

} // namespace

BinaryNumber powerOfTen(std::int32_t k) {
    checkRange(k, 0);
    // 10^k = 5^k × 2^k: only the power of five needs rounding.
    if (k <= largestExactFivePower) {
        const std::uint64_t five = fivePower(k);
        const std::int32_t shift = std::countl_zero(five);
        return {five << shift, k - shift};
    }
    const Natural five = fivePowerNatural(k);
    // The top 64 bits, then the bit below them and whether anything follows:
    // nearest, halfway cases to the even significand.
    const std::int32_t low = five.bitLength() - 64;
    std::uint64_t significand = five.bitsFrom(low);
    std::int32_t exponent = low + k;
    const bool roundBit = five.bit(low - 1);
    const bool sticky = five.anyBitBelow(low - 1);
    if (roundBit && (sticky || (significand & 1u) != 0)) {
        ++significand;
        if (significand == 0) { // carried out of the top: 2^64
            significand = std::uint64_t{1} << 63;
            ++exponent;
        }
    }
    return {significand, exponent};
}

int compareWithPowerOfTen(std::uint64_t significand, std::int32_t exponent, std::int32_t j) {
    checkRange(j < 0 ? -j : j, 0);
    if (significand == 0)
        throw std::out_of_range("significand 0");
    // significand × 2^exponent against 5^j × 2^j, rewritten over naturals:
    // left = significand × 5^max(0,-j), right = 5^max(0,j),
    // compare left × 2^shift with right.
    const std::int32_t leftFives = j < 0 ? -j : 0;
    const std::int32_t rightFives = j > 0 ? j : 0;
    // Exponents of extended reals and |j| <= powerOfTenLimit keep this far
    // from overflow.
    const std::int64_t shift = std::int64_t{exponent} - j;

    if (leftFives <= largestExactFivePower && rightFives <= largestExactFivePower) {
        // Everything fits 128 bits: left < 2^64 × 5^27 < 2^127, right < 2^63.
        unsigned __int128 left = static_cast<unsigned __int128>(significand) * fivePower(leftFives);
        unsigned __int128 right = fivePower(rightFives);
        const std::int64_t leftBits = bitLength(left) + shift;
        const std::int64_t rightBits = bitLength(right);
        if (leftBits != rightBits)
            return leftBits < rightBits ? -1 : 1;
        // Equal lengths: the shifted side has at most 127 bits.
        if (shift >= 0)
            left <<= shift;
        else
            right <<= -shift;
        return left < right ? -1 : (left > right ? 1 : 0);
    }

    Natural left = fivePowerNatural(leftFives);
    left.multiplyByWide(significand);
    Natural right = fivePowerNatural(rightFives);
    const std::int64_t leftBits = left.bitLength() + shift;
    const std::int64_t rightBits = right.bitLength();
    if (leftBits != rightBits)
        return leftBits < rightBits ? -1 : 1;
    if (shift >= 0)
        left.shiftLeft(static_cast<std::int32_t>(shift));
    else
        right.shiftLeft(static_cast<std::int32_t>(-shift));
    return sign(compare(left, right));
}

} // namespace quorvex
