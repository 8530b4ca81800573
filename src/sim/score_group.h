#pragma once

#include <cstdint>

#include "sim/step_model.h"

namespace quorvex {

// The songs of one score, already counted together (for instance by one
// worker over a share of the songs), to be folded into a tally at once.
struct ScoreGroup {
    std::int32_t songScore = 0;
    std::int64_t frequency = 0;        // songs in the group
    std::int32_t highestMarvelous = 0; // highest marvelousCount among them
    std::int32_t lowestMarvelous = 0;  // lowest marvelousCount among them
    std::int64_t aaaCount = 0;         // those whose aaaFlag was set
    std::int64_t marvelousSum = 0; // sum of their marvelousCounts (statistics only; the tally has no column)

    // The group of a single song.
    static ScoreGroup of(const SongResult& song) {
        return {song.songScore,     1, song.marvelousCount, song.marvelousCount, song.aaaFlag ? 1 : 0,
                song.marvelousCount};
    }

    friend bool operator==(const ScoreGroup&, const ScoreGroup&) = default;
};

} // namespace quorvex
