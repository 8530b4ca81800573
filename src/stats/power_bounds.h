#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

#include "stats/natural_number.h"

namespace quorvex::stats {

// The number mantissa x 2^exponent.
struct ScaledNatural {
    NaturalNumber mantissa;
    std::int64_t exponent = 0;
};

// Exact order of two scaled naturals.
std::strong_ordering compareScaled(const ScaledNatural& a, const ScaledNatural& b);

// Bounds low <= base^power <= high, formed by repeated squaring with every
// product longer than `limbs` limbs cut to its top `limbs` limbs: rounded
// down on the way to `low`, up on the way to `high`. Each cut moves a value
// by less than 2^(-64 (limbs - 1)) of itself, and the squarings after it
// raise that to the power still to come, so both bounds lie within about
// 2 x power x 2^(-64 (limbs - 1)) of base^power, relative. `exact` says that
// no cut dropped a set bit, and then low = high = base^power.
struct PowerBounds {
    ScaledNatural low;
    ScaledNatural high;
    bool exact = false;
};
PowerBounds powerBounds(std::uint64_t base, std::uint64_t power, std::size_t limbs);

} // namespace quorvex::stats
