#pragma once

#include <cstdint>
#include <vector>

#include "sim/score_group.h"
#include "stats/proportion.h"

namespace quorvex::stats {

// P(score >= score) over the songs of a run.
struct ScoreThreshold {
    std::int32_t score;
    Proportion songs;
    bool reachable; // false: above the best score these steps allow, so the share is 0 by construction
};

// What a player asks of a run's songs, from its histogram alone.
struct ScoreSummary {
    std::int64_t songs = 0;

    // Song score: mean with its standard error and a 95% interval from
    // Student's t with songs - 1 degrees of freedom; the sample standard
    // deviation (divisor songs - 1). With fewer than two songs the standard
    // error, the deviation and the interval's ends are NaN.
    double mean = 0;
    double standardError = 0;
    Interval meanInterval95{};
    double standardDeviation = 0;

    // The p-quantile is the smallest score with at least that share of the
    // songs at or below it.
    std::int32_t min = 0, p1 = 0, p5 = 0, p25 = 0, median = 0, p75 = 0, p95 = 0, p99 = 0, max = 0;

    // Marvelous steps per song.
    double marvelousMean = 0;
    std::int32_t marvelousMin = 0, marvelousMax = 0;

    Proportion aaa{};                    // songs whose every step stayed in the perfect window
    Proportion perfectScore{};           // songs scoring 1000
    std::vector<ScoreThreshold> atLeast; // one per asked score, in the order asked
};

// Summarises a run from its score groups (any order, distinct scores, as
// ScoreAggregate::rows gives them). `bestScore` is the highest score the
// run's step count allows (see bestScoreFor); `atLeast` are the scores X of
// the P(score >= X) the user asked for.
//
// Sums are exact integers; each figure is rounded once from them. Groups of
// no songs (frequency 0 or less) are passed over. The songs of all groups
// together must fit 64 bits; up to 2^31 songs the variance is exact before
// its one rounding, beyond that it may be summed in extended precision.
//
// A run of no songs gives songs 0; mean, marvelous mean, standard error,
// deviation and the interval's ends NaN; scores and marvelous bounds 0; and
// proportions of 0 out of 0 (share NaN, interval [0, 1]), one per asked score
// as usual.
ScoreSummary summarize(const std::vector<ScoreGroup>& groups, std::int32_t bestScore,
                       const std::vector<std::int32_t>& atLeast);

} // namespace quorvex::stats
