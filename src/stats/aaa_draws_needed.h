#pragma once

#include <cstdint>
#include <stdexcept>

namespace quorvex::stats {

// How many of the 10^7 draw indices must keep a song AAA for a chance of an
// AAA song: with a such draws and S independent, equally likely draws per
// song, the chance is (a / 10^7)^S.

// Whether (a / 10^7)^S >= Q, or that a method cannot tell.
enum class ChanceVerdict { met, notMet, undecided };

// By extended-precision logarithms: the margin S ln(a / 10^7) - ln Q and a
// bound on its rounding error (derived in the source), undecided when the
// margin is within the bound. For 0 <= a <= 10^7, S >= 1, 0 < Q <= 1.
ChanceVerdict aaaChanceByLogarithms(std::int32_t aaaDraws, std::int32_t steps, double chance);

// Exactly, as integers: Q is a double, m 2^e, so the question is whether
// a^S >= m 78125^S 2^(e + 7S). Both sides are bounded by powers cut to 4,
// 16, 64, ... limbs until the bounds separate or nothing is cut. Always
// decided up to exactStepLimit steps, where no power outgrows the largest
// precision (4096 limbs); beyond it, undecided only when the two sides
// agree to some 2^-260000 of themselves. Cost: a few milliseconds at most
// for a decision the logarithms leave open, as those agree to about 2^-50.
inline constexpr std::int32_t exactStepLimit = 11273;
ChanceVerdict aaaChanceExactly(std::int32_t aaaDraws, std::int32_t steps, double chance);

struct AaaDrawsNeeded {
    std::int32_t aaaDraws; // a*: the least a in 1..10^7 with (a / 10^7)^S >= Q
    int exactChecks;       // comparisons the logarithms left to the exact check
};

// A comparison that neither method could decide (see aaaChanceExactly).
class UndecidedChance : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// a* for S >= 1 and 0 < Q <= 1, by bisection over a: (a / 10^7)^S grows
// with a, and a = 10^7 always meets Q. Throws UndecidedChance.
AaaDrawsNeeded aaaDrawsNeeded(std::int32_t steps, double chance);

} // namespace quorvex::stats
