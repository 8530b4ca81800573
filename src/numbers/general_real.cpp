#include "numbers/general_real.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numbers/power_of_ten.h"

namespace quorvex {

namespace {

constexpr int defaultPrecision = 6;

constexpr std::array<std::uint64_t, maxGeneralPrecision + 1> wholePowersOfTen = [] {
    std::array<std::uint64_t, maxGeneralPrecision + 1> table{};
    std::uint64_t p = 1;
    for (auto& entry : table) {
        entry = p;
        p *= 10;
    }
    return table;
}();

// The fields of an 80-bit extended real.
struct ExtendedFields {
    bool negative;
    std::uint32_t biasedExponent; // 0 .. 0x7FFF
    std::uint64_t significand;    // with its explicit integer bit (bit 63)
};

ExtendedFields fieldsOf(long double value) {
    static_assert(sizeof(long double) >= 10, "80-bit extended reals expected");
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof value);
    std::uint64_t significand = 0;
    std::memcpy(&significand, bytes, 8);
    const std::uint32_t signExponent = std::uint32_t{bytes[8]} | (std::uint32_t{bytes[9]} << 8);
    return {(signExponent & 0x8000u) != 0, signExponent & 0x7FFFu, significand};
}

constexpr std::uint64_t integerBit = std::uint64_t{1} << 63;
constexpr int exponentBias = 16383;

std::string signedText(bool negative, const char* magnitude) {
    return std::string(negative ? "-" : "+") + magnitude;
}

// The count n of digits before the decimal point: the n with
// 10^(n-1) <= |v| < 10^n, for |v| = significand × 2^exponent with the
// significand's top bit set, decided by exact comparisons around an estimate
// from the binary exponent (off by at most one).
int decimalDigitsBeforePoint(std::uint64_t significand, int exponent) {
    constexpr double log10Of2 = 0.30102999566398119521;
    int n = static_cast<int>(std::floor((exponent + 63) * log10Of2)) + 1;
    while (compareWithPowerOfTen(significand, exponent, n) >= 0)
        ++n;
    while (compareWithPowerOfTen(significand, exponent, n - 1) < 0)
        --n;
    return n;
}

// s = |v| × 10^k for k >= 0, or |v| ÷ 10^-k otherwise, with one extended
// rounding. The operands are taken as 64-bit whole numbers and the binary
// exponents applied afterwards, exactly; this gives the rounding of the
// direct operation and never overflows for the tiniest or largest values.
long double scaled(std::uint64_t significand, int exponent, int k) {
    const long double magnitude = static_cast<long double>(significand);
    if (k >= 0) {
        const BinaryNumber power = powerOfTen(k);
        return std::ldexp(magnitude * static_cast<long double>(power.significand), exponent + power.exponent);
    }
    const BinaryNumber power = powerOfTen(-k);
    return std::ldexp(magnitude / static_cast<long double>(power.significand), exponent - power.exponent);
}

// The whole number nearest to s, halfway cases to even, independent of the
// rounding mode in force. s lies below 2^64 here.
std::uint64_t nearestWhole(long double s) {
    const auto whole = static_cast<std::uint64_t>(s);
    const long double fraction = s - static_cast<long double>(whole); // exact
    if (fraction > 0.5L || (fraction == 0.5L && (whole & 1u) != 0))
        return whole + 1;
    return whole;
}

void removeTrailingZeros(std::string& text) {
    if (text.find('.') == std::string::npos)
        return;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
}

} // namespace

int effectiveGeneralPrecision(int precision) {
    if (precision < 0)
        return defaultPrecision;
    if (precision == 0)
        return 1;
    return precision > maxGeneralPrecision ? maxGeneralPrecision : precision;
}

std::string formatGeneral(long double value, int precision) {
    const int p = effectiveGeneralPrecision(precision);
    const ExtendedFields fields = fieldsOf(value);

    // Infinities and NaNs, sign always shown. Patterns the unit refuses
    // (integer bit clear with a nonzero exponent) count as NaNs.
    if (fields.biasedExponent == 0x7FFF) {
        const bool infinite = fields.significand == integerBit;
        return signedText(fields.negative, infinite ? "INF" : "NAN");
    }
    if (fields.biasedExponent != 0 && (fields.significand & integerBit) == 0)
        return signedText(fields.negative, "NAN");

    // Zero of either sign.
    if (fields.significand == 0)
        return "0";

    // |v| = significand × 2^exponent, normalised so bit 63 is set; denormals
    // and pseudo-denormals use the smallest exponent.
    const int biased = fields.biasedExponent == 0 ? 1 : static_cast<int>(fields.biasedExponent);
    const int leading = std::countl_zero(fields.significand);
    const std::uint64_t significand = fields.significand << leading;
    const int exponent = biased - exponentBias - 63 - leading;

    // The p significant digits: |v| scaled by 10^(p - n), where n counts the
    // digits before its point, and rounded to a whole number. The scaled
    // value lies within two roundings of [10^(p-1), 10^p), so the whole
    // number has p digits unless it reaches 10^p (at most 10^p + 1): then the
    // rounding carried into a new leading digit, and v has one digit more
    // before its point.
    int n = decimalDigitsBeforePoint(significand, exponent);
    std::uint64_t digitsValue = nearestWhole(scaled(significand, exponent, p - n));
    if (digitsValue >= wholePowersOfTen[static_cast<std::size_t>(p)]) {
        digitsValue = wholePowersOfTen[static_cast<std::size_t>(p - 1)];
        ++n;
    }
    const std::string digits = std::to_string(digitsValue);

    // The exponent of v's leading digit picks the notation: positional from
    // -4 to p - 1, exponent notation beyond. A minus sign leads either.
    const int decimalExponent = n - 1;
    std::string text;
    if (fields.negative)
        text = "-";
    if (decimalExponent >= -4 && decimalExponent < p) {
        if (n >= 1) {
            text.append(digits, 0, static_cast<std::size_t>(n));
            text += '.';
            text.append(digits, static_cast<std::size_t>(n));
        } else {
            text += "0.";
            text.append(static_cast<std::size_t>(-n), '0');
            text += digits;
        }
        removeTrailingZeros(text);
        return text;
    }
    // Exponent notation, with at least two exponent digits.
    text += digits[0];
    text += '.';
    text.append(digits, 1);
    removeTrailingZeros(text);
    text += 'e';
    text += decimalExponent < 0 ? '-' : '+';
    const int magnitude = decimalExponent < 0 ? -decimalExponent : decimalExponent;
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

} // namespace quorvex
