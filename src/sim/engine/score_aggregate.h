#pragma once

#include <cstdint>
#include <vector>

#include "sim/score_group.h"
#include "sim/step_model.h"

namespace quorvex {

// Song results folded by score, the form in which the engine's threads hand
// their songs over. The order of the songs is lost on purpose: the tally's
// ordering by unique score makes the report independent of it.
//
// Scores 0..1000 (every score a run with a positive step count can reach)
// live in dense arrays indexed by score; any other score goes to `others`, a
// defensive fallback that stays empty in practice. Cells of a score with
// frequency 0 are all 0. To iterate, use rows(): one row per score seen, in
// ascending score order, ready for ScoreTally::merge.
struct ScoreAggregate {
    static constexpr std::int32_t denseScores = 1001;

    std::int64_t frequency[denseScores] = {};
    std::int32_t highestMarvelous[denseScores] = {};
    std::int32_t lowestMarvelous[denseScores] = {};
    std::int64_t aaaCount[denseScores] = {};
    std::int64_t marvelousSum[denseScores] = {};
    std::vector<ScoreGroup> others; // ascending by score

    void record(const SongResult& song);
    // Adds `count` songs that all had this result.
    void recordRepeated(const SongResult& song, std::int64_t count);
    void merge(const ScoreAggregate& other);
    std::vector<ScoreGroup> rows() const;
    std::int64_t songCount() const;

    friend bool operator==(const ScoreAggregate&, const ScoreAggregate&) = default;

  private:
    void mergeRow(const ScoreGroup& row);
};

} // namespace quorvex
