#pragma once

#include <cstdint>

#include "sim/step_model.h"

namespace quorvex::stats {

// The 10^7 draw indices of a step, counted by their verdict under a run's
// constants: a step whose draw is among `aaaDraws` keeps its song AAA
// (w <= 1.0), one among `marvelousDraws` is marvelous (w <= 0.25).
struct DrawCensus {
    std::int32_t aaaDraws = 0;       // a
    std::int32_t marvelousDraws = 0; // m
};

// The census for usable constants (deviationScale neither 0 nor NaN). Exact:
// it counts what the step model itself decides, not an approximation.
DrawCensus takeDrawCensus(const RunConstants& constants);

// The highest song score a step count allows: every step marvelous, each
// adding floor(stepValue) after the per-step truncation; 999 for 300 steps,
// 1000 for 400, 0 from 10^8 + 1 steps on. Needs steps >= 1.
std::int32_t bestScoreFor(std::int32_t steps);

// Values that hold exactly when the steps' draw indices are independent and
// each of the 10^7 equally likely (the generator's outputs are close to that,
// not exactly: each index below 7483648 comes from 215 outputs, the rest
// from 214, and successive outputs are not independent).
struct ExactValues {
    double aaaChance;          // (a / 10^7)^steps
    double marvelousMean;      // steps * m / 10^7
    double perfectScoreChance; // (m / 10^7)^steps when the best score is 1000, else 0
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
