#include "stats/draw_census.h"

#include <cmath>

#include "runtime/random_source.h"
#include "sim/engine/engine_thresholds.h"

namespace quorvex::stats {

namespace {

std::int32_t drawsIn(const DrawInterval& interval) {
    return interval.high >= interval.low ? interval.high - interval.low + 1 : 0;
}

} // namespace

DrawCensus takeDrawCensus(const RunConstants& constants) {
    // The verdicts are monotone in the draw index on each side of the centre,
    // so each set is the interval the engine finds by bisection.
    return {drawsIn(drawsWithDeviationAtMost(1.0, constants)),
            drawsIn(drawsWithDeviationAtMost(0.25, constants))};
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
    // (c / 10^7)^steps as exp(steps * log1p(-(10^7 - c) / 10^7)): the share
    // itself is rounded, and raising it to the power would multiply that
    // rounding by the step count (2.4e-12 relative at 10^8 steps); the
    // shortfall 10^7 - c keeps its full precision through log1p.
    const auto chanceAllWithin = [steps](std::int32_t within) {
        const long double outside = static_cast<long double>(drawModulus - within) / drawModulus;
        return static_cast<double>(std::exp(static_cast<long double>(steps) * std::log1p(-outside)));
    };
    // steps * m is exact in 64 bits and in extended; one division rounds it.
    const long double marvelousSteps =
        static_cast<long double>(static_cast<std::int64_t>(steps) * census.marvelousDraws);
    return {chanceAllWithin(census.aaaDraws), static_cast<double>(marvelousSteps / drawModulus),
            bestScoreFor(steps) == 1000 ? chanceAllWithin(census.marvelousDraws) : 0.0};
}

} // namespace quorvex::stats
