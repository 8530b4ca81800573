#include "stats/score_goal.h"

#include "stats/quotient_comparison.h"

namespace quorvex::stats {

std::int64_t songsScoringAtLeast(const std::vector<ScoreGroup>& groups, std::int32_t score) {
    std::int64_t songs = 0;
    for (const ScoreGroup& group : groups)
        if (group.songScore >= score && group.frequency > 0)
            songs += group.frequency;
    return songs;
}

bool meetsScoreGoal(const std::vector<ScoreGroup>& groups, const ScoreGoal& goal) {
    std::int64_t songs = 0;
    std::int64_t scoreSum = 0; // below 2^63 for any run of up to 2^53 songs
    for (const ScoreGroup& group : groups) {
        if (group.frequency <= 0)
            continue;
        songs += group.frequency;
        scoreSum += static_cast<std::int64_t>(group.songScore) * group.frequency;
    }
    if (goal.kind == ScoreGoal::Kind::chanceOfScore)
        return quotientAtLeast(songsScoringAtLeast(groups, goal.score), songs, goal.chance);
    return quotientAtLeast(scoreSum, songs, goal.mean);
}

} // namespace quorvex::stats
