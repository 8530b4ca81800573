#include "stats/draw_census.h"

#include <algorithm>
#include <cmath>

#include "runtime/random_source.h"
#include "sim/engine/draw_thresholds.h"

namespace quorvex::stats {

namespace {

std::int32_t drawsIn(const DrawInterval& interval) {
    return interval.high >= interval.low ? interval.high - interval.low + 1 : 0;
}

// 2^31 = 214 * 10^7 + 7483648: the indices below 7483648 are met once more.
constexpr std::int32_t heavyIndices = 7483648;
constexpr std::int64_t generatorOutputs = std::int64_t{1} << 31;

// (c / total)^steps as exp(steps * log1p(-(total - c) / total)): the share
// itself is rounded, and raising it to the power would multiply that
// rounding by the step count (2.4e-12 relative at 10^8 steps); the
// shortfall total - c keeps its full precision through log1p.
double chanceAllWithin(std::int64_t within, std::int64_t total, std::int32_t steps) {
    const long double outside = static_cast<long double>(total - within) / static_cast<long double>(total);
    return static_cast<double>(std::exp(static_cast<long double>(steps) * std::log1p(-outside)));
}

// steps * c is exact in extended (below 2^63); one division rounds it.
double meanWithin(std::int64_t within, std::int64_t total, std::int32_t steps) {
    const long double product = static_cast<long double>(within) * static_cast<long double>(steps);
    return static_cast<double>(product / static_cast<long double>(total));
}

} // namespace

std::int64_t generatorOutputsBetween(std::int32_t low, std::int32_t high) {
    if (high < low)
        return 0;
    const std::int64_t heavy = std::max(0, std::min(high, heavyIndices - 1) - low + 1);
    const std::int64_t all = high - low + 1;
    return 215 * heavy + 214 * (all - heavy);
}

DrawCensus takeDrawCensus(const RunConstants& constants) {
    // The verdicts are monotone in the draw index on each side of the centre,
    // so each set is the interval the engine finds by bisection.
    const DrawInterval aaa = drawsWithDeviationAtMost(1.0, constants);
    const DrawInterval marvelous = drawsWithDeviationAtMost(0.25, constants);
    return {drawsIn(aaa), drawsIn(marvelous), generatorOutputsBetween(aaa.low, aaa.high),
            generatorOutputsBetween(marvelous.low, marvelous.high)};
}

std::int32_t bestScoreFor(std::int32_t steps) {
    // The running total is an integer below 2^27 and the fraction of
    // stepValue is at most 1 - 1/steps, so each marvelous step adds exactly
    // floor(stepValue).
    const long double stepValue = deriveRunConstants(steps, 1.0).constants.stepValue;
    const auto perStep = static_cast<std::int64_t>(std::floor(stepValue));
    return static_cast<std::int32_t>(perStep * steps / scoreDivisor);
}

ExactValues exactValuesFor(const DrawCensus& census, std::int32_t steps) {
    const bool perfectReachable = bestScoreFor(steps) == 1000;
    return {chanceAllWithin(census.aaaDraws, drawModulus, steps),
            meanWithin(census.marvelousDraws, drawModulus, steps),
            perfectReachable ? chanceAllWithin(census.marvelousDraws, drawModulus, steps) : 0.0,
            chanceAllWithin(census.aaaOutputs, generatorOutputs, steps),
            meanWithin(census.marvelousOutputs, generatorOutputs, steps),
            perfectReachable ? chanceAllWithin(census.marvelousOutputs, generatorOutputs, steps) : 0.0};
}

} // namespace quorvex::stats
