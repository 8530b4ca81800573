#include "output/score_rows.h"

#include <algorithm>

namespace quorvex::output {

std::vector<ScoreGroup> highestScoreFirst(std::vector<ScoreGroup> groups) {
    std::sort(groups.begin(), groups.end(),
              [](const ScoreGroup& a, const ScoreGroup& b) { return a.songScore > b.songScore; });
    return groups;
}

std::int64_t songsIn(const std::vector<ScoreGroup>& groups) {
    std::int64_t songs = 0;
    for (const ScoreGroup& group : groups)
        songs += group.frequency;
    return songs;
}

} // namespace quorvex::output
