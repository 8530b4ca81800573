#pragma once

#include <cstdint>

#include "runtime/input_stream.h"

namespace quorvex {

// Reading of typed values by the console's own extraction rules. Each read
// takes the stream and returns it; none reports failure other than through
// the stream state, and none ever clears it.
//
// Every read starts with the prefix step: a stream with any state bit set
// gains failure and nothing else happens (nothing consumed, nothing flushed,
// target untouched); otherwise the tied output stream is flushed, and leading
// white space (bytes 0x09-0x0D and 0x20, nothing else) is skipped when the
// skip-white-space flag is set; input ending there sets end-of-file and
// failure and leaves the target untouched.

// A 32-bit integer: optional sign, base from the prefix ("0x"/"0X"
// hexadecimal, a leading "0" octal, else decimal) unless a base flag is set,
// digits accumulated modulo 2^32, no range test. The target is written
// whenever the prefix step succeeded, with 0 when no digit was found.
istream& readLong(istream& in, std::int32_t& target);

// As readLong, but the target is written only if the stream is not in error
// afterwards.
istream& readInt(istream& in, std::int32_t& target);

// A double by digit accumulation: sign, integer and fraction digits, optional
// exponent (capped at 3080, the decimal exponent limited to +-30800), then
// range tests and scaling by powers of ten formed by repeated squaring. Every
// multiply-add, product and quotient is formed in extended precision and
// rounded to a double when stored. The target is written whenever the prefix
// step succeeded (0.0 when no digit was found); a value out of range gives
// +-infinity or 0.0 and leaves the state unchanged. Digits beyond the double
// range saturate to infinity.
istream& readReal(istream& in, double& target);

} // namespace quorvex
