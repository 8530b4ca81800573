#pragma once

// Sweeps built by hand for the sweep writers' tests, from the hand-made
// runs of simulation_records.h, with round figures where a writer only
// copies them (the intervals of the shares) so that its output can be
// pinned digit for digit.

#include <limits>

#include "output/sweep_record.h"
#include "simulation_records.h"

namespace quorvex::testing {

inline stats::Proportion shareOf(std::int64_t count, std::int64_t total, double low, double high) {
    return {count, total, static_cast<double>(count) / static_cast<double>(total), {low, high}};
}

// Ten songs of 400 steps at 0.999 (tenSongRecord: its AAA interval misses
// the exact value) and at 1 (every song 1000 and AAA), seed 1765222492,
// with P(score >= 990) and the unreachable P(score >= 1001).
inline output::SweepRecord twoRatioSweep() {
    output::SweepRecord sweep;
    sweep.songs = 10;
    sweep.steps = 400;
    sweep.perfectText = "0.999,1";
    sweep.seed = 1765222492;
    sweep.atLeast = {990, 1001};
    sweep.bestScore = 1000;
    sweep.threads = 2;
    sweep.elapsedSeconds = 0.0004;

    output::SimulationRecord high = tenSongRecord();
    high.histogram.clear();
    high.summary.aaa = shareOf(3, 10, 0.1, 0.6);
    high.summary.perfectScore = shareOf(2, 10, 0.05, 0.5);
    high.summary.atLeast = {{990, shareOf(10, 10, 0.7, 1), true}, {1001, shareOf(0, 10, 0, 0.3), false}};

    output::SimulationRecord all = allAaaRecord(); // its thousand songs cut to ten
    all.songs = 10;
    all.seed = high.seed;
    all.histogram.clear();
    stats::ScoreSummary& s = all.summary;
    s.songs = 10;
    s.aaa = shareOf(10, 10, 0.7, 1);
    s.perfectScore = shareOf(10, 10, 0.7, 1);
    s.atLeast = {{990, shareOf(10, 10, 0.7, 1), true}, {1001, shareOf(0, 10, 0, 0.3), false}};

    sweep.rows = {{"0.999", high}, {"1", all}};
    return sweep;
}

// One song of 300 steps (best score 999) at 0.9: no interval, no deviation.
inline output::SweepRecord oneSongSweep() {
    output::SweepRecord sweep;
    sweep.songs = 1;
    sweep.steps = 300;
    sweep.perfectText = "0.9";
    sweep.seed = 7;
    sweep.bestScore = 999;
    output::SimulationRecord run = oneSongRecord();
    run.histogram.clear();
    run.summary.aaa = shareOf(0, 1, 0, 0.8);
    run.summary.perfectScore = shareOf(0, 1, 0, 0.8);
    sweep.rows = {{"0.9", run}};
    return sweep;
}

} // namespace quorvex::testing
