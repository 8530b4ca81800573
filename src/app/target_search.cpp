#include "app/target_search.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace quorvex::app {

namespace {

constexpr long double largestGrid = 0x1p53L; // every k / grid still a distinct double

} // namespace

std::int64_t ratioGrid(double resolution) {
    const long double inverse = 1.0L / static_cast<long double>(resolution);
    const long double nearest = std::round(inverse);
    const long double grid = std::fabs(inverse - nearest) <= 1e-9L * inverse ? nearest : std::ceil(inverse);
    return static_cast<std::int64_t>(std::clamp(grid, 2.0L, largestGrid));
}

double gridRatio(std::int64_t k, std::int64_t grid) {
    // Both below 2^53, so exact as doubles: one rounding.
    return static_cast<double>(k) / static_cast<double>(grid);
}

int searchRunsAtMost(std::int64_t grid) {
    return 1 + static_cast<int>(std::bit_width(static_cast<std::uint64_t>(grid - 1)));
}

SimulatedTarget searchScoreGoal(const RunRequest& request, const stats::ScoreGoal& goal, std::int64_t grid,
                                int threads, RunControl* control) {
    SimulatedTarget target;
    const auto play = [&](std::int64_t k) {
        RunRequest at = request;
        at.perfectRatio = gridRatio(k, grid);
        SeededRun run = playSeededRun(at, threads, control);
        ++target.runs;
        if (run.fault != ModelFault::none) // ratios in (0, 1] always play
            throw std::logic_error("the model cannot play ratio " + std::to_string(at.perfectRatio));
        return GridRun{k, std::move(run.songs)};
    };
    // 1. Ratio 1: if its songs fall short, no ratio's do.
    target.answer = play(grid);
    if (!stats::meetsScoreGoal(target.answer.songs.rows(), goal))
        return target;
    target.reachable = true;
    // 2. Bisection: k = low falls short (0 by convention), k = high meets the goal.
    std::int64_t low = 0;
    while (target.answer.k - low > 1) {
        const std::int64_t middle = low + (target.answer.k - low) / 2;
        GridRun run = play(middle);
        if (stats::meetsScoreGoal(run.songs.rows(), goal)) {
            target.answer = std::move(run);
        } else {
            low = middle;
            target.below = std::move(run);
        }
    }
    return target;
}

} // namespace quorvex::app
