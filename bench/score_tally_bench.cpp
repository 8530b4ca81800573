// The tally's cost where it has the most rows: songs of one step reach up to
// 1001 distinct scores. Times (fastest of the given number of runs, default 5):
// a whole dialogue-style run of 10^6 one-step songs (engine, merge into the
// tally, order); the merge and order alone of an aggregate holding all 1001
// scores; and 10^6 one-step songs recorded into the tally one by one. Not a
// test.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/score_tally.h"
#include "sim/step_model.h"

namespace {

using namespace quorvex;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t songCount = 1000000;
constexpr double ratio = 0.5;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of `repeats` calls of `run`, in milliseconds.
template <class Run> double fastestMs(int repeats, Run run) {
    double best = 0.0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        const auto start = Clock::now();
        run();
        const double seconds = secondsSince(start);
        if (repeat == 0 || seconds < best)
            best = seconds;
    }
    return best * 1e3;
}

// Every score 0..1000 once, as the merge meets them: ascending.
ScoreAggregate everyScore() {
    ScoreAggregate aggregate;
    for (std::int32_t score = 0; score < ScoreAggregate::denseScores; ++score)
        aggregate.recordRepeated({score, score % 7, score % 2 == 0}, 1 + score % 13);
    return aggregate;
}

} // namespace

int main(int argc, char** argv) {
    setNumericMode();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const RunConstants constants = deriveRunConstants(1, ratio).constants;

    // 1. The dialogue's way: the engine's aggregate merged into the tally, then ordered.
    std::int32_t rows = 0;
    const double wholeRun = fastestMs(repeats, [&] {
        seedRandom(1700000000u);
        ScoreAggregate songs;
        runSongs(songCount, 1, constants, songs);
        ScoreTally tally;
        for (const ScoreGroup& group : songs.rows())
            tally.merge(group);
        tally.order();
        rows = tally.rowCount();
    });

    // 2. The merge and order alone, every score present.
    const ScoreAggregate full = everyScore();
    const std::vector<ScoreGroup> groups = full.rows();
    const double mergeAll = fastestMs(repeats, [&] {
        ScoreTally tally;
        for (const ScoreGroup& group : groups)
            tally.merge(group);
        tally.order();
    });

    // 3. The same songs recorded one at a time (the results drawn beforehand).
    std::vector<SongResult> results;
    results.reserve(songCount);
    seedRandom(1700000000u);
    for (std::int32_t song = 0; song < songCount; ++song)
        results.push_back(simulateSong(1, constants).result);
    std::int32_t recordedRows = 0;
    const double recordAll = fastestMs(repeats, [&] {
        ScoreTally tally;
        for (const SongResult& result : results)
            tally.record(result);
        recordedRows = tally.rowCount();
    });

    std::printf("fastest of %d runs\n", repeats);
    std::printf("%d one-step songs @ %g, engine + merge + order: %8.2f ms (%d rows)\n", songCount, ratio,
                wholeRun, rows);
    std::printf("merge + order of an aggregate with all %d scores:  %8.2f ms\n", ScoreAggregate::denseScores,
                mergeAll);
    std::printf("%d one-step songs recorded one by one:          %8.2f ms (%d rows)\n", songCount, recordAll,
                recordedRows);
    return 0;
}
