// What playing many runs as one batch costs over the same steps in one run,
// on every thread of the affinity mask. Two comparisons, each figure the
// fastest of the given number of runs (default 3):
// 1. 100 runs of 10^5 songs x 400 steps at 0.95, all from one seed, as one
//    batch, against one run of 10^7 songs x 400 steps at 0.95;
// 2. a sweep: ratios 0.900, 0.901, ..., 0.999, each 10^5 songs x 400 steps
//    from one seed, as one batch, against the sum of the 100 runs played
//    one after another with runSongs.
// The two sides of a comparison take turns. Not a test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

#include "bench_timing.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/engine/song_batch.h"
#include "sim/step_model.h"

namespace {

using Timing = quorvex::bench::Cost;
using quorvex::bench::costOf;

using namespace quorvex;

constexpr std::uint32_t seed = 1700000000u;
constexpr std::int32_t runCount = 100;
constexpr std::int32_t songsPerRun = 100000;
constexpr std::int32_t steps = 400;

// The fastest of `repeats` calls of each, the two taking turns so that both
// meet the same spells of other work on the machine, which only ever slows
// a run down.
std::pair<Timing, Timing> fastestInTurn(int repeats, const std::function<void()>& reference,
                                        const std::function<void()>& batch) {
    Timing bestReference{0.0, 0.0}, bestBatch{0.0, 0.0};
    for (int repeat = 0; repeat < repeats; ++repeat) {
        const Timing r = costOf(reference);
        if (repeat == 0 || r.wall < bestReference.wall)
            bestReference = r;
        const Timing b = costOf(batch);
        if (repeat == 0 || b.wall < bestBatch.wall)
            bestBatch = b;
    }
    return {bestReference, bestBatch};
}

std::vector<SongRun> batchOf(const std::vector<double>& ratios) {
    std::vector<SongRun> runs;
    runs.reserve(ratios.size());
    for (double ratio : ratios)
        runs.push_back({songsPerRun, steps, deriveRunConstants(steps, ratio).constants, seed});
    return runs;
}

// Plays the batch; the song count folded is kept so that nothing is optimised away.
std::int64_t playBatch(const std::vector<SongRun>& runs) {
    std::int64_t songs = 0;
    runSongBatch(runs, {}, [&](std::size_t, const ScoreAggregate& played, ModelFault) {
        songs += played.frequency[1000] + played.frequency[999];
    });
    return songs;
}

void printLine(const char* label, const Timing& t, double stepCount) {
    std::printf("%-52s %8.3f s %7.3f ns/step  (cpu %7.3f s)\n", label, t.wall, t.wall * 1e9 / stepCount,
                t.processor);
}

void printOverhead(const Timing& batch, const Timing& reference) {
    std::printf("%-52s %+7.2f %%\n\n", "batch over reference", (batch.wall / reference.wall - 1.0) * 100.0);
}

} // namespace

int main(int argc, char** argv) {
    setNumericMode();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const double stepCount = static_cast<double>(runCount) * songsPerRun * steps;
    std::printf("threads in the affinity mask: %d; each figure the fastest of %d; cpu: processor time of\n"
                "all threads in that repetition\n\n",
                affinityThreadCount(), repeats);
    volatile std::int64_t sink = 0;

    // 1. One ratio: 100 runs in a batch against one run of as many songs.
    const std::vector<SongRun> sameRuns = batchOf(std::vector<double>(runCount, 0.95));
    const auto [oneRun, sameBatch] = fastestInTurn(
        repeats,
        [&] {
            ScoreAggregate songs;
            seedRandom(seed);
            runSongs(runCount * songsPerRun, steps, sameRuns[0].constants, songs);
            sink = sink + songs.frequency[1000];
        },
        [&] { sink = sink + playBatch(sameRuns); });
    printLine("one run, 10^7 songs x 400 steps @ 0.95", oneRun, stepCount);
    printLine("batch, 100 runs x 10^5 songs x 400 steps @ 0.95", sameBatch, stepCount);
    printOverhead(sameBatch, oneRun);

    // 2. A sweep: 100 ratios from one seed, batch against runs one by one.
    std::vector<double> ratios;
    ratios.reserve(runCount);
    for (int k = 0; k < runCount; ++k)
        ratios.push_back(0.9 + 0.001 * k);
    const std::vector<SongRun> sweepRuns = batchOf(ratios);
    const auto [separate, sweepBatch] = fastestInTurn(
        repeats,
        [&] {
            for (const SongRun& run : sweepRuns) {
                ScoreAggregate songs;
                seedRandom(seed);
                runSongs(run.songs, run.steps, run.constants, songs);
                sink = sink + songs.frequency[1000];
            }
        },
        [&] { sink = sink + playBatch(sweepRuns); });
    printLine("100 separate runs, 0.900..0.999, 10^5 x 400 each", separate, stepCount);
    printLine("batch of the same 100 runs", sweepBatch, stepCount);
    printOverhead(sweepBatch, separate);
    return 0;
}
