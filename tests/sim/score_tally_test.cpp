#include "sim/score_tally.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "index_death.h"

namespace quorvex {
namespace {

using Row = std::array<long double, ScoreTally::columnCount>;

std::vector<Row> rowsOf(const ScoreTally& tally) {
    std::vector<Row> rows;
    for (std::int32_t r = 0; r < tally.rowCount(); ++r) {
        Row row{};
        for (std::int32_t c = 0; c < ScoreTally::columnCount; ++c)
            row[static_cast<std::size_t>(c)] = tally.cell(r, c);
        rows.push_back(row);
    }
    return rows;
}

TEST(ScoreTallyRecord, EmptyTallyOrdersToNothing) {
    ScoreTally tally;
    EXPECT_EQ(tally.rowCount(), 0);
    tally.order();
    EXPECT_EQ(tally.rowCount(), 0);
}

TEST(ScoreTallyRecord, OneSongMakesOneRow) {
    ScoreTally aaa;
    aaa.record({1000, 400, true});
    EXPECT_EQ(rowsOf(aaa), (std::vector<Row>{{1000, 1, 400, 400, 1}}));
    ScoreTally plain;
    plain.record({731, 12, false});
    EXPECT_EQ(rowsOf(plain), (std::vector<Row>{{731, 1, 12, 12, 0}}));
}

TEST(ScoreTallyRecord, SongsWithOneScoreShareARow) {
    // 40 (AAA) then 55 (not): frequency 2, highest 55, lowest 40, AAA 1; the
    // other order must widen the bounds the other way round.
    ScoreTally forward;
    forward.record({998, 40, true});
    forward.record({998, 55, false});
    EXPECT_EQ(rowsOf(forward), (std::vector<Row>{{998, 2, 55, 40, 1}}));
    ScoreTally backward;
    backward.record({998, 55, false});
    backward.record({998, 40, true});
    EXPECT_EQ(rowsOf(backward), (std::vector<Row>{{998, 2, 55, 40, 1}}));
}

TEST(ScoreTallyRecord, RowsStandInFirstSeenOrderUntilOrdered) {
    ScoreTally tally;
    tally.record({990, 390, false});
    tally.record({1000, 400, true});
    tally.record({995, 395, true});
    tally.record({1000, 400, true});
    EXPECT_EQ(rowsOf(tally),
              (std::vector<Row>{{990, 1, 390, 390, 0}, {1000, 2, 400, 400, 2}, {995, 1, 395, 395, 1}}));
    tally.order();
    EXPECT_EQ(rowsOf(tally),
              (std::vector<Row>{{1000, 2, 400, 400, 2}, {995, 1, 395, 395, 1}, {990, 1, 390, 390, 0}}));
}

TEST(ScoreTallyOrder, DescendingForAnyArrival) {
    // Negative and zero scores (a negative step count yields 0) sort too.
    std::vector<std::int32_t> scores{-5, 0, 7, 500, 999, 1000, 3};
    std::mt19937 shuffler(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(scores.begin(), scores.end(), shuffler);
        ScoreTally tally;
        for (std::int32_t score : scores)
            tally.record({score, score, false});
        tally.order();
        ASSERT_EQ(tally.rowCount(), 7);
        for (std::int32_t r = 1; r < tally.rowCount(); ++r)
            EXPECT_GT(tally.cell(r - 1, ScoreTally::scoreColumn), tally.cell(r, ScoreTally::scoreColumn));
        for (std::int32_t r = 0; r < tally.rowCount(); ++r) // rows move whole
            EXPECT_EQ(tally.cell(r, ScoreTally::scoreColumn),
                      tally.cell(r, ScoreTally::highestMarvelousColumn));
    }
}

// Songs such as a run produces: scores clustered near the top, marvelous
// counts loosely tied to them, about half of them AAA.
std::vector<SongResult> sampleSongs(std::uint32_t seed, int count) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> scoreDrop(0, 60);
    std::uniform_int_distribution<std::int32_t> spread(0, 9);
    std::vector<SongResult> songs;
    for (int i = 0; i < count; ++i) {
        const std::int32_t score = 1000 - scoreDrop(random);
        songs.push_back({score, score - 600 + spread(random), spread(random) < 5});
    }
    return songs;
}

// One worker's share of the songs, counted per score.
std::vector<ScoreGroup> groupsOf(const std::vector<SongResult>& songs, std::size_t begin, std::size_t end) {
    std::map<std::int32_t, ScoreGroup> byScore;
    for (std::size_t i = begin; i < end; ++i) {
        const ScoreGroup one = ScoreGroup::of(songs[i]);
        auto [it, fresh] = byScore.try_emplace(one.songScore, one);
        if (fresh)
            continue;
        ScoreGroup& group = it->second;
        group.frequency += one.frequency;
        group.highestMarvelous = std::max(group.highestMarvelous, one.highestMarvelous);
        group.lowestMarvelous = std::min(group.lowestMarvelous, one.lowestMarvelous);
        group.aaaCount += one.aaaCount;
    }
    std::vector<ScoreGroup> groups;
    groups.reserve(byScore.size());
    for (const auto& [score, group] : byScore)
        groups.push_back(group);
    return groups;
}

TEST(ScoreTallyMerge, EqualsRecordingWhateverTheGroupingAndOrder) {
    const std::vector<SongResult> songs = sampleSongs(2024, 5000);
    ScoreTally recorded;
    for (const SongResult& song : songs)
        recorded.record(song);
    recorded.order();

    std::mt19937 random(99);
    for (std::size_t shares : {1u, 2u, 3u, 7u, 64u}) {
        std::vector<ScoreGroup> groups;
        for (std::size_t s = 0; s < shares; ++s) {
            const std::vector<ScoreGroup> part =
                groupsOf(songs, songs.size() * s / shares, songs.size() * (s + 1) / shares);
            groups.insert(groups.end(), part.begin(), part.end());
        }
        std::shuffle(groups.begin(), groups.end(), random);
        ScoreTally merged;
        for (const ScoreGroup& group : groups)
            merged.merge(group);
        merged.order();
        EXPECT_EQ(rowsOf(merged), rowsOf(recorded)) << shares << " shares";
    }
}

TEST(ScoreTallyMerge, SingleSongGroupsActAsRecords) {
    const std::vector<SongResult> songs = sampleSongs(5, 300);
    ScoreTally recorded;
    ScoreTally merged;
    for (const SongResult& song : songs) {
        recorded.record(song);
        merged.merge(ScoreGroup::of(song));
    }
    // Same rows in the same first-seen order, even before ordering.
    EXPECT_EQ(rowsOf(merged), rowsOf(recorded));
}

TEST(ScoreTallyMerge, EmptyGroupsChangeNothingAndLargeCountsStayExact) {
    ScoreTally tally;
    tally.merge({900, 0, 1, 1, 0});
    EXPECT_EQ(tally.rowCount(), 0);
    // Counts beyond a double's 53 bits must still add exactly.
    const std::int64_t big = (std::int64_t{1} << 60) + 1;
    tally.merge({900, big, 300, 200, big});
    tally.merge({900, 1, 350, 100, 0});
    tally.merge({900, -4, 999, -999, 7});
    EXPECT_EQ(rowsOf(tally), (std::vector<Row>{{900, 0x1p60L + 2, 350, 100, 0x1p60L + 1}}));
}

TEST(ScoreTallyRecord, RowsSurviveGrowthPastManyScores) {
    // 1001 distinct scores (what songs of one step can reach), each recorded
    // twice: every row must keep its cells while the tally grows.
    ScoreTally tally;
    for (int pass = 0; pass < 2; ++pass)
        for (std::int32_t score = 0; score <= 1000; ++score)
            tally.record({score, pass == 0 ? score % 10 : 20 + score % 10, pass == 0});
    ASSERT_EQ(tally.rowCount(), 1001);
    std::vector<Row> expected;
    for (std::int32_t score = 0; score <= 1000; ++score) {
        const auto lowest = static_cast<long double>(score % 10);
        expected.push_back({static_cast<long double>(score), 2, lowest + 20, lowest, 1});
    }
    EXPECT_EQ(rowsOf(tally), expected);
    tally.order();
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(rowsOf(tally), expected);
}

TEST(ScoreTallyCellDeathTest, OutOfRangeCellsEndTheRun) {
    ScoreTally tally;
    EXPECT_EXIT(static_cast<void>(tally.cell(0, 0)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 0 max index = -1"));
    tally.record({1000, 400, true});
    EXPECT_EXIT(static_cast<void>(tally.cell(0, 5)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 5 max index = 4"));
    EXPECT_EXIT(static_cast<void>(tally.cell(0, -1)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: -1 max index = 4"));
    EXPECT_EXIT(static_cast<void>(tally.cell(1, 0)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 1 max index = 0"));
}

TEST(ScoreTallyCellDeathTest, RowsBeyondThoseInUseFailWhateverTheRoomHeld) {
    // Rows past the last score seen are no rows, however much room the tally
    // has set aside for later ones: the message counts the rows in use.
    ScoreTally tally;
    for (std::int32_t score = 0; score < 3; ++score)
        tally.record({score, 0, false});
    EXPECT_EXIT(static_cast<void>(tally.cell(3, 0)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 3 max index = 2"));
    EXPECT_EXIT(static_cast<void>(tally.cell(-1, 0)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: -1 max index = 2"));
    for (std::int32_t score = 3; score < 17; ++score)
        tally.record({score, 0, false});
    EXPECT_EXIT(static_cast<void>(tally.cell(17, 4)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 17 max index = 16"));
    EXPECT_EXIT(static_cast<void>(tally.cell(20, 0)), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 20 max index = 16"));
}

} // namespace
} // namespace quorvex
