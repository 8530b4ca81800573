// Engine throughput against the plain model, side by side, in nanoseconds per
// step: the plain model (timed on a prefix of each run and extrapolated, to
// keep the benchmark quick), the engine on one thread and on every thread of
// the affinity mask, with the processor time the latter took. Also times a
// whole small run. Not a test. Optional argument: runs per figure.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "bench_timing.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/engine/plain_run.h"
#include "sim/step_model.h"

namespace {

using quorvex::bench::processorSeconds;

using namespace quorvex;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Case {
    std::int32_t songs, steps;
    double ratio;
};

double plainNsPerStep(const Case& c, int repeats) {
    const RunConstants constants = deriveRunConstants(c.steps, c.ratio).constants;
    // About 2 * 10^6 steps of whole songs, at least one song.
    const std::int64_t prefixSongs =
        std::max<std::int64_t>(1, std::min<std::int64_t>(c.songs, 2000000 / c.steps));
    const std::int32_t steps = static_cast<std::int32_t>(std::min<std::int64_t>(c.steps, 2000000));
    double best = 0.0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        ScoreAggregate aggregate;
        seedRandom(1700000000u);
        const auto start = Clock::now();
        runSongsPlain(static_cast<std::int32_t>(prefixSongs), steps, constants, aggregate);
        const double seconds = secondsSince(start);
        if (repeat == 0 || seconds < best)
            best = seconds;
    }
    return best * 1e9 / (static_cast<double>(prefixSongs) * steps);
}

struct EngineFigures {
    double wallNs;      // elapsed time per step
    double processorNs; // processor time of all threads per step, same run
};

// The fastest of `repeats` whole runs: other work on the machine only ever
// slows a run down.
EngineFigures engineNsPerStep(const Case& c, int threads, int repeats) {
    const RunConstants constants = deriveRunConstants(c.steps, c.ratio).constants;
    double best = 0.0, bestProcessor = 0.0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        ScoreAggregate aggregate;
        seedRandom(1700000000u);
        const double processorStart = processorSeconds();
        const auto start = Clock::now();
        runSongs(c.songs, c.steps, constants, aggregate, {threads, EngineIsa::automatic});
        const double seconds = secondsSince(start);
        if (repeat == 0 || seconds < best) {
            best = seconds;
            bestProcessor = processorSeconds() - processorStart;
        }
    }
    const double steps = static_cast<double>(c.songs) * c.steps;
    return {best * 1e9 / steps, bestProcessor * 1e9 / steps};
}

} // namespace

int main(int argc, char** argv) {
    setNumericMode();
    // Optional argument: runs per figure (default 3).
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int threads = affinityThreadCount();
    const char* isaName[] = {"automatic", "scalar", "AVX2+FMA", "AVX-512"};
    std::printf("engine kernels: %s; threads in the affinity mask: %d\n",
                isaName[static_cast<int>(bestEngineIsa())], threads);
    std::printf("plain model timed on a prefix of about 2e6 steps (whole songs) and extrapolated;\n"
                "each figure the fastest of %d runs; cpu/all: processor time of all threads per step in\n"
                "that run: with the threads truly side by side about the thread count times engine/all,\n"
                "nearer engine/all when other work on the machine keeps them waiting\n\n",
                repeats);
    std::printf("%-22s %10s %10s %10s %10s %9s %9s\n", "songs x steps @ ratio", "plain", "engine/1",
                "engine/all", "cpu/all", "speedup/1", "speedup/all");
    const Case cases[] = {
        {20000, 1000, 0.95}, {200000, 100, 0.9}, {2000000, 7, 0.9}, {10000000, 1, 0.5}, {4, 5000000, 0.95}};
    for (const Case& c : cases) {
        const double plain = plainNsPerStep(c, repeats);
        const double one = engineNsPerStep(c, 1, repeats).wallNs;
        const EngineFigures all = engineNsPerStep(c, threads, repeats);
        char label[64];
        std::snprintf(label, sizeof label, "%d x %d @ %g", c.songs, c.steps, c.ratio);
        std::printf("%-22s %8.2fns %8.3fns %8.3fns %8.3fns %8.1fx %8.1fx\n", label, plain, one, all.wallNs,
                    all.processorNs, plain / one, plain / all.wallNs);
    }
    // A small run, whole: thread start-up and all.
    const RunConstants constants = deriveRunConstants(400, 0.95).constants;
    ScoreAggregate aggregate;
    seedRandom(1700000000u);
    const auto start = Clock::now();
    runSongs(10, 400, constants, aggregate);
    std::printf("\n10 songs x 400 steps @ 0.95, whole run: %.3f ms\n", secondsSince(start) * 1e3);
    return 0;
}
