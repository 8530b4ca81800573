// The summary of a run against figures worked out by hand and against the
// naive computation over the expanded list of songs.
#include "stats/score_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "sim/engine/score_aggregate.h"

namespace quorvex::stats {
namespace {

// A group of `count` songs whose marvelous counts are all `marvelous`.
ScoreGroup uniform(std::int32_t score, std::int64_t count, std::int32_t marvelous, std::int64_t aaa) {
    return {score, count, marvelous, marvelous, aaa, marvelous * count};
}

std::vector<std::int32_t> quantilesOf(const ScoreSummary& s) {
    return {s.min, s.p1, s.p5, s.p25, s.median, s.p75, s.p95, s.p99, s.max};
}

TEST(ScoreSummary, HandBuiltHistogram) {
    // Nine songs: 984 x1, 992 x1, 996 x3, 1000 x4, given out of order.
    //   sum 984 + 992 + 2988 + 4000 = 8964, mean 996;
    //   deviations -12, -4, 0 (x3), +4 (x4): squares 144 + 16 + 64 = 224;
    //   variance 224 / 8 = 28, sd sqrt(28) = 5.29150262212918, se sqrt(28/9) = 1.76383420737639;
    //   t(8) = 2.30600413520417, half-width 4.06740897602453: [991.932591023975, 1000.06740897602].
    // Cumulative songs 1, 2, 5, 9: the p-quantile is the first score with cumulative * 100 >= 9p:
    //   p1 (9), p5 (45): 984; p25 (225), p50 (450): 996; p75 (675), p95, p99: 1000.
    // Marvelous 350; 380; 390, 392, 394; 400 x4: sum 3506, mean 389.555...; AAA 0 + 1 + 2 + 4 = 7.
    const std::vector<ScoreGroup> groups = {
        uniform(1000, 4, 400, 4),
        {996, 3, 394, 390, 2, 390 + 392 + 394},
        uniform(984, 1, 350, 0),
        uniform(992, 1, 380, 1),
    };
    const ScoreSummary s = summarize(groups, 1000, {1000, 996, 997, 990, 1001});
    EXPECT_EQ(s.songs, 9);
    EXPECT_EQ(s.mean, 996.0);
    EXPECT_DOUBLE_EQ(s.standardDeviation, 5.291502622129181);
    EXPECT_DOUBLE_EQ(s.standardError, 1.7638342073763937);
    EXPECT_NEAR(s.meanInterval95.low, 991.93259102397547, 1e-12);
    EXPECT_NEAR(s.meanInterval95.high, 1000.0674089760245, 1e-12);
    EXPECT_EQ(quantilesOf(s), (std::vector<std::int32_t>{984, 984, 984, 996, 996, 1000, 1000, 1000, 1000}));
    EXPECT_DOUBLE_EQ(s.marvelousMean, 389.55555555555554);
    EXPECT_EQ(s.marvelousMin, 350);
    EXPECT_EQ(s.marvelousMax, 400);
    EXPECT_EQ(s.aaa.count, 7);
    EXPECT_EQ(s.aaa.total, 9);
    EXPECT_EQ(s.perfectScore.count, 4);
    // P(score >= X) for 1000, 996, 997, 990, 1001, in the order asked.
    const std::int64_t atLeast[] = {4, 7, 4, 8, 0};
    ASSERT_EQ(s.atLeast.size(), 5U);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(s.atLeast[i].songs.count, atLeast[i]) << s.atLeast[i].score;
        EXPECT_EQ(s.atLeast[i].songs.total, 9);
    }
    EXPECT_EQ(s.atLeast[3].score, 990);
    EXPECT_TRUE(s.atLeast[0].reachable);
    EXPECT_FALSE(s.atLeast[4].reachable);
}

TEST(ScoreSummary, SingleSongHasNoSpread) {
    const ScoreSummary s = summarize({uniform(987, 1, 312, 1)}, 1000, {987, 988});
    EXPECT_EQ(s.songs, 1);
    EXPECT_EQ(s.mean, 987.0);
    EXPECT_TRUE(std::isnan(s.standardDeviation));
    EXPECT_TRUE(std::isnan(s.standardError));
    EXPECT_TRUE(std::isnan(s.meanInterval95.low));
    EXPECT_TRUE(std::isnan(s.meanInterval95.high));
    EXPECT_EQ(quantilesOf(s), std::vector<std::int32_t>(9, 987));
    EXPECT_EQ(s.marvelousMean, 312.0);
    EXPECT_EQ(s.marvelousMin, 312);
    EXPECT_EQ(s.marvelousMax, 312);
    EXPECT_EQ(s.aaa.count, 1);
    EXPECT_EQ(s.perfectScore.count, 0);
    EXPECT_EQ(s.atLeast[0].songs.count, 1);
    EXPECT_EQ(s.atLeast[1].songs.count, 0);
}

TEST(ScoreSummary, QuantilesOnAndJustPastTheBoundaries) {
    struct Case {
        std::int32_t songs; // one song of each score 0 .. songs - 1
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        // 4 songs: exactly 25%, 50%, 75% at or below 0, 1, 2; 99% needs all four.
        {4, {0, 0, 0, 0, 1, 2, 3, 3, 3}},
        // 100 songs: the shares land exactly on k/100, so the p-quantile is score p - 1.
        {100, {0, 0, 4, 24, 49, 74, 94, 98, 99}},
        // 101 songs: each share falls just short at score p - 1, so one more song is needed.
        {101, {0, 1, 5, 25, 50, 75, 95, 99, 100}},
        // 20 songs: 19/20 = 95% exactly at score 18.
        {20, {0, 0, 0, 4, 9, 14, 18, 19, 19}},
    };
    for (const Case& c : cases) {
        std::vector<ScoreGroup> groups;
        groups.reserve(static_cast<std::size_t>(c.songs));
        for (std::int32_t score = 0; score < c.songs; ++score)
            groups.push_back(uniform(score, 1, 0, 0));
        EXPECT_EQ(quantilesOf(summarize(groups, 1000, {})), c.expected) << c.songs << " songs";
    }
}

TEST(ScoreSummary, ThresholdsAboveTheBestScoreAreUnreachable) {
    // 300 steps allow at most 999.
    const ScoreSummary s =
        summarize({uniform(999, 5, 300, 5), uniform(950, 3, 200, 0)}, 999, {1000, 999, 1200, -5});
    const bool reachable[] = {false, true, false, true};
    const std::int64_t counts[] = {0, 5, 0, 8};
    ASSERT_EQ(s.atLeast.size(), 4U);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.atLeast[i].reachable, reachable[i]) << s.atLeast[i].score;
        EXPECT_EQ(s.atLeast[i].songs.count, counts[i]) << s.atLeast[i].score;
    }
    EXPECT_EQ(s.atLeast[0].songs.wilson95.low, 0.0);
}

TEST(ScoreSummary, GroupsWithoutSongsArePassedOver) {
    const ScoreSummary with =
        summarize({uniform(1000, 0, 999, 0), uniform(990, 2, 380, 1), uniform(10, 0, 1, 0)}, 1000, {1000});
    EXPECT_EQ(with.songs, 2);
    EXPECT_EQ(with.min, 990);
    EXPECT_EQ(with.max, 990);
    EXPECT_EQ(with.marvelousMin, 380);
    EXPECT_EQ(with.marvelousMax, 380);
    EXPECT_EQ(with.perfectScore.count, 0);
    EXPECT_EQ(with.standardDeviation, 0.0);
}

TEST(ScoreSummary, NoSongsGiveNaNsZerosAndEmptyProportions) {
    const ScoreSummary s = summarize({}, 1000, {990});
    EXPECT_EQ(s.songs, 0);
    for (const double value : {s.mean, s.standardError, s.standardDeviation, s.meanInterval95.low,
                               s.meanInterval95.high, s.marvelousMean})
        EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(quantilesOf(s), std::vector<std::int32_t>(9, 0));
    EXPECT_EQ(s.marvelousMin, 0);
    EXPECT_EQ(s.marvelousMax, 0);
    for (const Proportion& p : {s.aaa, s.perfectScore, s.atLeast.at(0).songs}) {
        EXPECT_EQ(p.total, 0);
        EXPECT_TRUE(std::isnan(p.share));
        EXPECT_EQ(p.wilson95.low, 0.0);
        EXPECT_EQ(p.wilson95.high, 1.0);
    }
}

TEST(ScoreSummary, SpreadOfTwoToTheThirtyOneSongsIsExact) {
    // 2^31 - 1 songs of 1000 and one of 0: mean 1000 (1 - 2^-31) = 999.9999995343387;
    // n sum(x^2) - sum(x)^2 = 10^6 (2^31 - 1), so the variance is 10^6 / 2^31 and
    // sd = 1000 / 2^15.5 = 0.02157918643757774. Summing squares in doubles would
    // cancel 31 of the 53 bits.
    const ScoreSummary s = summarize({uniform(1000, 2147483647, 400, 0), uniform(0, 1, 0, 0)}, 1000, {});
    EXPECT_EQ(s.songs, 2147483648);
    EXPECT_DOUBLE_EQ(s.mean, 999.9999995343387);
    EXPECT_DOUBLE_EQ(s.standardDeviation, 0.02157918643757774);
    EXPECT_DOUBLE_EQ(s.standardError, 4.656612873077393e-7);
    EXPECT_EQ(s.p1, 1000);
}

TEST(ScoreSummary, SpreadBeyondTheExactRangeStillComesOut) {
    // 2^61 songs of 0 and 2^61 of 1000: n sum(x^2) needs 143 bits. Mean 500,
    // sd 500 sqrt(n / (n - 1)), which is 500 in doubles. (Two marvelous steps
    // a song keep the group's marvelous sum, 2^62, within its 64 bits.)
    const std::int64_t half = std::int64_t{1} << 61;
    const ScoreSummary s = summarize({uniform(0, half, 0, 0), uniform(1000, half, 2, half)}, 1000, {});
    EXPECT_EQ(s.mean, 500.0);
    EXPECT_DOUBLE_EQ(s.standardDeviation, 500.0);
    EXPECT_EQ(s.median, 0);
    EXPECT_EQ(s.p75, 1000);
    EXPECT_EQ(s.aaa.count, half);
    EXPECT_EQ(s.marvelousMean, 1.0);
}

TEST(ScoreSummary, AgreesWithTheNaiveComputationOverExpandedSongs) {
    std::mt19937 random(20240611);
    for (int trial = 0; trial < 300; ++trial) {
        // 1. Songs with random scores (a few distinct values, some repeated)
        //    and random marvelous counts and AAA flags.
        const int songCount = std::uniform_int_distribution<int>(1, 60)(random);
        const int low = std::uniform_int_distribution<int>(0, 995)(random);
        std::uniform_int_distribution<int> score(low, std::min(1000, low + 12));
        std::uniform_int_distribution<int> marvelous(0, 400);
        std::vector<std::int32_t> scores;
        std::int64_t aaa = 0, marvelousSum = 0;
        std::int32_t marvelousMin = 400, marvelousMax = 0;
        ScoreAggregate byScore; // groups the songs by score, as the engine does
        for (int i = 0; i < songCount; ++i) {
            const SongResult song{score(random), marvelous(random), (random() & 1U) != 0};
            byScore.record(song);
            scores.push_back(song.songScore);
            aaa += song.aaaFlag ? 1 : 0;
            marvelousSum += song.marvelousCount;
            marvelousMin = std::min(marvelousMin, song.marvelousCount);
            marvelousMax = std::max(marvelousMax, song.marvelousCount);
        }
        std::vector<ScoreGroup> groups = byScore.rows();
        std::shuffle(groups.begin(), groups.end(), random);
        const std::int32_t threshold = score(random);
        const ScoreSummary s = summarize(groups, 1000, {threshold});

        // 2. The naive way: sort the list, two-pass mean and deviation, the
        //    p-quantile as the element of rank ceil(p n / 100).
        std::sort(scores.begin(), scores.end());
        const auto n = static_cast<double>(songCount);
        double sum = 0;
        for (const std::int32_t x : scores)
            sum += x;
        const double mean = sum / n;
        double squares = 0;
        for (const std::int32_t x : scores)
            squares += (x - mean) * (x - mean);
        EXPECT_NEAR(s.mean, mean, 1e-12);
        if (songCount >= 2) {
            const double sd = std::sqrt(squares / (n - 1));
            EXPECT_NEAR(s.standardDeviation, sd, 1e-9);
            EXPECT_NEAR(s.standardError, sd / std::sqrt(n), 1e-9);
            EXPECT_NEAR(s.meanInterval95.high - s.mean, s.mean - s.meanInterval95.low, 1e-9);
        }
        std::vector<std::int32_t> naive{scores.front()};
        for (const int p : {1, 5, 25, 50, 75, 95, 99}) {
            const auto rank = static_cast<std::size_t>(std::ceil(p * n / 100 - 1e-9));
            naive.push_back(scores[rank - 1]);
        }
        naive.push_back(scores.back());
        EXPECT_EQ(quantilesOf(s), naive) << "trial " << trial;
        EXPECT_NEAR(s.marvelousMean, static_cast<double>(marvelousSum) / n, 1e-12);
        EXPECT_EQ(s.marvelousMin, marvelousMin);
        EXPECT_EQ(s.marvelousMax, marvelousMax);
        EXPECT_EQ(s.aaa.count, aaa);
        EXPECT_EQ(s.perfectScore.count, std::count(scores.begin(), scores.end(), 1000));
        EXPECT_EQ(s.atLeast.at(0).songs.count,
                  scores.end() - std::lower_bound(scores.begin(), scores.end(), threshold));
    }
}

} // namespace
} // namespace quorvex::stats
