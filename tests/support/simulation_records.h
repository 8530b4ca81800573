#pragma once

// Simulation records built by hand for the writers' tests, each figure
// worked out on paper from the histogram so that a test can pin what a
// writer makes of it.

#include <cmath>
#include <cstdint>
#include <limits>

#include "output/simulation_record.h"
#include "stats/proportion.h"

namespace quorvex::testing {

// Ten songs of 400 steps at ratio 0.999, seed 1765222492:
//   score 1000 x2 (marvelous 400, 400; both AAA), 998 x3 (399..398; one AAA),
//   995 x4 (397..395), 990 x1 (392)
// mean 996.4; deviations +3.6 x2, +1.6 x3, -1.4 x4, -6.4 x1 square to 82.4,
// so SD sqrt(82.4 / 9) = 3.02581, SE 0.956847, and with t(9) = 2.262157 the
// interval 996.4 +- 2.164551. Quantiles (smallest score with at least the
// share at or below): p1, p5 990; p25, median 995; p75 998; p95, p99 1000.
// Marvelous sum 3972: mean 397.2. AAA 3 of 10, score 1000 2 of 10, score
// >= 990 10 of 10, >= 1001 unreachable. Census and exact values as for
// 0.999: a = 9990001, m = 9960001; 0.9990001^400, 400 m / 10^7, (m / 10^7)^400.
// Weighed by the generator's outputs (windows [5000, 9995000] and
// [20000, 9980000]; 215 outputs below 7483648, 214 from there):
// 2145338862 and 2138903862 of 2^31, giving 0.67052308, 398.40189, 0.20163208.
// The AAA share's interval [0.108, 0.603] misses its exact 0.6705 and the
// marvelous mean misses its band [397.620, 399.184]; score 1000 agrees.
inline output::SimulationRecord tenSongRecord() {
    output::SimulationRecord run;
    run.songs = 10;
    run.steps = 400;
    run.perfectRatio = 0.999;
    run.perfectRatioText = "0.999";
    run.seed = 1765222492;
    run.threads = 2;
    run.elapsedSeconds = 0.0004;
    // Given lowest score first, as the engine's rows come, to check that
    // every writer orders them itself.
    run.histogram = {{990, 1, 392, 392, 0, 392},
                     {995, 4, 397, 395, 0, 1584},
                     {998, 3, 399, 398, 1, 1196},
                     {1000, 2, 400, 400, 2, 800}};
    stats::ScoreSummary& s = run.summary;
    s.songs = 10;
    s.mean = 996.4;
    s.standardError = 0.9568466729;
    s.meanInterval95 = {994.2354490, 998.5645510};
    s.standardDeviation = 3.0258148581;
    s.min = 990, s.p1 = 990, s.p5 = 990, s.p25 = 995, s.median = 995, s.p75 = 998, s.p95 = 1000, s.p99 = 1000,
    s.max = 1000;
    s.marvelousMean = 397.2;
    s.marvelousMin = 392;
    s.marvelousMax = 400;
    s.aaa = stats::proportionOf(3, 10);
    s.perfectScore = stats::proportionOf(2, 10);
    s.atLeast = {{990, stats::proportionOf(10, 10), true}, {1001, stats::proportionOf(0, 10), false}};
    run.bestScore = 1000;
    run.census = {9990001, 9960001, 2145338862, 2138903862};
    run.exact = {0.67018595, 398.40004, 0.20125784, 0.67052308, 398.40189, 0.20163208};
    return run;
}

// One song of 300 steps (best score 999) that scored 950: no interval, no
// deviation (NaN), every quantile 950.
inline output::SimulationRecord oneSongRecord() {
    output::SimulationRecord run;
    run.songs = 1;
    run.steps = 300;
    run.perfectRatio = 0.9;
    run.perfectRatioText = "0.9";
    run.seed = 7;
    run.threads = 1;
    run.elapsedSeconds = 0;
    run.histogram = {{950, 1, 280, 280, 0, 280}};
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    stats::ScoreSummary& s = run.summary;
    s.songs = 1;
    s.mean = 950;
    s.standardError = nan;
    s.meanInterval95 = {nan, nan};
    s.standardDeviation = nan;
    s.min = s.p1 = s.p5 = s.p25 = s.median = s.p75 = s.p95 = s.p99 = s.max = 950;
    s.marvelousMean = 280;
    s.marvelousMin = s.marvelousMax = 280;
    s.aaa = stats::proportionOf(0, 1);
    s.perfectScore = stats::proportionOf(0, 1);
    run.bestScore = 999;
    run.census = {9000001, 9300001, 1932983862, 1997333862};
    run.exact = {1.8e-14, 279.00003, 0, 1.95e-14, 279.02432, 0};
    return run;
}

// A thousand songs, all AAA with every step marvelous: score 1000 each.
inline output::SimulationRecord allAaaRecord() {
    output::SimulationRecord run;
    run.songs = 1000;
    run.steps = 400;
    run.perfectRatio = 1;
    run.perfectRatioText = "1";
    run.seed = 3;
    run.histogram = {{1000, 1000, 400, 400, 1000, 400000}};
    stats::ScoreSummary& s = run.summary;
    s.songs = 1000;
    s.mean = 1000;
    s.standardError = 0;
    s.meanInterval95 = {1000, 1000};
    s.standardDeviation = 0;
    s.min = s.p1 = s.p5 = s.p25 = s.median = s.p75 = s.p95 = s.p99 = s.max = 1000;
    s.marvelousMean = 400;
    s.marvelousMin = s.marvelousMax = 400;
    s.aaa = stats::proportionOf(1000, 1000);
    s.perfectScore = stats::proportionOf(1000, 1000);
    run.bestScore = 1000;
    run.census = {10000000, 10000000, 2147483648, 2147483648};
    run.exact = {1, 400, 1, 1, 400, 1};
    return run;
}

// Every score from 0 to 1000, a bell around 600 (songs per score
// 1 + floor(5000 exp(-z^2 / 2)), z = (score - 600) / 180), highest first.
inline output::SimulationRecord everyScoreRecord() {
    output::SimulationRecord run = tenSongRecord();
    run.histogram.clear();
    std::int64_t songs = 0;
    for (std::int32_t score = 1000; score >= 0; --score) {
        const double z = (score - 600) / 180.0;
        const auto count = 1 + static_cast<std::int64_t>(std::floor(5000 * std::exp(-z * z / 2)));
        run.histogram.push_back({score, count, 300, 200, 0, 250 * count});
        songs += count;
    }
    run.songs = static_cast<std::int32_t>(songs);
    run.summary.songs = songs;
    run.summary.mean = 600;
    run.summary.median = 600;
    run.summary.meanInterval95 = {599.5, 600.5};
    run.summary.aaa = stats::proportionOf(0, songs);
    return run;
}

} // namespace quorvex::testing
