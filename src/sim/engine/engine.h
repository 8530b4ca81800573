#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "sim/engine/engine_aggregate.h"
#include "sim/engine/engine_kernel.h"
#include "sim/step_model.h"

namespace quorvex {

// Instruction sets the engine's kernels are built for.
enum class EngineIsa { automatic, scalar, avx2, avx512 };

struct EngineOptions {
    int threads = 0;                      // 0: one per CPU in the process's affinity mask
    EngineIsa isa = EngineIsa::automatic; // automatic: the best the processor supports
    // When set, songs finished so far are added here as each chunk of songs
    // (a few hundred thousand steps) ends, for a progress display that reads
    // it from another thread; never touched per step or per song.
    std::atomic<std::int64_t>* songsDone = nullptr;
    // When set, read once per chunk of songs (and once per song the plain
    // model plays): once it holds true the run stops within a chunk's time,
    // reports nothing more, and its results are incomplete. Never set for a
    // run whose results are used; the caller tells a stopped run by the flag.
    const std::atomic<bool>* cancel = nullptr;
};

// True when this processor can run the kernels of `isa` (automatic: always).
bool engineIsaSupported(EngineIsa isa);
// The best supported instruction set: AVX-512, else AVX2 with FMA, else scalar.
EngineIsa bestEngineIsa();
// CPUs the process may run on (its affinity mask), at least 1.
int affinityThreadCount();

// The plain model, one song after another from randomState, folded into
// `aggregate`. Returns the fault of the first song that faults (no song
// after it is played), else ModelFault::none.
ModelFault runSongsPlain(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                         ScoreAggregate& aggregate);

// The engine: the same songs as runSongsPlain, with the same results folded
// into `aggregate` and randomState left where runSongsPlain leaves it, played
// on several threads with vector kernels. Song i starts from the state
// i * steps draws after randomState. Runs whose constants the kernels'
// error analysis does not cover (see kernelsCoverRun) are played by the
// plain model. The batch of one run (engine_batch.h).
ModelFault runSongs(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                    ScoreAggregate& aggregate, const EngineOptions& options = {});

// False when the kernels' error analysis does not cover a run, which is then
// declined: a step count below 1; |deviationScale| outside [1e-250, 1e250]
// or not finite; a stepValue whose fraction lies within 2^-30 of 1 (a
// marvelous step would then not add exactly floor(stepValue) to every
// running total). Cheap: no step is judged.
bool kernelsCoverRun(std::int32_t steps, const RunConstants& constants);

// The kernels' constants for a run, or nothing when the run is declined (see
// kernelsCoverRun). Finds the marvelous and AAA draw intervals with the exact
// model (a few dozen judgeStep calls); the numeric mode must be in force.
std::optional<KernelConstants> kernelConstantsFor(std::int32_t steps, const RunConstants& constants);

// The kernels of an instruction set (automatic: the best supported).
const KernelSet& kernelsFor(EngineIsa isa);

// Evaluates draw indices (each 0..9999999) with the kernels of `isa` into
// packed step codes (engine_step_code.h); details may be null.
void evaluateDraws(EngineIsa isa, const std::int32_t* indices, std::size_t count,
                   const KernelConstants& constants, std::int32_t* codes, DrawDetail* details = nullptr);

} // namespace quorvex
