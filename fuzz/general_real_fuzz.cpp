// Arbitrary 80-bit patterns and precisions through the report's general
// conversion. The first 10 bytes are the extended real (significand, then
// sign and exponent, little-endian as in memory); the 11th is the requested
// precision as a signed byte (negative, 0 and above 19 included).
//
// Checked for every input:
// - infinities are "+INF"/"-INF" and every other pattern with the top
//   exponent, and every pattern the unit refuses (integer bit clear under a
//   nonzero exponent), is "+NAN"/"-NAN", with the pattern's sign;
// - a finite value gives a well-formed number: optional "-", digits with at
//   most one point, optional "e", sign and at least two exponent digits; no
//   more significant digits than the effective precision; no trailing zeros
//   after a point; "0" for zeros;
// - the text reads back (strtold) to within half a unit in its last
//   significant digit of the value, plus the extended roundings of the
//   scaling and the read-back, and a subnormal's spacing at the bottom; past
//   the largest extended value only when the value rounds up there;
// - the text is printf's %.*Lg, except where the scaled value lands on a
//   halfway point the value does not reach: then the two texts are the two
//   neighbours of that point and the value lies within an extended rounding
//   of their midpoint.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numbers/general_real.h"

namespace {

[[noreturn]] void violated(const char* what, long double value, int precision, const std::string& text) {
    unsigned char bytes[10];
    std::memcpy(bytes, &value, sizeof bytes);
    std::fprintf(stderr, "%s: pattern ", what);
    for (int i = 9; i >= 0; --i)
        std::fprintf(stderr, "%02X", bytes[i]);
    std::fprintf(stderr, " (%La), precision %d, text \"%s\"\n", value, precision, text.c_str());
    std::abort();
}

// Significant digits of a well-formed finite text, or -1 when malformed.
int significantDigits(const std::string& text) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    std::string mantissa;
    bool point = false;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.') {
            if (point)
                return -1;
            point = true;
        } else if (text[i] >= '0' && text[i] <= '9') {
            mantissa += text[i];
        } else {
            return -1;
        }
    }
    if (mantissa.empty() || text[i - 1] == '.')
        return -1;
    if (point && text[i - 1] == '0')
        return -1; // a trailing zero after the point
    if (i < text.size()) {
        // "e", a sign, at least two digits, nothing else.
        if (i + 1 >= text.size())
            return -1;
        if (text[i + 1] != '+' && text[i + 1] != '-')
            return -1;
        const std::string exponent = text.substr(i + 2);
        if (exponent.size() < 2 || exponent.find_first_not_of("0123456789") != std::string::npos)
            return -1;
    }
    const std::size_t first = mantissa.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    const std::size_t last = mantissa.find_last_not_of('0');
    // Zeros before the point of a whole number are significant positions.
    const std::size_t end = point || i < text.size() ? last + 1 : mantissa.size();
    return static_cast<int>(end - first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 11)
        return 0;
    long double value = 0;
    std::memcpy(&value, data, 10);
    const int precision = static_cast<signed char>(data[10]);
    const std::string text = quorvex::formatGeneral(value, precision);

    std::uint64_t significand = 0;
    std::memcpy(&significand, data, 8);
    const unsigned exponentField = (data[8] | (data[9] << 8)) & 0x7FFFu;
    const bool negative = (data[9] & 0x80) != 0;
    const bool integerBit = (significand >> 63) != 0;
    const std::string sign = negative ? "-" : "+";

    // Infinities and NaNs, refused encodings included.
    if (exponentField == 0x7FFF || (exponentField != 0 && !integerBit)) {
        const bool infinite = exponentField == 0x7FFF && significand == std::uint64_t{1} << 63;
        if (text != sign + (infinite ? "INF" : "NAN"))
            violated("wrong text for an infinity or NaN", value, precision, text);
        return 0;
    }
    // Zeros.
    if (significand == 0) {
        if (text != "0")
            violated("a zero is not \"0\"", value, precision, text);
        return 0;
    }

    const int effective = precision < 0 ? 6 : precision == 0 ? 1 : precision > 19 ? 19 : precision;
    const int digits = significantDigits(text);
    if (digits < 1 || digits > effective)
        violated("malformed text or too many significant digits", value, precision, text);
    if ((text[0] == '-') != negative)
        violated("wrong sign", value, precision, text);

    // The value the pattern stands for; denormals and pseudo-denormals alike
    // are significand × 2^-16445.
    const int scale = exponentField == 0 ? -16445 : static_cast<int>(exponentField) - 16383 - 63;
    const long double magnitude = std::ldexp(static_cast<long double>(significand), scale);
    const long double exact = negative ? -magnitude : magnitude;

    const long double readBack = std::strtold(text.c_str(), nullptr);
    const long double unit = std::pow(10.0L, static_cast<long double>(1 - effective));
    if (std::isinf(readBack)) {
        if (!(magnitude >= LDBL_MAX * (1 - unit)))
            violated("reads back as infinite", value, precision, text);
    } else {
        const long double allowed = magnitude * (unit / 2 + 0x1p-61L) + LDBL_TRUE_MIN;
        if (!(std::fabs(readBack - exact) <= allowed))
            violated("reads back too far from the value", value, precision, text);
    }

    // printf, except on halfway points the scaling creates. Pseudo-denormals
    // are left out: the C library need not know them.
    if (exponentField == 0 && integerBit)
        return 0;
    char library[64];
    std::snprintf(library, sizeof library, "%.*Lg", effective, exact);
    if (text != library) {
        const long double mine = std::strtold(text.c_str(), nullptr);
        const long double theirs = std::strtold(library, nullptr);
        const long double midpoint = mine / 2 + theirs / 2;
        if (!(std::fabs(midpoint - exact) <= magnitude * 0x1p-62L + LDBL_TRUE_MIN))
            violated(("differs from printf (" + std::string(library) + ") away from a halfway point").c_str(),
                     value, precision, text);
    }
    return 0;
}
