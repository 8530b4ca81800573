#pragma once

#include <cstdint>

#include "sim/step_model.h"

namespace quorvex::stats {

// The 10^7 draw indices of a step, counted by their verdict under a run's
// constants: a step whose draw is among `aaaDraws` keeps its song AAA
// (w <= 1.0), one among `marvelousDraws` is marvelous (w <= 0.25).
//
// The generator does not make the draws equally likely: of its 2^31 outputs g,
// each index t = g mod 10^7 below 7483648 comes from 215, the rest from 214.
// The `...Outputs` counts weigh the same draws by the outputs that give them.
struct DrawCensus {
    std::int32_t aaaDraws = 0;         // a
    std::int32_t marvelousDraws = 0;   // m
    std::int64_t aaaOutputs = 0;       // outputs g whose draw keeps a song AAA
    std::int64_t marvelousOutputs = 0; // outputs g whose draw is marvelous
};

// The generator's outputs, of 2^31, whose draw index lies in [low, high].
std::int64_t generatorOutputsBetween(std::int32_t low, std::int32_t high);

// The census for usable constants (deviationScale neither 0 nor NaN). Exact:
// it counts what the step model itself decides, not an approximation.
DrawCensus takeDrawCensus(const RunConstants& constants);

// The highest song score a step count allows: every step marvelous, each
// adding floor(stepValue) after the per-step truncation; 999 for 300 steps,
// 1000 for 400, 0 from 10^8 + 1 steps on. Needs steps >= 1.
std::int32_t bestScoreFor(std::int32_t steps);

// Values that hold exactly when the steps' draw indices are independent and
// each of the 10^7 equally likely; and the same when the steps' generator
// outputs are independent and each of the 2^31 equally likely, which weighs
// the draws as the generator does. The second is what long runs approach
// (successive outputs are not independent, but no run so far tells): at
// ratio 0.95 the marvelous mean of 400 steps is 322.336 by the first and
// 322.426 by the second, and runs of 10^6 songs give 322.41 to 322.46
// (11 standard errors from the first).
struct ExactValues {
    double aaaChance;                       // (a / 10^7)^steps
    double marvelousMean;                   // steps * m / 10^7
    double perfectScoreChance;              // (m / 10^7)^steps when the best score is 1000, else 0
    double generatorAaaChance = 0;          // (aaaOutputs / 2^31)^steps
    double generatorMarvelousMean = 0;      // steps * marvelousOutputs / 2^31
    double generatorPerfectScoreChance = 0; // (marvelousOutputs / 2^31)^steps, or 0 as above
};
// The perfect score needs every step to add the full step value V. Up to 5000
// steps only a marvelous step does: the smallest w above 0.25 earns V / (4w),
// short of V by more than the running total's rounding can make up. From 6250
// steps on (V <= 16000) a draw just outside the marvelous window, with 4w - 1
// below about 2^-38 / V, can earn V too once the total is large; such draws
// are left out. They are rare: of 1.6 million random ratios at step counts
// from 10^4 to 10^8, one had them (the two draws beside the window at
// 25000000 steps and ratio 0.81029695803727697, where the perfect chance is 0
// in doubles either way).
ExactValues exactValuesFor(const DrawCensus& census, std::int32_t steps);

} // namespace quorvex::stats
