#pragma once

#include <string>

namespace quorvex {

// The significant digits the conversion can produce: an extended real holds
// about 19.3 decimal digits, and with at most 19 the scaled value always
// rounds to exactly that many digits (10^19 < 2^64).
inline constexpr int maxGeneralPrecision = 19;

// The precision actually used for a requested one: negative acts as 6 (the
// default), 0 as 1, above maxGeneralPrecision as maxGeneralPrecision.
int effectiveGeneralPrecision(int precision);

// The report's general conversion of an extended real with `precision`
// significant digits: positional for decimal exponents -4 to precision - 1,
// otherwise d.ddde+XX; trailing zeros and a bare point removed; zero of
// either sign as "0"; "+INF", "-INF", "+NAN", "-NAN" with their sign always
// shown. The magnitude is scaled into precision digits by one extended
// multiplication or division by 10^k (exact up to 10^27, correctly rounded
// beyond) and the scaled value is rounded to a whole number, halfway cases to
// even. That agrees with printf's %.*Lg except where the scaled value lands
// exactly on a halfway point that the value itself does not reach.
//
// Defined for every 80-bit pattern: the encodings the floating-point unit
// refuses as operands (unnormals, pseudo-infinities, pseudo-NaNs) are
// written as NaNs; pseudo-denormals are read by their value. Extended
// arithmetic in the process's numeric mode (64-bit significand, nearest) is
// assumed. Never loops, never fails.
std::string formatGeneral(long double value, int precision);

} // namespace quorvex
