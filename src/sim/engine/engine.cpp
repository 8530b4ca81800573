#include "sim/engine/engine.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/cpu_count.h"
#include "runtime/random_source.h"
#include "sim/engine/engine_batch.h"
#include "sim/engine/engine_thresholds.h"

namespace quorvex {

bool engineIsaSupported(EngineIsa isa) {
    __builtin_cpu_init();
    switch (isa) {
    case EngineIsa::automatic:
    case EngineIsa::scalar:
        return true;
    case EngineIsa::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case EngineIsa::avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
               __builtin_cpu_supports("avx512vl");
    }
    return false;
}

EngineIsa bestEngineIsa() {
    if (engineIsaSupported(EngineIsa::avx512))
        return EngineIsa::avx512;
    if (engineIsaSupported(EngineIsa::avx2))
        return EngineIsa::avx2;
    return EngineIsa::scalar;
}

int affinityThreadCount() {
    return platform::usableCpuCount();
}

const KernelSet& kernelsFor(EngineIsa isa) {
    // An instruction set the processor lacks is never run: the best one stands in.
    if (isa == EngineIsa::automatic || !engineIsaSupported(isa))
        isa = bestEngineIsa();
    switch (isa) {
    case EngineIsa::avx512:
        return avx512Kernels;
    case EngineIsa::avx2:
        return avx2Kernels;
    default:
        return scalarKernels;
    }
}

void evaluateDraws(EngineIsa isa, const std::int32_t* indices, std::size_t count,
                   const KernelConstants& constants, std::int32_t* codes, DrawDetail* details) {
    kernelsFor(isa).evaluateIndices(indices, count, constants, codes, details);
}

bool kernelsCoverRun(std::int32_t steps, const RunConstants& constants) {
    const double absScale = std::fabs(constants.deviationScale);
    if (steps < 1 || !(absScale >= 1e-250 && absScale <= 1e250))
        return false;
    const long double whole = std::floor(constants.stepValue);
    return constants.stepValue - whole <= 1.0L - static_cast<long double>(carryBand);
}

std::optional<KernelConstants> kernelConstantsFor(std::int32_t steps, const RunConstants& constants) {
    if (!kernelsCoverRun(steps, constants))
        return std::nullopt;
    const double absScale = std::fabs(constants.deviationScale);
    const long double whole = std::floor(constants.stepValue);
    const DrawInterval marvelous = drawsWithDeviationAtMost(0.25, constants);
    const DrawInterval aaa = drawsWithDeviationAtMost(1.0, constants);
    return KernelConstants{absScale,
                           static_cast<double>(constants.stepValue) * 0.25,
                           static_cast<std::int64_t>(whole),
                           static_cast<double>(marvelous.low),
                           static_cast<double>(marvelous.high),
                           static_cast<double>(aaa.low),
                           static_cast<double>(aaa.high)};
}

ModelFault runSongsPlain(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                         ScoreAggregate& aggregate) {
    for (std::int32_t song = 0; song < songs; ++song) {
        const SongOutcome outcome = simulateSong(steps, constants);
        if (outcome.fault != ModelFault::none)
            return outcome.fault;
        aggregate.record(outcome.result);
    }
    return ModelFault::none;
}

ModelFault runSongs(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                    ScoreAggregate& aggregate, const EngineOptions& options) {
    // 1. The batch of this one run, from the generator's current state.
    const std::uint64_t start = randomState;
    ModelFault fault = ModelFault::none;
    runSongBatch({SongRun{songs, steps, constants, start}}, options,
                 [&](std::size_t, const ScoreAggregate& songsPlayed, ModelFault runFault) {
                     aggregate.merge(songsPlayed);
                     fault = runFault;
                 });
    // 2. Leave the generator where the plain model would: past every draw
    //    of every song, or untouched when no step was played (a fault comes
    //    at the first step, before its draw).
    if (songs > 0 && steps > 0 && fault == ModelFault::none)
        randomState =
            advanceRandomState(start, static_cast<std::uint64_t>(songs) * static_cast<std::uint64_t>(steps));
    else
        randomState = start;
    return fault;
}

} // namespace quorvex
