#include "stats/power_bounds.h"

namespace quorvex::stats {

namespace {

ScaledNatural product(const ScaledNatural& a, const ScaledNatural& b) {
    return {a.mantissa * b.mantissa, a.exponent + b.exponent};
}

// Keeps the top `limbs` limbs, rounding down, or up when `up`; clears
// `exact` when a set bit is dropped.
void cut(ScaledNatural& x, std::size_t limbs, bool up, bool& exact) {
    if (x.mantissa.limbCount() <= limbs)
        return;
    const std::size_t dropped = x.mantissa.limbCount() - limbs;
    x.exponent += static_cast<std::int64_t>(64 * dropped);
    if (!x.mantissa.dropLowLimbs(dropped))
        return;
    exact = false;
    if (up)
        x.mantissa.increment();
}

// One step of both chains: low <- low * lowFactor cut down, high <- high *
// highFactor cut up. While nothing has been cut the chains are equal and
// the product is formed once.
void multiplyBoth(ScaledNatural& low, ScaledNatural& high, const ScaledNatural& lowFactor,
                  const ScaledNatural& highFactor, std::size_t limbs, bool& exact) {
    if (exact) {
        low = product(low, lowFactor);
        high = low;
    } else {
        low = product(low, lowFactor);
        high = product(high, highFactor);
    }
    cut(low, limbs, false, exact);
    cut(high, limbs, true, exact);
}

} // namespace

std::strong_ordering compareScaled(const ScaledNatural& a, const ScaledNatural& b) {
    if (a.mantissa.isZero() || b.mantissa.isZero())
        return !a.mantissa.isZero() <=> !b.mantissa.isZero();
    // 1. The positions of the highest set bits decide, unless they are equal.
    const std::int64_t topA = a.mantissa.bitLength() + a.exponent;
    const std::int64_t topB = b.mantissa.bitLength() + b.exponent;
    if (topA != topB)
        return topA <=> topB;
    // 2. Else line the mantissas up; the shift is less than either's length.
    if (a.exponent >= b.exponent)
        return a.mantissa.shiftedLeft(a.exponent - b.exponent) <=> b.mantissa;
    return a.mantissa <=> b.mantissa.shiftedLeft(b.exponent - a.exponent);
}

PowerBounds powerBounds(std::uint64_t base, std::uint64_t power, std::size_t limbs) {
    PowerBounds bounds{{NaturalNumber(1), 0}, {NaturalNumber(1), 0}, true};
    // base^(2^k), bounded the same way.
    ScaledNatural lowSquare{NaturalNumber(base), 0};
    ScaledNatural highSquare = lowSquare;
    bool squaresExact = true;
    for (std::uint64_t rest = power; rest != 0; rest >>= 1) {
        if ((rest & 1) != 0) {
            bool exact = bounds.exact && squaresExact;
            multiplyBoth(bounds.low, bounds.high, lowSquare, highSquare, limbs, exact);
            bounds.exact = exact;
        }
        if (rest > 1)
            multiplyBoth(lowSquare, highSquare, lowSquare, highSquare, limbs, squaresExact);
    }
    return bounds;
}

} // namespace quorvex::stats
