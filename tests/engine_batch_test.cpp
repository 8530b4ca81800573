// Batches of runs: every run gives exactly the songs and fault the plain
// model gives from its start state, whatever the thread count, the runs
// around it and the pace of the reporting; runs are reported once each, in
// order, on the calling thread.
#include "sim/engine/engine_batch.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

struct RunCase {
    std::int32_t songs;
    std::int32_t steps;
    double ratio;
    std::uint64_t startState;
};

struct RunResult {
    ScoreAggregate songs;
    ModelFault fault;
};

std::vector<SongRun> songRuns(const std::vector<RunCase>& cases) {
    std::vector<SongRun> runs;
    runs.reserve(cases.size());
    for (const RunCase& c : cases)
        runs.push_back({c.songs, c.steps, deriveRunConstants(c.steps, c.ratio).constants, c.startState});
    return runs;
}

// The plain model, song after song from each run's start state.
std::vector<RunResult> playPlain(const std::vector<SongRun>& runs) {
    std::vector<RunResult> results;
    for (const SongRun& run : runs) {
        RunResult result{{}, ModelFault::none};
        randomState = run.startState;
        result.fault = runSongsPlain(run.songs, run.steps, run.constants, result.songs);
        results.push_back(result);
    }
    return results;
}

// The batch, checking the order, thread and count of the reports.
std::vector<RunResult> playBatch(const std::vector<SongRun>& runs, const EngineOptions& options) {
    std::vector<RunResult> results;
    const std::thread::id caller = std::this_thread::get_id();
    runSongBatch(runs, options, [&](std::size_t run, const ScoreAggregate& songs, ModelFault fault) {
        EXPECT_EQ(run, results.size());
        EXPECT_EQ(std::this_thread::get_id(), caller);
        results.push_back({songs, fault});
    });
    EXPECT_EQ(results.size(), runs.size());
    return results;
}

void expectSameResults(const std::vector<RunResult>& batch, const std::vector<RunResult>& plain,
                       const std::string& where) {
    ASSERT_EQ(batch.size(), plain.size()) << where;
    for (std::size_t r = 0; r < plain.size(); ++r) {
        EXPECT_TRUE(batch[r].songs == plain[r].songs) << where << ", run " << r;
        EXPECT_EQ(batch[r].fault, plain[r].fault) << where << ", run " << r;
    }
}

// Runs of every kind side by side: several chunks (2^18 draws make one),
// songs of one step, declined by the kernels (a tiny ratio), faulting (ratio
// 0), songs of no steps, no songs; several start from one state, as a sweep's
// ratios do.
const std::vector<RunCase> mixedRuns{
    {700, 400, 0.95, 1700000000u},
    {5000, 1, 0.5, 1700000000u},
    {40, 100, 1e-260, 61u},
    {5, 10, 0.0, 51u},
    {25, -5, 0.95, 41u},
    {0, 400, 0.95, 42u},
    {3001, 7, 0.9, 0xDEADBEEF12345678ull},
    {2622 * 2 + 7, 100, 0.9, 31u},
    {30, 100, 1e-260, 1700000000u},
    {200, 1000, 0.99, 77u},
    {-3, 400, 0.95, 43u},
    {333, 300, 0.9999999, 5u},
};

class EngineBatch : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

TEST_F(EngineBatch, EveryKindOfRunMatchesThePlainModel) {
    const std::vector<SongRun> runs = songRuns(mixedRuns);
    const std::vector<RunResult> plain = playPlain(runs);
    for (int threads : {1, 2, 3, 0})
        expectSameResults(playBatch(runs, {threads, EngineIsa::automatic}), plain,
                          "threads " + std::to_string(threads));
    expectSameResults(playBatch(runs, {2, EngineIsa::scalar}), plain, "scalar, threads 2");
}

TEST_F(EngineBatch, ManyRunsFromOneSeedMatchThePlainModel) {
    // A sweep: ratios 0.900 .. 0.959 from one seed, more runs than are ever
    // in flight, so the runs' places are used again and again.
    std::vector<RunCase> cases;
    cases.reserve(60);
    for (int k = 0; k < 60; ++k)
        cases.push_back({150 + k, 60, 0.9 + 0.001 * k, 1700000000u});
    const std::vector<SongRun> runs = songRuns(cases);
    const std::vector<RunResult> plain = playPlain(runs);
    for (int threads : {1, 2, 3})
        expectSameResults(playBatch(runs, {threads, EngineIsa::automatic}), plain,
                          "threads " + std::to_string(threads));
}

TEST_F(EngineBatch, SlowReportingHoldsTheThreadsBackWithoutChangingResults) {
    // While the first report sleeps, the threads fill every place for runs
    // in flight and must wait for the report to free one.
    std::vector<RunCase> cases;
    cases.reserve(30);
    for (int k = 0; k < 30; ++k)
        cases.push_back({300 + k, 100, 0.95, 1000u + static_cast<std::uint64_t>(k)});
    const std::vector<SongRun> runs = songRuns(cases);
    const std::vector<RunResult> plain = playPlain(runs);
    std::vector<RunResult> batch;
    runSongBatch(runs, {3, EngineIsa::automatic},
                 [&](std::size_t run, const ScoreAggregate& songs, ModelFault f) {
                     if (run == 0)
                         std::this_thread::sleep_for(std::chrono::milliseconds(50));
                     batch.push_back({songs, f});
                 });
    expectSameResults(batch, plain, "slow report");
}

TEST_F(EngineBatch, ProgressCountsEverySongAndTheGeneratorIsLeftAlone) {
    // Songs of the runs that play: 700 + 5000 + 40 + 25 (no steps) + 3001 +
    // 5251 + 30 + 200 + 333; the faulting run and the runs of no songs add
    // nothing.
    const std::vector<SongRun> runs = songRuns(mixedRuns);
    for (int threads : {1, 2}) {
        std::atomic<std::int64_t> songsDone{0};
        EngineOptions options{threads, EngineIsa::automatic};
        options.songsDone = &songsDone;
        randomState = 0x0123456789ABCDEFull;
        playBatch(runs, options);
        EXPECT_EQ(songsDone.load(), 14580) << "threads " << threads;
        EXPECT_EQ(randomState, 0x0123456789ABCDEFull) << "threads " << threads;
    }
}

TEST_F(EngineBatch, AFailingReportStopsTheBatch) {
    std::vector<RunCase> cases;
    cases.reserve(20);
    for (int k = 0; k < 20; ++k)
        cases.push_back({3000, 100, 0.95, static_cast<std::uint64_t>(k)});
    const std::vector<SongRun> runs = songRuns(cases);
    for (int threads : {1, 2}) {
        std::vector<std::size_t> reported;
        randomState = 99u;
        EXPECT_THROW(runSongBatch(runs, {threads, EngineIsa::automatic},
                                  [&](std::size_t run, const ScoreAggregate&, ModelFault) {
                                      reported.push_back(run);
                                      if (run == 2)
                                          throw std::runtime_error("stop");
                                  }),
                     std::runtime_error);
        EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2})) << "threads " << threads;
        EXPECT_EQ(randomState, 99u) << "threads " << threads;
    }
}

TEST_F(EngineBatch, ACancelledBatchReportsNoFurtherRun) {
    // Twenty runs of 3000 songs; the flag is raised while run 2 is reported.
    std::vector<RunCase> cases;
    for (int k = 0; k < 20; ++k)
        cases.push_back({3000, 100, 0.95, static_cast<std::uint64_t>(k)});
    const std::vector<SongRun> runs = songRuns(cases);
    for (int threads : {1, 2}) {
        std::atomic<bool> cancel{false};
        EngineOptions options{threads, EngineIsa::automatic};
        options.cancel = &cancel;
        std::vector<std::size_t> reported;
        runSongBatch(runs, options, [&](std::size_t run, const ScoreAggregate&, ModelFault) {
            reported.push_back(run);
            if (run == 2)
                cancel = true;
        });
        EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2})) << "threads " << threads;
    }
    // Raised before the batch: nothing is played, nothing reported.
    std::atomic<bool> cancel{true};
    std::atomic<std::int64_t> songsDone{0};
    EngineOptions options{2, EngineIsa::automatic};
    options.cancel = &cancel;
    options.songsDone = &songsDone;
    int reports = 0;
    runSongBatch(runs, options, [&](std::size_t, const ScoreAggregate&, ModelFault) { ++reports; });
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(songsDone.load(), 0);
}

TEST_F(EngineBatch, AnEmptyBatchReportsNothing) {
    int reports = 0;
    runSongBatch({}, {}, [&](std::size_t, const ScoreAggregate&, ModelFault) { ++reports; });
    EXPECT_EQ(reports, 0);
}

} // namespace
} // namespace quorvex
