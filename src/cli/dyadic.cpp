#include "cli/dyadic.h"

#include <bit>

namespace quorvex::cli {

namespace {

constexpr int significandBits = 52; // stored; the leading 1 of a normal double is implicit
constexpr std::uint64_t fractionMask = (std::uint64_t{1} << significandBits) - 1;
constexpr std::uint64_t exponentMask = 0x7FF;
constexpr std::uint64_t signBit = std::uint64_t{1} << 63;

} // namespace

Dyadic Dyadic::of(double x) {
    // x = (2^52 + f) 2^(E - 1075) for a biased exponent E >= 1, f 2^-1074
    // for E = 0: in units of 2^-1074 the significand shifted by E - 1.
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const auto biased = static_cast<int>((bits >> significandBits) & exponentMask);
    const std::uint64_t fraction = bits & fractionMask;
    Dyadic value;
    const std::uint64_t significand = biased == 0 ? fraction : fraction | (fractionMask + 1);
    const int shift = biased == 0 ? 0 : biased - 1;
    const auto word = static_cast<std::size_t>(shift / 64);
    const int offset = shift % 64;
    value.magnitude_[word] = significand << offset;
    if (offset != 0)
        value.magnitude_[word + 1] = significand >> (64 - offset);
    value.negative_ = (bits & signBit) != 0 && !value.isZero();
    return value;
}

Dyadic Dyadic::unitInLastPlace(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const auto biased = static_cast<int>((bits >> significandBits) & exponentMask);
    const int shift = biased == 0 ? 0 : biased - 1;
    Dyadic unit;
    unit.magnitude_[static_cast<std::size_t>(shift / 64)] = std::uint64_t{1} << (shift % 64);
    return unit;
}

bool Dyadic::isZero() const {
    for (const std::uint64_t word : magnitude_)
        if (word != 0)
            return false;
    return true;
}

Dyadic Dyadic::magnitude() const {
    Dyadic value = *this;
    value.negative_ = false;
    return value;
}

std::strong_ordering Dyadic::compareMagnitudes(const Magnitude& a, const Magnitude& b) {
    for (std::size_t i = words; i-- > 0;)
        if (a[i] != b[i])
            return a[i] <=> b[i];
    return std::strong_ordering::equal;
}

Dyadic::Magnitude Dyadic::addMagnitudes(const Magnitude& a, const Magnitude& b) {
    Magnitude sum{};
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < words; ++i) {
        const std::uint64_t partial = a[i] + carry;
        const std::uint64_t carried = partial < carry ? 1 : 0;
        sum[i] = partial + b[i];
        carry = carried + (sum[i] < partial ? 1 : 0);
    }
    return sum;
}

Dyadic::Magnitude Dyadic::subtractMagnitudes(const Magnitude& a, const Magnitude& b) {
    Magnitude difference{};
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < words; ++i) {
        const std::uint64_t subtrahend = b[i] + borrow;
        const std::uint64_t borrowed = subtrahend < borrow ? 1 : 0; // b[i] + 1 wrapped to 0
        difference[i] = a[i] - subtrahend;
        borrow = borrowed + (a[i] < subtrahend ? 1 : 0);
    }
    return difference;
}

Dyadic Dyadic::operator+(const Dyadic& other) const {
    Dyadic sum;
    if (negative_ == other.negative_) {
        sum.magnitude_ = addMagnitudes(magnitude_, other.magnitude_);
        sum.negative_ = negative_;
    } else if (compareMagnitudes(magnitude_, other.magnitude_) >= 0) {
        sum.magnitude_ = subtractMagnitudes(magnitude_, other.magnitude_);
        sum.negative_ = negative_;
    } else {
        sum.magnitude_ = subtractMagnitudes(other.magnitude_, magnitude_);
        sum.negative_ = other.negative_;
    }
    if (sum.isZero())
        sum.negative_ = false;
    return sum;
}

Dyadic Dyadic::operator-(const Dyadic& other) const {
    Dyadic negated = other;
    negated.negative_ = !other.negative_ && !other.isZero();
    return *this + negated;
}

Dyadic Dyadic::times(std::uint32_t factor) const {
    Dyadic product;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < words; ++i) {
        // 64 x 32 bits as two 32 x 32-bit products; the carry stays below 2^32.
        const std::uint64_t low = (magnitude_[i] & 0xFFFFFFFFU) * factor + carry;
        const std::uint64_t high = (magnitude_[i] >> 32) * factor + (low >> 32);
        product.magnitude_[i] = (low & 0xFFFFFFFFU) | (high << 32);
        carry = high >> 32;
    }
    product.negative_ = negative_ && !product.isZero();
    return product;
}

int Dyadic::highestBit() const {
    for (std::size_t i = words; i-- > 0;)
        if (magnitude_[i] != 0)
            return static_cast<int>(i) * 64 + 63 - std::countl_zero(magnitude_[i]);
    return -1;
}

std::uint64_t Dyadic::bitsFrom(int from) const {
    const auto word = static_cast<std::size_t>(from / 64);
    const int offset = from % 64;
    std::uint64_t bits = magnitude_[word] >> offset;
    if (offset != 0 && word + 1 < words)
        bits |= magnitude_[word + 1] << (64 - offset);
    return bits;
}

bool Dyadic::anyBitBelow(int below) const {
    const auto word = static_cast<std::size_t>(below / 64);
    for (std::size_t i = 0; i < word; ++i)
        if (magnitude_[i] != 0)
            return true;
    const int offset = below % 64;
    return offset != 0 && (magnitude_[word] & ((std::uint64_t{1} << offset) - 1)) != 0;
}

double Dyadic::rounded() const {
    // The double is assembled from its bits: in units of 2^-1074 a value
    // below 2^53 has the bit pattern of its own integer (subnormals and the
    // least normal binade), and above that the biased exponent is the shift
    // of the 53-bit significand plus 1.
    const std::uint64_t sign = negative_ ? signBit : 0;
    const int top = highestBit();
    // 1. Up to 53 bits: exact.
    if (top <= significandBits)
        return std::bit_cast<double>(sign | bitsFrom(0));
    // 2. The 53 leading bits, the first bit below them and whether any bit
    //    below that is set.
    int shift = top - significandBits;
    std::uint64_t significand = bitsFrom(shift) & ((fractionMask << 1) | 1);
    const bool half = (bitsFrom(shift - 1) & 1) != 0;
    const bool beyondHalf = anyBitBelow(shift - 1);
    // 3. To nearest, ties to even; a carry out of the 53 bits moves up a binade.
    if (half && (beyondHalf || (significand & 1) != 0)) {
        ++significand;
        if (significand >> (significandBits + 1) != 0) {
            significand >>= 1;
            ++shift;
        }
    }
    // 4. Beyond the largest double: infinity.
    const auto biased = static_cast<std::uint64_t>(shift) + 1;
    if (biased >= exponentMask)
        return std::bit_cast<double>(sign | (exponentMask << significandBits));
    return std::bit_cast<double>(sign | (biased << significandBits) | (significand & fractionMask));
}

std::strong_ordering Dyadic::operator<=>(const Dyadic& other) const {
    if (negative_ != other.negative_)
        return negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
    const std::strong_ordering magnitudes = compareMagnitudes(magnitude_, other.magnitude_);
    return negative_ ? 0 <=> magnitudes : magnitudes;
}

} // namespace quorvex::cli
