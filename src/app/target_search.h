#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "app/seeded_run.h"
#include "sim/engine/engine_aggregate.h"
#include "stats/score_goal.h"

namespace quorvex::app {

// The ratios a simulated search may answer: k / grid for k = 1..grid, with
// grid = 1 / resolution rounded up; an inverse within a billionth of a whole
// number counts as that number, so 0.0001 gives 10000 and ratios 0.0001,
// 0.0002, ... that read back from four decimals. At most 2^53, at least 2.
// For a resolution in (0, 0.5].
std::int64_t ratioGrid(double resolution);

// k / grid, the nearest double to the fraction.
double gridRatio(std::int64_t k, std::int64_t grid);

// The seeded runs a search over this grid plays at most: ratio 1, then one
// per halving of the bracket, ceil(log2 grid).
int searchRunsAtMost(std::int64_t grid);

// The songs of the run at ratio k / grid.
struct GridRun {
    std::int64_t k = 0;
    ScoreAggregate songs;
};

struct SimulatedTarget {
    bool reachable = false;       // ratio 1's songs meet the goal
    GridRun answer;               // the least k whose songs meet it (ratio 1 when unreachable)
    std::optional<GridRun> below; // k - 1, which does not; none when k - 1 is 0
    int runs = 0;                 // seeded runs played
};

// The least ratio on the grid whose songs meet the goal, by bisection with
// common random numbers: every ratio plays `request.songs` songs of
// `request.steps` steps from the same seed, as `simulate --seed` would (the
// request's ratio is ignored). With the draws fixed, a song's score never
// falls as the ratio grows (each deviation shrinks with deviationScale and
// a step earns more the smaller its deviation), so neither does a share of
// songs at or above a score, nor the mean: the goal, once met, stays met
// at every higher ratio, and bisection finds the least such ratio among
// those the seed plays. `control` counts the songs of every run and may
// stop the search (RunCancelled).
SimulatedTarget searchScoreGoal(const RunRequest& request, const stats::ScoreGoal& goal, std::int64_t grid,
                                int threads, RunControl* control);

} // namespace quorvex::app
