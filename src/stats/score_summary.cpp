#include "stats/score_summary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "stats/student_t.h"

namespace quorvex::stats {

namespace {

using Wide = __int128;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Exact sums over the songs of a run.
struct Sums {
    std::int64_t songs = 0;
    Wide score = 0;        // sum of scores
    Wide scoreSquared = 0; // sum of squared scores
    Wide marvelous = 0;    // sum of marvelous counts
    Wide aaa = 0;
};

Sums sumsOf(const std::vector<ScoreGroup>& sorted) {
    Sums sums;
    for (const ScoreGroup& group : sorted) {
        const Wide score = group.songScore;
        sums.songs += group.frequency;
        sums.score += score * group.frequency;
        sums.scoreSquared += score * score * group.frequency;
        sums.marvelous += group.marvelousSum;
        sums.aaa += group.aaaCount;
    }
    return sums;
}

// The sample variance sum((x - mean)^2) / (n - 1), for n >= 2. Formed as
// (n * sum(x^2) - sum(x)^2) / (n (n - 1)) with an exact numerator, rounded
// once to extended; that fits 128 bits for any int32 scores up to 2^31 songs.
// Beyond that, should it not fit, the deviations from the extended mean are
// summed instead.
long double sampleVariance(const Sums& sums, const std::vector<ScoreGroup>& sorted) {
    const Wide n = sums.songs;
    Wide nTimesSquares = 0;
    Wide squareOfSum = 0;
    if (!__builtin_mul_overflow(n, sums.scoreSquared, &nTimesSquares) &&
        !__builtin_mul_overflow(sums.score, sums.score, &squareOfSum)) {
        const long double numerator = static_cast<long double>(nTimesSquares - squareOfSum);
        const long double nl = static_cast<long double>(sums.songs);
        return numerator / (nl * (nl - 1.0L));
    }
    const long double mean = static_cast<long double>(sums.score) / static_cast<long double>(sums.songs);
    long double squares = 0.0L;
    for (const ScoreGroup& group : sorted) {
        const long double deviation = static_cast<long double>(group.songScore) - mean;
        squares += deviation * deviation * static_cast<long double>(group.frequency);
    }
    return squares / (static_cast<long double>(sums.songs) - 1.0L);
}

// The smallest score with at least `percent` per cent of the songs at or
// below it: cumulative * 100 >= percent * n, decided in integers.
std::int32_t quantile(const std::vector<ScoreGroup>& sorted, std::int64_t songs, std::int32_t percent) {
    const Wide needed = Wide{percent} * songs;
    Wide cumulative = 0;
    for (const ScoreGroup& group : sorted) {
        cumulative += group.frequency;
        if (cumulative * 100 >= needed)
            return group.songScore;
    }
    return sorted.back().songScore;
}

} // namespace

ScoreSummary summarize(const std::vector<ScoreGroup>& groups, std::int32_t bestScore,
                       const std::vector<std::int32_t>& atLeast) {
    // 1. The groups that hold songs, ascending by score.
    std::vector<ScoreGroup> sorted;
    std::copy_if(groups.begin(), groups.end(), std::back_inserter(sorted),
                 [](const ScoreGroup& group) { return group.frequency > 0; });
    std::sort(sorted.begin(), sorted.end(),
              [](const ScoreGroup& a, const ScoreGroup& b) { return a.songScore < b.songScore; });
    const Sums sums = sumsOf(sorted);
    const std::int64_t n = sums.songs;

    ScoreSummary summary;
    summary.songs = n;
    summary.aaa = proportionOf(static_cast<std::int64_t>(sums.aaa), n);
    std::int64_t perfect = 0;
    for (const ScoreGroup& group : sorted)
        if (group.songScore == 1000)
            perfect += group.frequency;
    summary.perfectScore = proportionOf(perfect, n);
    for (const std::int32_t score : atLeast) {
        std::int64_t count = 0;
        for (const ScoreGroup& group : sorted)
            if (group.songScore >= score)
                count += group.frequency;
        summary.atLeast.push_back({score, proportionOf(count, n), score <= bestScore});
    }
    if (n == 0) {
        summary.mean = summary.standardError = summary.standardDeviation = notANumber;
        summary.meanInterval95 = {notANumber, notANumber};
        summary.marvelousMean = notANumber;
        return summary;
    }

    // 2. Mean, deviation, standard error and the t interval, each rounded
    //    once from the exact sums.
    const long double nl = static_cast<long double>(n);
    const long double mean = static_cast<long double>(sums.score) / nl;
    summary.mean = static_cast<double>(mean);
    summary.marvelousMean = static_cast<double>(static_cast<long double>(sums.marvelous) / nl);
    if (n >= 2) {
        const long double variance = sampleVariance(sums, sorted);
        const long double error = std::sqrt(variance / nl);
        const long double half = static_cast<long double>(studentT975(n - 1)) * error;
        summary.standardDeviation = static_cast<double>(std::sqrt(variance));
        summary.standardError = static_cast<double>(error);
        summary.meanInterval95 = {static_cast<double>(mean - half), static_cast<double>(mean + half)};
    } else {
        summary.standardError = summary.standardDeviation = notANumber;
        summary.meanInterval95 = {notANumber, notANumber};
    }

    // 3. Order statistics.
    summary.min = sorted.front().songScore;
    summary.max = sorted.back().songScore;
    summary.p1 = quantile(sorted, n, 1);
    summary.p5 = quantile(sorted, n, 5);
    summary.p25 = quantile(sorted, n, 25);
    summary.median = quantile(sorted, n, 50);
    summary.p75 = quantile(sorted, n, 75);
    summary.p95 = quantile(sorted, n, 95);
    summary.p99 = quantile(sorted, n, 99);
    summary.marvelousMin = std::min_element(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
                               return a.lowestMarvelous < b.lowestMarvelous;
                           })->lowestMarvelous;
    summary.marvelousMax = std::max_element(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
                               return a.highestMarvelous < b.highestMarvelous;
                           })->highestMarvelous;
    return summary;
}

} // namespace quorvex::stats
