#include "stats/aaa_draws_needed.h"

#include <cmath>
#include <compare>
#include <string>

#include "stats/extended_log.h"
#include "stats/power_bounds.h"

namespace quorvex::stats {

namespace {

constexpr std::int32_t draws = 10000000;
constexpr std::uint64_t fivePowerSeven = 78125; // 10^7 = 2^7 x 78125

} // namespace

ChanceVerdict aaaChanceByLogarithms(std::int32_t aaaDraws, std::int32_t steps, double chance) {
    if (aaaDraws <= 0)
        return ChanceVerdict::notMet;
    // Error bound. Let e = logRelativeError (2^-58) and u = 2^-64, the
    // rounding of one extended operation; L = ln(a / 10^7), L' its value here.
    //
    // 1. L' within 1.06 e |L| of L:
    //    - a >= 7.5e6: y = (10^7 - a) / 10^7 is rounded once (u y), and
    //      ln(1 - y) moves by at most u y / 0.75 <= 1.34 u |L| under it (y <=
    //      |ln(1 - y)|); FYL2XP1 adds e: 1.03 e |L| in all.
    //    - a < 7.5e6: x = a / 10^7 is rounded once, moving ln x by 1.0001 u,
    //      which is at most 3.5 u |L| as |L| >= ln(4/3) = 0.2877; FYL2X adds
    //      e: 1.06 e |L| in all.
    // 2. P' = S L' (S exact, one rounding) within 1.08 e |P'| of S L.
    // 3. G' = ln Q within 1.0001 e |G'| of ln Q.
    // 4. f' = P' - G' (one rounding) within 1.08 e |P'| + 1.0001 e |G'| +
    //    1.0001 u |f'| of f = S L - ln Q.
    // The bound 2 e (|P'| + |G'|) + 2u |f'| exceeds that even after its own
    // roundings; f' beyond it has the sign of f. With e 2^-58 the margin is
    // decided unless |f| < 2^-57 (|P'| + |G'|): between a and a + 1 the
    // margin moves by S / a, so at most one a in a search falls in the band.
    const long double l =
        aaaDraws >= 7500000
            ? naturalLogOnePlus(-static_cast<long double>(draws - aaaDraws) / static_cast<long double>(draws))
            : naturalLog(static_cast<long double>(aaaDraws) / static_cast<long double>(draws));
    const long double p = static_cast<long double>(steps) * l;
    const long double g = naturalLog(static_cast<long double>(chance));
    const long double f = p - g;
    const long double bound = 2 * logRelativeError * (std::fabs(p) + std::fabs(g)) + 0x1p-63L * std::fabs(f);
    if (f > bound)
        return ChanceVerdict::met;
    if (f < -bound)
        return ChanceVerdict::notMet;
    return ChanceVerdict::undecided;
}

ChanceVerdict aaaChanceExactly(std::int32_t aaaDraws, std::int32_t steps, double chance) {
    if (aaaDraws <= 0)
        return ChanceVerdict::notMet;
    if (aaaDraws >= draws)
        return ChanceVerdict::met; // 1 >= Q
    // 1. Q = m 2^e with m a whole number below 2^53.
    int binaryExponent = 0;
    const double fraction = std::frexp(chance, &binaryExponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const std::int64_t e = binaryExponent - 53;
    // 2. a^S against m 78125^S 2^(e + 7S), at growing precision.
    const auto power = static_cast<std::uint64_t>(steps);
    for (std::size_t limbs = 4; limbs <= 4096; limbs *= 4) {
        const PowerBounds left = powerBounds(static_cast<std::uint64_t>(aaaDraws), power, limbs);
        const PowerBounds fives = powerBounds(fivePowerSeven, power, limbs);
        const std::int64_t shift = e + 7 * static_cast<std::int64_t>(steps);
        const ScaledNatural rightLow{fives.low.mantissa * NaturalNumber(m), fives.low.exponent + shift};
        const ScaledNatural rightHigh{fives.high.mantissa * NaturalNumber(m), fives.high.exponent + shift};
        if (std::is_gteq(compareScaled(left.low, rightHigh)))
            return ChanceVerdict::met;
        if (std::is_lt(compareScaled(left.high, rightLow)))
            return ChanceVerdict::notMet;
        if (left.exact && fives.exact) // then low = high on both sides: one of the above held
            break;
    }
    return ChanceVerdict::undecided;
}

AaaDrawsNeeded aaaDrawsNeeded(std::int32_t steps, double chance) {
    // Invariant: a = low does not meet Q (0 never does, for Q > 0), a = high does.
    std::int32_t low = 0;
    std::int32_t high = draws;
    int exactChecks = 0;
    while (high - low > 1) {
        const std::int32_t middle = low + (high - low) / 2;
        ChanceVerdict verdict = aaaChanceByLogarithms(middle, steps, chance);
        if (verdict == ChanceVerdict::undecided) {
            ++exactChecks;
            verdict = aaaChanceExactly(middle, steps, chance);
        }
        if (verdict == ChanceVerdict::undecided)
            throw UndecidedChance("cannot tell whether " + std::to_string(middle) +
                                  " of 10000000 draws to the " + std::to_string(steps) +
                                  "th power meet the chance: the two agree beyond 260000 bits");
        if (verdict == ChanceVerdict::met)
            high = middle;
        else
            low = middle;
    }
    return {high, exactChecks};
}

} // namespace quorvex::stats
