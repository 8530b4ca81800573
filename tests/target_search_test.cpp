// The simulated search: its grid of ratios, the order it relies on (with
// the draws fixed, no song scores less at a higher ratio), and its answer
// against every ratio of a coarse grid played one by one.
#include "app/target_search.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/step_model.h"

namespace quorvex::app {
namespace {

class TargetSearchTest : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

TEST_F(TargetSearchTest, GridFromTheResolution) {
    struct Case {
        double resolution;
        std::int64_t grid;
    };
    const Case cases[] = {
        {0.0001, 10000}, // 1 / 0.0001 (the double) is 9999.9999999999995: within a billionth of 10000
        {0.001, 1000},      {0.1, 10},
        {0.5, 2},           {0.25, 4},
        {1.0 / 3, 3},       {0.3, 4}, // 3.33 rounded up: steps of 0.25, within the resolution
        {0.00012345, 8101}, {1e-300, 9007199254740992}, // at most 2^53
    };
    for (const Case& c : cases)
        EXPECT_EQ(ratioGrid(c.resolution), c.grid) << c.resolution;
    EXPECT_EQ(gridRatio(9371, 10000), 0.9371);
    EXPECT_EQ(gridRatio(10000, 10000), 1.0);
    EXPECT_EQ(gridRatio(1, 3), 1.0 / 3);
    // Ratio 1, then one run per halving of 0..grid.
    EXPECT_EQ(searchRunsAtMost(10000), 15);
    EXPECT_EQ(searchRunsAtMost(1024), 11);
    EXPECT_EQ(searchRunsAtMost(1025), 12);
    EXPECT_EQ(searchRunsAtMost(2), 2);
}

TEST_F(TargetSearchTest, NoSongScoresLessAtAHigherRatio) {
    // The plain model, song by song, from the same second at rising ratios.
    const double ratios[] = {0.3, 0.9, 0.9001, 0.95, 0.99, 0.99999, 1.0};
    for (const std::uint32_t seed : {1u, 1700000000u, 4294967295u}) {
        for (const std::int32_t steps : {1, 300, 400}) {
            std::vector<SongResult> previous;
            for (const double ratio : ratios) {
                const RunConstants constants = deriveRunConstants(steps, ratio).constants;
                seedRandom(seed);
                std::vector<SongResult> songs;
                songs.reserve(500);
                for (int song = 0; song < 500; ++song)
                    songs.push_back(simulateSong(steps, constants).result);
                for (std::size_t i = 0; i < previous.size(); ++i) {
                    ASSERT_GE(songs[i].songScore, previous[i].songScore)
                        << "song " << i << " at ratio " << ratio << ", seed " << seed << ", " << steps
                        << " steps";
                    ASSERT_GE(songs[i].marvelousCount, previous[i].marvelousCount) << i;
                    ASSERT_GE(songs[i].aaaFlag, previous[i].aaaFlag) << i;
                }
                previous = songs;
            }
        }
    }
}

TEST_F(TargetSearchTest, TheAnswerIsTheLeastRatioOfTheGridWhoseSongsMeetTheGoal) {
    const RunRequest request{2000, 400, 0.0, 1700000000u};
    const std::int64_t grid = 100;
    const stats::ScoreGoal goals[] = {
        {stats::ScoreGoal::Kind::chanceOfScore, 950, 0.5, 0},
        {stats::ScoreGoal::Kind::chanceOfScore, 1000, 0.1, 0},
        {stats::ScoreGoal::Kind::meanScore, 0, 0, 900.0},
        {stats::ScoreGoal::Kind::meanScore, 0, 0, 10.0},
    };
    for (const stats::ScoreGoal& goal : goals) {
        // 1. Every ratio of the grid, played as `simulate --seed` would.
        std::optional<std::int64_t> least;
        for (std::int64_t k = 1; k <= grid; ++k) {
            const SeededRun run =
                playSeededRun({request.songs, request.steps, gridRatio(k, grid), request.seed}, 2);
            const bool meets = stats::meetsScoreGoal(run.songs.rows(), goal);
            ASSERT_TRUE(!least || meets) << "met at k = " << *least << " but not at " << k;
            if (meets && !least)
                least = k;
        }
        ASSERT_TRUE(least.has_value());
        // 2. The search, playing far fewer.
        RunControl control;
        const SimulatedTarget found = searchScoreGoal(request, goal, grid, 2, &control);
        EXPECT_TRUE(found.reachable);
        EXPECT_EQ(found.answer.k, *least) << goal.score << " " << goal.mean;
        EXPECT_LE(found.runs, searchRunsAtMost(grid));
        EXPECT_EQ(control.songsDoneNow(), found.runs * request.songs);
        if (*least > 1) {
            ASSERT_TRUE(found.below.has_value());
            EXPECT_EQ(found.below->k, *least - 1);
            EXPECT_FALSE(stats::meetsScoreGoal(found.below->songs.rows(), goal));
        } else {
            EXPECT_FALSE(found.below.has_value());
        }
    }
}

TEST_F(TargetSearchTest, AGoalRatioOneMissesEndsTheSearchThere) {
    // At most 999 with 300 steps: a mean of 999.5 is never met.
    const SimulatedTarget found = searchScoreGoal(
        {100, 300, 0.0, 5u}, {stats::ScoreGoal::Kind::meanScore, 0, 0, 999.5}, 10000, 1, nullptr);
    EXPECT_FALSE(found.reachable);
    EXPECT_EQ(found.runs, 1);
    EXPECT_EQ(found.answer.k, 10000);
    EXPECT_FALSE(found.below.has_value());
}

} // namespace
} // namespace quorvex::app
