#include "numbers/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quorvex {

namespace {

// Large enough for any double in fixed form with up to 30 decimals.
using Buffer = std::array<char, 400>;

} // namespace

std::string shortestText(double x) {
    Buffer buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x);
    return {buffer.data(), result.ptr};
}

std::string integerText(std::int64_t n) {
    Buffer buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n);
    return {buffer.data(), result.ptr};
}

std::string countedText(std::int64_t n, std::string_view one, std::string_view many) {
    return integerText(n).append(" ").append(n == 1 ? one : many);
}

std::string secondsText(double seconds) {
    const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(seconds))), 0, 9);
    return fixedText(seconds, decimals) + " s";
}

std::string fixedText(double x, int decimals) {
    Buffer buffer;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    // A negative value that rounds to zero reads as zero.
    if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string trimmedText(double x, int maxDecimals) {
    std::string text = fixedText(x, maxDecimals);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::string scientificText(double x, int significant) {
    Buffer buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                      std::chars_format::scientific, significant - 1);
    std::string text(buffer.data(), result.ptr);
    // "1.0e+09" -> "1.0e9", "2.5e-07" -> "2.5e-7".
    const std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text; // inf, nan
    int exponent = 0;
    const char* digits = text.data() + e + 1;
    if (*digits == '+')
        ++digits;
    std::from_chars(digits, text.data() + text.size(), exponent);
    text.erase(e + 1);
    return text.append(integerText(exponent));
}

int decimalsForSpread(double spread) {
    if (!(spread > 0) || !std::isfinite(spread))
        return 0;
    // 1. The place of the leading digit, from the value as it will be
    //    written to one significant digit (0.096 is written 0.1).
    const std::string leading = scientificText(spread, 1);
    int exponent = 0;
    std::from_chars(leading.data() + leading.find('e') + 1, leading.data() + leading.size(), exponent);
    // 2. One digit from there, two when the leading digit is 1 or 2.
    const int digits = leading.front() <= '2' ? 2 : 1;
    const int decimals = digits - 1 - exponent;
    return decimals < 0 ? 0 : decimals;
}

} // namespace quorvex
