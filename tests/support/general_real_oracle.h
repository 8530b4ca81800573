#pragma once

// The C library as an independent reference for the general conversion, and
// the one way the two may disagree: the conversion rounds the value scaled
// in extended precision, the library rounds the exact value, so they part
// only where the scaled value lands exactly on a halfway point that the
// exact value does not reach.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorvex::oracle {

inline std::string printfGeneral(long double value, int precision) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*Lg", precision, value);
    return text;
}

// The decimal exponent of |value| and the digits of its exact decimal
// expansion (an extended real has at most 16445 digits after the point, so
// the library's %.17000Le is exact). value must be finite and nonzero.
struct ExactDecimal {
    int exponent;       // |value| = 0.d1d2d3... × 10^(exponent + 1)
    std::string digits; // d1 d2 d3 ..., trailing zeros removed
};

inline ExactDecimal exactDecimal(long double value) {
    std::vector<char> text(17100);
    std::snprintf(text.data(), text.size(), "%.17000Le", std::fabs(value));
    std::string mantissa(text.data());
    const std::size_t e = mantissa.find('e');
    ExactDecimal exact{std::atoi(mantissa.c_str() + e + 1), ""};
    for (std::size_t i = 0; i < e; ++i)
        if (mantissa[i] != '.')
            exact.digits += mantissa[i];
    while (exact.digits.size() > 1 && exact.digits.back() == '0')
        exact.digits.pop_back();
    return exact;
}

// Whether the exact value lies exactly halfway between two numbers of
// `precision` significant digits: the digits after the first `precision`
// are a single 5.
inline bool exactlyHalfway(const ExactDecimal& exact, int precision) {
    const auto p = static_cast<std::size_t>(precision);
    return exact.digits.size() == p + 1 && exact.digits[p] == '5';
}

// 10^k as the conversion holds it: exact for 0 <= k <= 27 (every partial
// product fits 64 bits), beyond that the library's correctly rounded reading
// of "1e<k>", infinite where the extended range ends.
inline long double heldPowerOfTen(int k) {
    if (k > 27)
        return std::strtold(("1e" + std::to_string(k)).c_str(), nullptr);
    long double power = 1.0L;
    for (int i = 0; i < k; ++i)
        power *= 10.0L;
    return power;
}

// The digit count n of the scaling: |value| × 10^(precision - n) has
// `precision` digits before the point.
inline int scalingExponent(const ExactDecimal& exact, int precision) {
    return precision - (exact.exponent + 1);
}

// Whether a difference between the conversion and the library at this
// precision is of the stated kind: |value| scaled to `precision` digits
// before the point by the power of ten as held (one extended rounding) is
// exactly a whole number and a half, while the exact value is not halfway.
// Values whose power of ten lies beyond the extended range are not judged.
inline bool allowedDifference(long double value, int precision) {
    if (!std::isfinite(value) || value == 0)
        return false;
    const ExactDecimal exact = exactDecimal(value);
    const int k = scalingExponent(exact, precision);
    const long double power = heldPowerOfTen(k >= 0 ? k : -k);
    if (!std::isfinite(power))
        return false;
    const long double magnitude = std::fabs(value);
    const long double scaled = k >= 0 ? magnitude * power : magnitude / power;
    const bool scaledOnHalf = scaled - std::floor(scaled) == 0.5L;
    return scaledOnHalf && !exactlyHalfway(exact, precision);
}

// How the conversion's text for a value relates to the library's.
enum class Agreement {
    same,
    halfwayException, // the stated exception
    // Only where the power of ten is itself rounded (beyond 10^27): the
    // scaled value strays from the exact one by two roundings, so where the
    // exact value lies within that distance of a halfway point the last digit
    // may go the other way. (At 19 digits that distance reaches a unit.)
    inexactPower,
    unexplained,
};

inline Agreement compareWithLibrary(const std::string& ours, long double value, int precision) {
    if (ours == printfGeneral(value, precision))
        return Agreement::same;
    if (allowedDifference(value, precision))
        return Agreement::halfwayException;
    if (!std::isfinite(value) || value == 0)
        return Agreement::unexplained;
    const ExactDecimal exact = exactDecimal(value);
    const int k = scalingExponent(exact, precision);
    if (k >= -27 && k <= 27)
        return Agreement::unexplained;
    // The fraction the exact value leaves after `precision` digits.
    const auto p = static_cast<std::size_t>(precision);
    const std::string tail = exact.digits.size() > p ? exact.digits.substr(p, 30) : "0";
    const long double fraction = std::strtold(("0." + tail).c_str(), nullptr);
    // Two roundings of 2^-64 each, relative to a scaled value below 10^p.
    const long double reach = std::pow(10.0L, precision) * 0x1p-62L;
    return std::fabs(fraction - 0.5L) <= reach ? Agreement::inexactPower : Agreement::unexplained;
}

} // namespace quorvex::oracle
