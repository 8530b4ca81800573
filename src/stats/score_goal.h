#pragma once

#include <cstdint>
#include <vector>

#include "sim/score_group.h"

namespace quorvex::stats {

// What a player asks of a run's songs: at least a share Q of them scoring X
// or more, or a mean score of at least M.
struct ScoreGoal {
    enum class Kind { chanceOfScore, meanScore };
    Kind kind = Kind::meanScore;
    std::int32_t score = 0; // X, for chanceOfScore
    double chance = 0;      // Q in [0, 1], for chanceOfScore
    double mean = 0;        // M in [0, 1000], for meanScore
};

// Songs scoring `score` or more.
std::int64_t songsScoringAtLeast(const std::vector<ScoreGroup>& groups, std::int32_t score);

// Whether the songs meet the goal, decided exactly from their whole-number
// count and score sum (see quotientAtLeast): a share or mean a rounding
// short of the goal does not meet it. Needs at least one song.
bool meetsScoreGoal(const std::vector<ScoreGroup>& groups, const ScoreGoal& goal);

} // namespace quorvex::stats
