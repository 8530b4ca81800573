#include "sim/score_tally.h"

#include <limits>

#include "containers/index_failure.h"

namespace quorvex {

namespace {

// Spare rows made the first time the tally grows.
constexpr std::int32_t firstCapacity = 16;

} // namespace

ScoreTally::ScoreTally() : rows_(0, columnCount, 0.0L) {}

std::int32_t ScoreTally::rowCount() const {
    return rowCount_;
}

long double ScoreTally::cell(std::int32_t row, std::int32_t column) const {
    // A spare row is no row: the message counts the rows in use.
    if (row < 0 || row >= rowCount_) [[unlikely]]
        failIndex("matrix", row, rowCount_ - 1);
    return rows_[row][column];
}

std::int32_t ScoreTally::findRow(std::int32_t songScore) const {
    // The score is compared as an extended real, as the cells hold it.
    const long double key = songScore;
    for (std::int32_t r = 0; r < rowCount_; ++r)
        if (rows_[r][scoreColumn] == key)
            return r;
    return -1;
}

void ScoreTally::appendRow(std::int32_t songScore, long double frequency, long double highest,
                           long double lowest, long double aaaCount) {
    // 1. When no spare row is left, double the capacity, keeping every
    //    existing cell (a tally never holds more rows than int32 counts).
    const std::int32_t r = rowCount_;
    if (r == rows_.numrows()) {
        constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
        const std::int32_t capacity = r < firstCapacity ? firstCapacity : (r > most / 2 ? most : 2 * r);
        rows_.resize(capacity, columnCount);
    }
    // 2. Take the next spare row; its five cells are all written here before
    //    anything reads them.
    rowCount_ = r + 1;
    rows_[r][scoreColumn] = songScore;
    rows_[r][frequencyColumn] = frequency;
    rows_[r][highestMarvelousColumn] = highest;
    rows_[r][lowestMarvelousColumn] = lowest;
    rows_[r][aaaCountColumn] = aaaCount;
}

void ScoreTally::record(const SongResult& song) {
    merge(ScoreGroup::of(song));
}

void ScoreTally::merge(const ScoreGroup& group) {
    if (group.frequency <= 0)
        return;
    // Counts below 2^64 convert exactly, and sums of whole numbers stay exact
    // in the 64-bit significand: the order of additions cannot matter.
    const auto frequency = static_cast<long double>(group.frequency);
    const auto aaaCount = static_cast<long double>(group.aaaCount);
    // 1. The first row with this score counts the songs.
    const std::int32_t r = findRow(group.songScore);
    if (r >= 0) {
        rows_[r][frequencyColumn] += frequency;
        if (group.highestMarvelous > rows_[r][highestMarvelousColumn])
            rows_[r][highestMarvelousColumn] = group.highestMarvelous;
        if (group.lowestMarvelous < rows_[r][lowestMarvelousColumn])
            rows_[r][lowestMarvelousColumn] = group.lowestMarvelous;
        rows_[r][aaaCountColumn] += aaaCount;
        return;
    }
    // 2. A score seen for the first time gets a new last row.
    appendRow(group.songScore, frequency, group.highestMarvelous, group.lowestMarvelous, aaaCount);
}

void ScoreTally::order() {
    const std::int32_t count = rowCount_;
    for (std::int32_t k = 0; k < count; ++k) {
        // 1. The row with the highest score from k on; the first such row
        //    wins, since only a strictly greater score displaces it.
        //    The best score so far is held aside rather than read again.
        std::int32_t best = k;
        long double bestScore = rows_[k][scoreColumn];
        for (std::int32_t i = k + 1; i < count; ++i) {
            const long double score = rows_[i][scoreColumn];
            if (score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        // 2. Exchange rows best and k cell by cell (no change when equal).
        for (std::int32_t c = 0; c < columnCount; ++c) {
            const long double held = rows_[k][c];
            rows_[k][c] = rows_[best][c];
            rows_[best][c] = held;
        }
    }
}

} // namespace quorvex
