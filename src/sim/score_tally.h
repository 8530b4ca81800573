#pragma once

#include <cstdint>

#include "containers/apmatrix.h"
#include "sim/score_group.h"
#include "sim/step_model.h"

namespace quorvex {

// One row per distinct song score, five columns of extended reals, every
// cell a whole number. Rows stand in the order their scores first appeared
// until order() sorts them, highest score first.
//
// The rows live in a matrix with spare rows beyond the rowCount() in use,
// its capacity doubling when full, so that a new row costs amortised O(1)
// (the matrix copies every row whenever it grows). Only the rows in use can
// be reached: a row index outside them fails as the matrix itself would
// with rowCount() rows.
class ScoreTally {
  public:
    enum Column : std::int32_t {
        scoreColumn = 0,
        frequencyColumn = 1,
        highestMarvelousColumn = 2,
        lowestMarvelousColumn = 3,
        aaaCountColumn = 4,
    };
    static constexpr std::int32_t columnCount = 5;

    ScoreTally();

    // Counts one song in the first row with its score, or appends a row.
    void record(const SongResult& song);

    // Folds a group into the row of its score, or appends a row: frequencies
    // and AAA counts add, the marvelous bounds widen. A group of no songs
    // (frequency 0 or less) changes nothing. After order(), a tally built by
    // merges equals cell for cell one built by recording the same songs one
    // by one, whatever the order and grouping of the merges.
    void merge(const ScoreGroup& group);

    // Selection sort, strictly descending by score.
    void order();

    std::int32_t rowCount() const;

    // Read access for the report; a bad row or column ends the process with
    // the container index message.
    long double cell(std::int32_t row, std::int32_t column) const;

  private:
    // The first row whose score equals `songScore`, or -1.
    std::int32_t findRow(std::int32_t songScore) const;
    void appendRow(std::int32_t songScore, long double frequency, long double highest, long double lowest,
                   long double aaaCount);

    std::int32_t rowCount_ = 0;  // rows in use: 0 .. rowCount_ - 1
    apmatrix<long double> rows_; // rows_.numrows() >= rowCount_; the rest are spare
};

} // namespace quorvex
