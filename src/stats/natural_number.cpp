#include "stats/natural_number.h"

#include <bit>

namespace quorvex::stats {

NaturalNumber::NaturalNumber(std::uint64_t value) {
    if (value != 0)
        limbs_.push_back(value);
}

std::int64_t NaturalNumber::bitLength() const {
    if (limbs_.empty())
        return 0;
    return static_cast<std::int64_t>(64 * limbs_.size()) - std::countl_zero(limbs_.back());
}

NaturalNumber operator*(const NaturalNumber& a, const NaturalNumber& b) {
    NaturalNumber product;
    if (a.isZero() || b.isZero())
        return product;
    product.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
        unsigned __int128 carry = 0;
        for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
            // At most (2^64 - 1)^2 + 2 (2^64 - 1) = 2^128 - 1: no overflow.
            const unsigned __int128 sum =
                static_cast<unsigned __int128>(a.limbs_[i]) * b.limbs_[j] + product.limbs_[i + j] + carry;
            product.limbs_[i + j] = static_cast<std::uint64_t>(sum);
            carry = sum >> 64;
        }
        product.limbs_[i + b.limbs_.size()] = static_cast<std::uint64_t>(carry);
    }
    product.trim();
    return product;
}

NaturalNumber NaturalNumber::shiftedLeft(std::int64_t bits) const {
    NaturalNumber shifted;
    if (isZero())
        return shifted;
    const auto whole = static_cast<std::size_t>(bits / 64);
    const auto part = static_cast<unsigned>(bits % 64);
    shifted.limbs_.assign(whole + limbs_.size() + 1, 0);
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        shifted.limbs_[whole + i] |= limbs_[i] << part;
        if (part != 0)
            shifted.limbs_[whole + i + 1] = limbs_[i] >> (64 - part);
    }
    shifted.trim();
    return shifted;
}

bool NaturalNumber::dropLowLimbs(std::size_t count) {
    if (count >= limbs_.size())
        count = limbs_.size();
    bool inexact = false;
    for (std::size_t i = 0; i < count; ++i)
        inexact = inexact || limbs_[i] != 0;
    limbs_.erase(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(count));
    return inexact;
}

void NaturalNumber::increment() {
    for (std::uint64_t& limb : limbs_)
        if (++limb != 0)
            return;
    limbs_.push_back(1);
}

std::strong_ordering operator<=>(const NaturalNumber& a, const NaturalNumber& b) {
    if (a.limbs_.size() != b.limbs_.size())
        return a.limbs_.size() <=> b.limbs_.size();
    for (std::size_t i = a.limbs_.size(); i-- > 0;)
        if (a.limbs_[i] != b.limbs_[i])
            return a.limbs_[i] <=> b.limbs_[i];
    return std::strong_ordering::equal;
}

void NaturalNumber::trim() {
    while (!limbs_.empty() && limbs_.back() == 0)
        limbs_.pop_back();
}

} // namespace quorvex::stats
