#include "sim/engine/score_aggregate.h"

#include <algorithm>

namespace quorvex {

void ScoreAggregate::record(const SongResult& song) {
    recordRepeated(song, 1);
}

void ScoreAggregate::recordRepeated(const SongResult& song, std::int64_t count) {
    if (count <= 0)
        return;
    mergeRow({song.songScore, count, song.marvelousCount, song.marvelousCount, song.aaaFlag ? count : 0,
              count * song.marvelousCount});
}

void ScoreAggregate::mergeRow(const ScoreGroup& row) {
    if (row.frequency <= 0)
        return;
    if (row.songScore >= 0 && row.songScore < denseScores) {
        const auto s = static_cast<std::size_t>(row.songScore);
        if (frequency[s] == 0) {
            highestMarvelous[s] = row.highestMarvelous;
            lowestMarvelous[s] = row.lowestMarvelous;
        } else {
            highestMarvelous[s] = std::max(highestMarvelous[s], row.highestMarvelous);
            lowestMarvelous[s] = std::min(lowestMarvelous[s], row.lowestMarvelous);
        }
        frequency[s] += row.frequency;
        aaaCount[s] += row.aaaCount;
        marvelousSum[s] += row.marvelousSum;
        return;
    }
    const auto at =
        std::lower_bound(others.begin(), others.end(), row.songScore,
                         [](const ScoreGroup& r, std::int32_t score) { return r.songScore < score; });
    if (at == others.end() || at->songScore != row.songScore) {
        others.insert(at, row);
        return;
    }
    at->frequency += row.frequency;
    at->highestMarvelous = std::max(at->highestMarvelous, row.highestMarvelous);
    at->lowestMarvelous = std::min(at->lowestMarvelous, row.lowestMarvelous);
    at->aaaCount += row.aaaCount;
    at->marvelousSum += row.marvelousSum;
}

void ScoreAggregate::merge(const ScoreAggregate& other) {
    for (const ScoreGroup& row : other.rows())
        mergeRow(row);
}

std::vector<ScoreGroup> ScoreAggregate::rows() const {
    std::vector<ScoreGroup> result;
    auto other = others.begin();
    while (other != others.end() && other->songScore < 0)
        result.push_back(*other++);
    for (std::int32_t score = 0; score < denseScores; ++score) {
        const auto s = static_cast<std::size_t>(score);
        if (frequency[s] > 0)
            result.push_back(
                {score, frequency[s], highestMarvelous[s], lowestMarvelous[s], aaaCount[s], marvelousSum[s]});
    }
    result.insert(result.end(), other, others.end());
    return result;
}

std::int64_t ScoreAggregate::songCount() const {
    std::int64_t total = 0;
    for (const ScoreGroup& row : rows())
        total += row.frequency;
    return total;
}

} // namespace quorvex
