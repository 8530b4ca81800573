#pragma once

#include <cstdint>
#include <vector>

#include "sim/step_model.h"

namespace quorvex {

// One pre-aggregated tally row: every song of one score folded together.
struct ScoreRow {
    std::int32_t score;
    std::int64_t frequency;
    std::int32_t highestMarvelous;
    std::int32_t lowestMarvelous;
    std::int64_t aaaCount;
    friend bool operator==(const ScoreRow&, const ScoreRow&) = default;
};

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
    std::vector<ScoreRow> others; // ascending by score

    void record(const SongResult& song);
    // Adds `count` songs that all had this result.
    void recordRepeated(const SongResult& song, std::int64_t count);
    void merge(const ScoreAggregate& other);
    std::vector<ScoreRow> rows() const;
    std::int64_t songCount() const;

    friend bool operator==(const ScoreAggregate&, const ScoreAggregate&) = default;

private:
    void mergeRow(const ScoreRow& row);
};

} // namespace quorvex
