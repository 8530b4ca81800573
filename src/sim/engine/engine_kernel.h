#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/random_source.h"
#include "sim/engine/engine_aggregate.h"
#include "sim/step_model.h"

namespace quorvex {

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
// [aaaLow, aaaHigh] (engine_thresholds.h); the bounds are held as doubles,
// the form in which the kernels hold t. Only the points of the other steps
// come from the approximate tangent.
struct KernelConstants {
    double absScale;                 // |deviationScale|
    double quarterStepValue;         // stepValue as a double, divided by 4
    std::int64_t marvelousIncrement; // floor(stepValue)
    double marvelousLow, marvelousHigh;
    double aaaLow, aaaHigh;
};

// What the kernel computed for one draw, for the exhaustive tests. With
// details requested every draw goes through the tangent, marvelous or not.
struct DrawDetail {
    double u;               // the uniform draw; exact unless the argument is unsettled
    double x;               // the tangent's argument; exact unless unsettled
    double tangent;         // approximate |tan(x)|
    bool argumentUnsettled; // u or x possibly not the model's double
};

// The running state of the song a block of codes ends in the middle of.
struct SongInProgress {
    std::int32_t points = 0;
    std::int32_t marvelous = 0;
    bool aaa = true;
    std::int32_t stepsLeft = 0;
};

// Readable slack the consumer needs after a block of codes.
inline constexpr std::size_t codePadding = 8;

// One instruction set's kernels.
struct KernelSet {
    // Lanes evaluated per iteration (vector width times interleave).
    std::size_t lanes;
    // Evaluates `iterations` rounds of consecutive draws; `codes` must hold
    // iterations * lanes + 1 values (the last is scratch). laneStates[i] holds
    // the generator state lane i steps to for its next draw; lane i yields
    // codes[round * lanes + i]; after each round every lane advances by the
    // jump `stride` (lanes steps).
    void (*evaluateStream)(std::uint64_t* laneStates, RandomJump stride, std::int32_t* codes,
                           std::size_t iterations, const KernelConstants& constants);
    // Evaluates arbitrary draw indices (0..9999999), by the same path as
    // evaluateStream (marvelous draws by their index alone) unless details
    // are requested; details may be null.
    void (*evaluateIndices)(const std::int32_t* indices, std::size_t count, const KernelConstants& constants,
                            std::int32_t* codes, DrawDetail* details);
    // Folds `count` codes, in draw order, into songs of `steps` steps: `song`
    // continues (and may stay unfinished); each finished song is recorded in
    // `aggregate` and `song` restarts with stepsLeft = steps. Unsettled codes
    // are judged exactly with the running total before them. The buffer must
    // hold codePadding readable values after the last code.
    void (*consumeCodes)(const std::int32_t* codes, std::size_t count, std::int32_t steps,
                         const RunConstants& constants, SongInProgress& song, ScoreAggregate& aggregate);
};

extern const KernelSet scalarKernels;
extern const KernelSet avx2Kernels;
extern const KernelSet avx512Kernels;

} // namespace quorvex
