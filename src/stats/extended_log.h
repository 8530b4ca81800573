#pragma once

namespace quorvex::stats {

// Natural logarithms in extended precision, formed by the x87 unit's own
// logarithm instructions as y * log2(x) with y = ln 2 rounded to 64 bits.
//
// Error: Intel documents FYL2X and FYL2XP1 as below one unit in the last
// place when rounding to nearest (Pentium and later), a relative 2^-63 at
// most; ln 2 rounded adds 2^-65. Callers budget logRelativeError, 2^-58:
// 25.6 times the documented 1.25 x 2^-63, for x87 units that document
// less. The numeric mode need not be in force: the precision control does
// not touch these instructions.
inline constexpr long double logRelativeError = 0x1p-58L;

// ln x for a finite x > 0.
long double naturalLog(long double x);

// ln(1 + x) for |x| < 1 - sqrt(2)/2 (about 0.2929), the domain of FYL2XP1,
// without forming 1 + x: a small x keeps all its bits.
long double naturalLogOnePlus(long double x);

} // namespace quorvex::stats
