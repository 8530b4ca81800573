#include "sim/engine/engine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/cpu_count.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine_step_code.h"
#include "sim/engine/engine_thresholds.h"

namespace quorvex {

namespace {

// Draws per kernel call: small enough for the codes to stay in the first-level
// cache, a multiple of every kernel's lane count.
constexpr std::size_t blockDraws = 4096;
// Songs are handed to threads in chunks of about this many draws.
constexpr std::int64_t chunkDraws = std::int64_t{1} << 18;
constexpr std::size_t maxLanes = 64;

// Plays `songCount` whole songs starting with the draw after `state`.
void runChunk(const KernelSet& kernels, const KernelConstants& kc, const RunConstants& constants,
              std::uint64_t state, std::int64_t songCount, std::int32_t steps, ScoreAggregate& aggregate,
              std::int32_t* codes) {
    const std::size_t lanes = kernels.lanes;
    std::uint64_t laneStates[maxLanes];
    for (std::size_t i = 0; i < lanes; ++i) {
        state = stepRandomState(state);
        laneStates[i] = state;
    }
    const RandomJump stride = randomJump(lanes);
    SongInProgress song{0, 0, true, steps};
    std::int64_t remaining = songCount * steps;
    while (remaining > 0) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(remaining, blockDraws));
        kernels.evaluateStream(laneStates, stride, codes, (count + lanes - 1) / lanes, kc);
        kernels.consumeCodes(codes, count, steps, constants, song, aggregate);
        remaining -= static_cast<std::int64_t>(count);
    }
}

} // namespace

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

std::optional<KernelConstants> kernelConstantsFor(std::int32_t steps, const RunConstants& constants) {
    const double absScale = std::fabs(constants.deviationScale);
    if (steps < 1 || !(absScale >= 1e-250 && absScale <= 1e250))
        return std::nullopt;
    const long double whole = std::floor(constants.stepValue);
    if (constants.stepValue - whole > 1.0L - static_cast<long double>(carryBand))
        return std::nullopt;
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
    // 1. Runs without draws, and runs the plain model would fault on.
    if (songs <= 0)
        return ModelFault::none;
    if (steps <= 0) {
        aggregate.recordRepeated({0, 0, true}, songs);
        if (options.songsDone != nullptr)
            options.songsDone->fetch_add(songs, std::memory_order_relaxed);
        return ModelFault::none;
    }
    if (deviationScaleUnusable(constants))
        return ModelFault::unusableDeviationScale;
    const std::optional<KernelConstants> kc = kernelConstantsFor(steps, constants);
    if (!kc) {
        const ModelFault fault = runSongsPlain(songs, steps, constants, aggregate);
        if (options.songsDone != nullptr && fault == ModelFault::none)
            options.songsDone->fetch_add(songs, std::memory_order_relaxed);
        return fault;
    }

    // 2. Chunks of whole songs, each from its jump-ahead state, handed out in
    //    order by an atomic counter.
    const KernelSet& kernels = kernelsFor(options.isa);
    const std::uint64_t start = randomState;
    const std::int64_t chunkSongs = std::max<std::int64_t>(1, chunkDraws / steps);
    const std::int64_t chunkCount = (songs + chunkSongs - 1) / chunkSongs;
    const int threads = static_cast<int>(
        std::min<std::int64_t>(options.threads > 0 ? options.threads : affinityThreadCount(), chunkCount));
    std::atomic<std::int64_t> nextChunk{0};
    std::vector<ScoreAggregate> partial(static_cast<std::size_t>(threads));
    auto work = [&](int worker) {
        setNumericMode();
        std::vector<std::int32_t> codes(blockDraws + codePadding);
        for (std::int64_t chunk = nextChunk++; chunk < chunkCount; chunk = nextChunk++) {
            const std::int64_t first = chunk * chunkSongs;
            const std::int64_t count = std::min<std::int64_t>(chunkSongs, songs - first);
            const std::uint64_t state = advanceRandomState(start, static_cast<std::uint64_t>(first) * steps);
            runChunk(kernels, *kc, constants, state, count, steps, partial[static_cast<std::size_t>(worker)],
                     codes.data());
            if (options.songsDone != nullptr)
                options.songsDone->fetch_add(count, std::memory_order_relaxed);
        }
    };
    std::vector<std::thread> pool;
    for (int worker = 1; worker < threads; ++worker)
        pool.emplace_back(work, worker);
    work(0);
    for (std::thread& thread : pool)
        thread.join();

    // 3. Merge, and leave the generator where the plain model would.
    for (const ScoreAggregate& part : partial)
        aggregate.merge(part);
    randomState =
        advanceRandomState(start, static_cast<std::uint64_t>(songs) * static_cast<std::uint64_t>(steps));
    return ModelFault::none;
}

} // namespace quorvex
