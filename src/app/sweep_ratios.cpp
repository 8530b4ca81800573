#include "app/sweep_ratios.h"

#include <cmath>
#include <optional>

#include "app/option_reader.h"
#include "app/option_values.h"
#include "app/ratio_range.h"
#include "app/usage_error.h"

namespace quorvex::app {

namespace {

[[noreturn]] void refuse(std::string_view text, const std::string& problem) {
    throw UsageError("--perfect " + quoteForMessage(text) + problem, "perfect");
}

std::vector<SweepRatio> readList(std::string_view text) {
    std::vector<SweepRatio> ratios;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        const std::optional<double> ratio = readPerfectRatio(piece);
        if (!ratio && comma == std::string_view::npos && ratios.empty())
            refuse(text, std::string(" is not ") + sweepRatiosDomain);
        if (!ratio)
            refuse(text, ": " + quoteForMessage(piece) + " is not a ratio in (0, 1]");
        if (ratios.size() == sweepRatioLimit)
            refuse(text, " holds more than " + std::to_string(sweepRatioLimit) +
                             " ratios; at most that many in one sweep");
        ratios.push_back({*ratio, std::string(piece), std::string(piece)});
        if (comma == std::string_view::npos)
            return ratios;
        rest.remove_prefix(comma + 1);
    }
}

std::vector<SweepRatio> readRange(std::string_view text, std::size_t firstColon, std::size_t secondColon) {
    // 1. The three numbers.
    const std::string_view startText = text.substr(0, firstColon);
    const std::string_view stopText = text.substr(firstColon + 1, secondColon - firstColon - 1);
    const std::string_view stepText = text.substr(secondColon + 1);
    const std::optional<double> start = readPerfectRatio(startText);
    if (!start)
        refuse(text, ": the start " + quoteForMessage(startText) + " is not a ratio in (0, 1]");
    const std::optional<double> stop = readPerfectRatio(stopText);
    if (!stop)
        refuse(text, ": the end " + quoteForMessage(stopText) + " is not a ratio in (0, 1]");
    const std::optional<double> step = readRealNumber(stepText);
    if (!step || !std::isfinite(*step))
        refuse(text, ": the step " + quoteForMessage(stepText) + " is not a number");
    if (std::abs(*step) > 1)
        refuse(text, ": the step " + std::string(stepText) + " is larger than 1, the widest range of ratios");

    // 2. The points, or what is wrong with the range.
    const RangePoints range = expandRange({startText, stopText, stepText}, sweepRatioLimit);
    switch (range.fault) {
    case RangeFault::none:
        break;
    case RangeFault::zeroStep:
        refuse(text, ": the step is 0; it must lead from the start to the end");
    case RangeFault::stepAwayFromB:
        refuse(text, ": the step " + std::string(stepText) + " leads away from the end " +
                         std::string(stopText) + "; give it the other sign");
    case RangeFault::stepBeyondOne:
        refuse(text, ": the step " + std::string(stepText) + " is larger than 1, the widest range of ratios");
    case RangeFault::tooFine:
        refuse(text, ": its numbers need more than " + std::to_string(mostRangeDecimals) + " decimals");
    case RangeFault::tooManyPoints:
        refuse(text, " gives more than " + std::to_string(sweepRatioLimit) +
                         " ratios; at most that many in one sweep");
    }

    // 3. Each point read as simulate reads its --perfect, and every one a
    //    new double, moving the step's way.
    std::vector<SweepRatio> ratios;
    ratios.reserve(range.points.size());
    for (const RangePoint& point : range.points) {
        const std::optional<double> ratio = readPerfectRatio(point.text);
        const bool moves =
            ratios.empty() || (*step > 0 ? ratio > ratios.back().value : ratio < ratios.back().value);
        if (!ratio || !moves)
            refuse(text,
                   ": the step " + std::string(stepText) +
                       " is finer than the doubles between the start and the end, so ratios would repeat");
        ratios.push_back({*ratio, point.text, point.label});
    }
    return ratios;
}

} // namespace

std::vector<SweepRatio> readSweepRatios(std::string_view text) {
    const std::size_t firstColon = text.find(':');
    if (firstColon == std::string_view::npos)
        return readList(text);
    const std::size_t secondColon = text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos || text.find(':', secondColon + 1) != std::string_view::npos ||
        text.find(',') != std::string_view::npos)
        refuse(text, std::string(" is not ") + sweepRatiosDomain);
    return readRange(text, firstColon, secondColon);
}

} // namespace quorvex::app
