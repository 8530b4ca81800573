#pragma once

// Answers of `quorvex target` built by hand for the writers' tests.

#include <cmath>
#include <cstdint>
#include <limits>

#include "output/target_record.h"
#include "stats/proportion.h"

namespace quorvex::testing {

// P(AAA) >= 0.5 over 400 steps: a* = 9982687 (the least a with (a / 10^7)^400
// >= 1/2, by 100-digit decimals), kept from ratio 0.9982686 on; 9982686 at
// the double below. The chances 0.99826870^400 = 0.50001350408 and
// 0.9982686^400 = 0.49999346926; the generator's 2143770009 of 2^31 outputs
// give 0.50041479. 52 of 100 songs were AAA: Wilson [0.4232, 0.6154].
inline output::TargetRecord aaaRecord() {
    output::TargetRecord record;
    record.goal.kind = output::TargetGoal::Kind::aaaChance;
    record.goal.chance = 0.5;
    record.goal.chanceText = "0.5";
    record.steps = 400;
    record.songs = 100;
    record.seed = 7;
    record.bestScore = 1000;
    record.threads = 3;
    record.elapsedSeconds = 1.25;
    record.answer.ratio = 0.9982686;
    record.answer.ratioText = "0.9982686";
    record.answer.summary.songs = 100;
    record.answer.summary.aaa = stats::proportionOf(52, 100);
    output::ExactAaaAnswer exact;
    exact.aaaDrawsNeeded = 9982687;
    exact.exactChecks = 0;
    exact.census = {9982687, 9000000, 2143770009, 1932735283};
    exact.target = {0.9982686, exact.census, 0.9982685999999998, 9982686, 2.0e15, 1.9e15, 63};
    exact.ratioBelowText = "0.9982685999999998";
    exact.exact.aaaChance = 0.5000135040836141;
    exact.exact.generatorAaaChance = 0.5004147864279097;
    exact.chanceBelow = 0.4999934692568527;
    record.exact = exact;
    return record;
}

// P(score >= 950) >= 0.5 over 400 steps, searched on ratios k / 100: 51 of
// 100 songs at 0.98 (Wilson [0.4135, 0.6058], which holds 0.5), 49 at 0.97.
inline output::TargetRecord scoreRecord() {
    output::TargetRecord record;
    record.goal.kind = output::TargetGoal::Kind::scoreChance;
    record.goal.chance = 0.5;
    record.goal.chanceText = "0.5";
    record.goal.score = 950;
    record.steps = 400;
    record.songs = 100;
    record.seed = 7;
    record.bestScore = 1000;
    record.threads = 1;
    record.elapsedSeconds = 0.25;
    record.answer.ratio = 0.98;
    record.answer.ratioText = "0.98";
    record.answer.summary.songs = 100;
    record.answer.summary.atLeast = {{950, stats::proportionOf(51, 100), true}};
    output::SimulatedSearch search;
    search.resolution = 0.01;
    search.resolutionText = "0.01";
    search.grid = 100;
    search.runs = 7;
    output::TargetRun below;
    below.ratio = 0.97;
    below.ratioText = "0.97";
    below.summary.songs = 100;
    below.summary.atLeast = {{950, stats::proportionOf(49, 100), true}};
    search.below = below;
    search.goalWithinInterval = true;
    record.search = search;
    return record;
}

// Mean score >= 10 over 1 step, met at the first ratio of the grid, 0.5:
// no ratio below it. Mean 12.5 +- 0.25 with 4 songs (made-up figures).
inline output::TargetRecord meanRecord() {
    output::TargetRecord record;
    record.goal.kind = output::TargetGoal::Kind::meanScore;
    record.goal.mean = 10;
    record.goal.meanText = "10";
    record.steps = 1;
    record.songs = 4;
    record.seed = 0;
    record.bestScore = 1000;
    record.answer.ratio = 0.5;
    record.answer.ratioText = "0.5";
    record.answer.summary.songs = 4;
    record.answer.summary.mean = 12.5;
    record.answer.summary.standardError = 0.125;
    record.answer.summary.meanInterval95 = {12.25, 12.75};
    record.answer.summary.standardDeviation = 0.25;
    output::SimulatedSearch search;
    search.resolution = 0.5;
    search.resolutionText = "0.5";
    search.grid = 2;
    search.runs = 2;
    record.search = search;
    return record;
}

} // namespace quorvex::testing
