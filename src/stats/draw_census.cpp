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
    const long double draws = drawModulus;
    const long double aaaShare = census.aaaDraws / draws;
    const long double marvelousShare = census.marvelousDraws / draws;
    return {static_cast<double>(std::pow(aaaShare, static_cast<long double>(steps))),
            static_cast<double>(steps * marvelousShare),
            bestScoreFor(steps) == 1000
                ? static_cast<double>(std::pow(marvelousShare, static_cast<long double>(steps)))
                : 0.0};
}

} // namespace quorvex::stats
