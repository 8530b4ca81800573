#include "app/option_values.h"

#include <algorithm>
#include <string>

#include "runtime/input_stream.h"
#include "runtime/typed_reading.h"

namespace quorvex::app {

std::optional<std::int64_t> readWholeNumber(std::string_view text, std::int64_t low, std::int64_t high) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        // Past `high` the value can only grow: stop before it could overflow.
        value = value * 10 + (c - '0');
        if (value > high)
            return std::nullopt;
    }
    if (value < low)
        return std::nullopt;
    return value;
}

std::optional<double> readRealNumber(std::string_view text) {
    // 1. The reader would skip leading white space and stop at trailing
    //    text; neither belongs to a number given as an argument.
    if (text.empty() || text.front() == ' ' || (text.front() >= '\t' && text.front() <= '\r'))
        return std::nullopt;
    // 2. Read as the dialogue reads, then demand that nothing is left over.
    istream in(text);
    double value = 0.0;
    readReal(in, value);
    if (in.inError() || in.peek() != istream::endOfInput)
        return std::nullopt;
    return value;
}

std::optional<double> readPerfectRatio(std::string_view text) {
    const std::optional<double> ratio = readRealNumber(text);
    // The domain; NaN fails both comparisons.
    if (!ratio || !(*ratio > 0.0 && *ratio <= 1.0))
        return std::nullopt;
    return ratio;
}

std::optional<std::vector<std::int32_t>> readScoreList(std::string_view text) {
    std::vector<std::int32_t> scores;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<std::int64_t> score = readWholeNumber(text.substr(0, comma), 0, 1000);
        if (!score)
            return std::nullopt;
        const auto value = static_cast<std::int32_t>(*score);
        if (std::find(scores.begin(), scores.end(), value) == scores.end())
            scores.push_back(value);
        if (comma == std::string_view::npos)
            return scores;
        text.remove_prefix(comma + 1);
    }
}

} // namespace quorvex::app
