#include "app/ratio_range.h"

#include <algorithm>

namespace quorvex::app {

namespace {

using Wide = __int128;

constexpr Wide tenToThe(int n) {
    Wide power = 1;
    for (int i = 0; i < n; ++i)
        power *= 10;
    return power;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A value of units of 10^-decimals written out, trailing zeros dropped
// ("0.95", "1", "0.0001"), or with exactly `decimals` decimals ("0.90").
std::string decimalText(Wide units, int decimals, bool keepZeros) {
    const bool negative = units < 0;
    std::string digits;
    for (Wide rest = negative ? -units : units; rest != 0 || digits.empty(); rest /= 10)
        digits += static_cast<char>('0' + static_cast<int>(rest % 10));
    const auto places = static_cast<std::size_t>(decimals);
    if (digits.size() <= places)
        digits.append(places + 1 - digits.size(), '0');
    std::reverse(digits.begin(), digits.end());
    std::string text = negative ? "-" : "";
    text += digits.substr(0, digits.size() - places);
    if (places == 0)
        return text;
    std::string fraction = digits.substr(digits.size() - places);
    if (!keepZeros)
        fraction.erase(fraction.find_last_not_of('0') + 1);
    return fraction.empty() ? text : text + "." + fraction;
}

} // namespace

std::optional<DecimalNumber> exactDecimal(std::string_view text) {
    // 1. Sign, digits with the point among them, exponent.
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    std::string digits;
    long long exponent = 0; // of the last digit
    bool point = false;
    for (; at < text.size() && (isDigit(text[at]) || (text[at] == '.' && !point)); ++at) {
        if (text[at] == '.') {
            point = true;
        } else {
            digits += text[at];
            if (point)
                --exponent;
        }
    }
    if (digits.empty())
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool exponentNegative = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            ++at;
        if (at == text.size())
            return std::nullopt;
        long long written = 0;
        for (; at < text.size() && isDigit(text[at]); ++at)
            written = std::min(written * 10 + (text[at] - '0'), 1000000LL); // far beyond any use
        exponent += exponentNegative ? -written : written;
    }
    if (at != text.size())
        return std::nullopt;

    // 2. Leading zeros say nothing; trailing zeros move into the exponent.
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (digits.empty())
        return DecimalNumber{0, 0};

    // 3. units / 10^decimals, within the bounds.
    const long long decimals = std::max(0LL, -exponent);
    const long long integerDigits = static_cast<long long>(digits.size()) + exponent;
    if (decimals > mostRangeDecimals || integerDigits > 7)
        return std::nullopt;
    Wide units = 0;
    for (const char c : digits)
        units = units * 10 + (c - '0');
    if (exponent > 0)
        units *= tenToThe(static_cast<int>(exponent));
    return DecimalNumber{negative ? -units : units, static_cast<int>(decimals)};
}

RangePoints expandRange(const RangeTexts& range, std::size_t limit) {
    RangePoints result;
    // 1. The three numbers in units of 10^-decimals, the finest of theirs.
    const std::optional<DecimalNumber> start = exactDecimal(range.start);
    const std::optional<DecimalNumber> stop = exactDecimal(range.stop);
    const std::optional<DecimalNumber> step = exactDecimal(range.step);
    if (!start || !stop || !step) {
        result.fault = RangeFault::tooFine;
        return result;
    }
    const int decimals = std::max({start->decimals, stop->decimals, step->decimals});
    const auto scaled = [decimals](const DecimalNumber& x) {
        return x.units * tenToThe(decimals - x.decimals);
    };
    const Wide a = scaled(*start), b = scaled(*stop), s = scaled(*step);

    // 2. The step: not 0, not beyond 1, towards B.
    if (s == 0) {
        result.fault = RangeFault::zeroStep;
        return result;
    }
    if (s > tenToThe(decimals) || -s > tenToThe(decimals)) {
        result.fault = RangeFault::stepBeyondOne;
        return result;
    }
    if (b != a && (b > a) != (s > 0)) {
        result.fault = RangeFault::stepAwayFromB;
        return result;
    }

    // 3. Whole steps that do not pass B; B is reached when none is left over.
    const Wide span = b > a ? b - a : a - b;
    const Wide stride = s > 0 ? s : -s;
    const Wide steps = span / stride;
    const bool reachesB = span % stride == 0;
    if (steps >= static_cast<Wide>(limit)) {
        result.fault = RangeFault::tooManyPoints;
        return result;
    }

    // 4. The points, A and B as written.
    const auto count = static_cast<std::size_t>(steps) + 1;
    result.points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Wide units = a + static_cast<Wide>(i) * s;
        std::string text = i == 0                       ? std::string(range.start)
                           : i + 1 == count && reachesB ? std::string(range.stop)
                                                        : decimalText(units, decimals, false);
        result.points.push_back({std::move(text), decimalText(units, decimals, true)});
    }
    return result;
}

} // namespace quorvex::app
