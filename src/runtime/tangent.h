#pragma once

#include <cstdint>

namespace quorvex {

// pi/4 rounded to a 64-bit significand: 0xC90FDAA22168C235 * 2^-64, about
// 1.25e-20 above pi/4. The tangent reduces its argument by this constant.
inline constexpr long double tangentReduction = 0xC90FDAA22168C235p-64L;

// Arguments of magnitude 2^53 and above (and infinities, NaNs) are refused.
inline constexpr std::uint64_t tangentRefusalBits = 0x7FF8042000000000ULL;

// Tangent of a double, to extended precision, with the reference reduction:
// truncated quotient q = |x| div P, exact remainder, octant k = q mod 8,
// r = P - rem for odd k, tan(r) or its reciprocal by octant, sign from bit 1
// of k and the sign of x. Near odd multiples of pi/2 this departs from the
// true tangent (tan of the double nearest pi/2 is 2^63/565).
// Refused arguments give the quiet NaN 0x7FF8042000000000, silently.
long double tan(double x);

// The octant reduction on its own: the reduced argument r in [0, P] and the
// octant k, for |x| < 2^53. Exposed for the engine and the tests.
struct TangentReduction {
    long double reduced;
    unsigned octant;
};
TangentReduction reduceTangentArgument(double magnitude);

} // namespace quorvex
