#pragma once

#include <cstdint>
#include <optional>

#include "sim/step_model.h"

namespace quorvex {

// What the kernels need to know of a run, and the error bounds of their
// fast evaluation that decide which runs they may play.

// Error bounds of the vector evaluation, as relative errors.
//
// tangentErrorBound: the approximate tangent (a rational function on [0, P],
// evaluated in double) against the model's extended tangent, for
// every argument x the draws can produce. A test measures the largest error
// over all 10^7 draws and asserts it stays below a quarter of this.
//
// deviationErrorBound: the approximate points stepValue / (4w) against what
// the plain model forms from the same draw. It adds to the tangent's error a
// few double roundings: the double copy of stepValue, its product with
// |deviationScale|, the product and the quotient with the tangent's numerator
// and denominator, the stored w (7 roundings of 2^-53 at most; 8 are allowed
// for).
inline constexpr double tangentErrorBound = 0x1p-46;
inline constexpr double deviationErrorBound = 0x1p-44;
static_assert(deviationErrorBound >= tangentErrorBound + 8 * 0x1p-53);

// A running total plus the points of a step is formed in extended precision.
// Totals stay below 2^28, so that sum is held to 2^-36 or better; a fraction
// within this band below 1 may carry into the integer part.
inline constexpr double carryBand = 0x1p-30;

// Constants of one run in the form the kernels use. The marvelous and AAA
// decisions are exact: a step is marvelous when its draw index t lies in
// [marvelousLow, marvelousHigh] and keeps the AAA flag when t lies in
// [aaaLow, aaaHigh] (draw_thresholds.h); the bounds are held as doubles,
// the form in which the kernels hold t. Only the points of the other steps
// come from the approximate tangent.
struct KernelConstants {
    double absScale;                 // |deviationScale|
    double quarterStepValue;         // stepValue as a double, divided by 4
    std::int64_t marvelousIncrement; // floor(stepValue)
    double marvelousLow, marvelousHigh;
    double aaaLow, aaaHigh;
};

// False when the kernels' error analysis does not cover a run, which is then
// declined: a step count below 1; |deviationScale| outside [1e-250, 1e250]
// or not finite; a stepValue whose fraction lies within carryBand (2^-30) of 1 (a
// marvelous step would then not add exactly floor(stepValue) to every
// running total). Cheap: no step is judged.
bool kernelsCoverRun(std::int32_t steps, const RunConstants& constants);

// The kernels' constants for a run, or nothing when the run is declined (see
// kernelsCoverRun). Finds the marvelous and AAA draw intervals with the exact
// model (a few dozen judgeStep calls); the numeric mode must be in force.
std::optional<KernelConstants> kernelConstantsFor(std::int32_t steps, const RunConstants& constants);

} // namespace quorvex
