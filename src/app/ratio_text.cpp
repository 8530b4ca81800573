#include "app/ratio_text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>

#include "app/option_values.h"
#include "output/number_text.h"

namespace quorvex::app {

namespace {

// mantissa x 10^exponent as text: "0.99826859999999984" (ratios from 1e-4
// on), else "9.9826859999999984e-5".
std::string decimalText(std::uint64_t mantissa, int exponent) {
    std::string digits = output::integerText(static_cast<std::int64_t>(mantissa));
    const int pointAfter = static_cast<int>(digits.size()) + exponent; // digits before the point
    // Built by appending: gcc 12 warns falsely (-Wrestrict) on "literal" + string.
    std::string text;
    if (pointAfter >= -3 && pointAfter <= 0) {
        text.append("0.").append(static_cast<std::size_t>(-pointAfter), '0').append(digits);
    } else {
        text.append(digits, 0, 1);
        if (digits.size() > 1)
            text.append(".").append(digits, 1);
        if (pointAfter != 1)
            text.append("e").append(output::integerText(pointAfter - 1));
    }
    if (text.find('.') != std::string::npos && text.find('e') == std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

} // namespace

RatioText ratioTextFor(double ratio) {
    const std::string shortest = output::shortestText(ratio);
    if (readPerfectRatio(shortest) == ratio)
        return {shortest, true};
    for (const int digits : {17, 18}) {
        // 1. The ratio to `digits` significant digits: mantissa x 10^exponent.
        std::array<char, 48> buffer{};
        char* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), ratio,
                                        std::chars_format::scientific, digits - 1)
                              .ptr;
        const std::string scientific(buffer.data(), end);
        const std::size_t e = scientific.find('e');
        const std::uint64_t mantissa =
            std::strtoull((scientific.substr(0, 1) + scientific.substr(2, e - 2)).c_str(), nullptr, 10);
        const int exponent = std::atoi(scientific.c_str() + e + 1) - (digits - 1);
        // 2. It and its neighbours, nearest first.
        for (int step = 0; step <= 40; ++step) {
            for (const int sign : {-1, 1}) {
                if (step == 0 && sign == 1)
                    continue;
                const std::uint64_t candidate = mantissa + static_cast<std::uint64_t>(sign * step);
                const std::string text = decimalText(candidate, exponent);
                if (readPerfectRatio(text) == ratio)
                    return {text, true};
            }
        }
    }
    return {shortest, false};
}

} // namespace quorvex::app
