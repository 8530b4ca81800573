#include "runtime/tangent.h"

#include <bit>
#include <cmath>

namespace quorvex {

namespace {

// x87 partial remainder: rem = a - q*P with q truncated, exact. The status word
// carries the low three quotient bits in C0 (q2), C3 (q1) and C1 (q0), and C2
// set while the reduction is incomplete (never for |a| < 2^53, but looped on
// anyway).
struct PartialRemainder {
    long double remainder;
    unsigned quotientLow3;
};

PartialRemainder partialRemainder(long double a, long double divisor) {
    long double rem = a;
    unsigned short status = 0;
    do { // NOLINT(bugprone-infinite-loop): the instruction writes the status word
        asm("fprem\n\t"
            "fnstsw %1"
            : "+t"(rem), "=a"(status)
            : "u"(divisor));
    } while (status & 0x0400);
    const unsigned q0 = (status >> 9) & 1;  // C1
    const unsigned q1 = (status >> 14) & 1; // C3
    const unsigned q2 = (status >> 8) & 1;  // C0
    return {rem, q0 | (q1 << 1) | (q2 << 2)};
}

// The partial-tangent instruction on [0, P]. It pushes 1.0 above the result;
// both stack slots are declared as outputs so the compiler leaves room.
long double partialTangent(long double r) {
    long double one, result;
    asm("fptan" : "=t"(one), "=u"(result) : "0"(r));
    (void)one;
    return result;
}

} // namespace

TangentReduction reduceTangentArgument(double magnitude) {
    const PartialRemainder pr = partialRemainder(magnitude, tangentReduction);
    const unsigned k = pr.quotientLow3;
    const long double r = (k & 1) ? tangentReduction - pr.remainder : pr.remainder;
    return {r, k};
}

long double tan(double x) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    // Refused: exponent field 0x434 or more, that is |x| >= 2^53, infinities
    // and NaNs.
    if (((bits >> 52) & 0x7FF) >= 0x434)
        return std::bit_cast<double>(tangentRefusalBits);
    // Zeros keep their sign.
    if (x == 0.0)
        return x;
    // Reduce |x| by P, folding the odd octants onto the even ones.
    const TangentReduction red = reduceTangentArgument(std::fabs(x));
    // tan(r), or its reciprocal in octants 1 and 2 (mod 4).
    const long double t = partialTangent(red.reduced);
    const unsigned k4 = red.octant & 3;
    const long double magnitude = (k4 == 1 || k4 == 2) ? 1.0L / t : t;
    // The sign: negative when bit 1 of the octant differs from the sign of x.
    const bool negative = (((red.octant >> 1) & 1) != 0) != std::signbit(x);
    return negative ? -magnitude : magnitude;
}

} // namespace quorvex
