#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/random_source.h"
#include "sim/engine/kernel_constants.h"
#include "sim/engine/processor.h"
#include "sim/engine/score_aggregate.h"
#include "sim/step_model.h"

namespace quorvex {

// The kernels' interface: one KernelSet per instruction set, each defined in
// its kernel_<isa>.cpp from the templates of kernel_body.h (draws into step
// codes) and song_folding_body.h (step codes into songs).

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
    // The draw indices alone of `iterations` rounds, laid out and advanced as
    // evaluateStream lays out its codes: `indices` must hold iterations *
    // lanes values. For songs whose result depends on the draw index alone.
    void (*drawIndexStream)(std::uint64_t* laneStates, RandomJump stride, std::int32_t* indices,
                            std::size_t iterations);
    // Folds `count` codes, in draw order, into songs of `steps` steps: `song`
    // continues (and may stay unfinished); each finished song is recorded in
    // `aggregate` and `song` restarts with stepsLeft = steps. Unsettled codes
    // are judged exactly with the running total before them. The buffer must
    // hold codePadding readable values after the last code.
    void (*consumeCodes)(const std::int32_t* codes, std::size_t count, std::int32_t steps,
                         const RunConstants& constants, SongInProgress& song, ScoreAggregate& aggregate);
    // evaluateStream and consumeCodes in one pass over `draws` draws of the
    // streams, with no code written for a marvelous draw (song_stream_body.h);
    // null where the kernels have no such pass. The same songs and results.
    void (*playStream)(std::uint64_t* laneStates, RandomJump stride, std::size_t draws,
                       const KernelConstants& constants, std::int32_t steps, const RunConstants& runConstants,
                       SongInProgress& song, ScoreAggregate& aggregate);
    // The fewest steps per song for which playStream is faster than
    // evaluateStream and consumeCodes (measured on an AMD EPYC core).
    std::int32_t onePassSteps;
};

extern const KernelSet scalarKernels;
extern const KernelSet avx2Kernels;
extern const KernelSet avx512Kernels;

// The kernels of an instruction set (automatic: the best supported). An
// instruction set the processor lacks is never run: the best one stands in.
const KernelSet& kernelsFor(EngineIsa isa);

} // namespace quorvex
