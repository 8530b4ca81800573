#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/score_group.h"
#include "stats/draw_census.h"
#include "stats/score_summary.h"

namespace quorvex::output {

// One seeded run of `quorvex simulate`, as every writer sees it.
struct SimulationRecord {
    // The run as asked.
    std::int32_t songs = 0;
    std::int32_t steps = 0;
    double perfectRatio = 0;      // the double the ratio's text reads as
    std::string perfectRatioText; // the text as given, e.g. "0.95"
    std::uint32_t seed = 0;

    // How it ran. Shown in text only: csv and json hold nothing that depends
    // on the machine, the thread count or the time taken.
    int threads = 0;
    double elapsedSeconds = 0;

    // What came out.
    std::vector<ScoreGroup> histogram; // one group per score that occurred, highest score first
    stats::ScoreSummary summary;
    std::int32_t bestScore = 0; // the highest score the step count allows
    stats::DrawCensus census;
    stats::ExactValues exact{};
};

// How text output may draw: the terminal's width in columns (0: not a
// terminal; writers then assume 80) and whether it shows UTF-8.
struct TextStyle {
    int columns = 0;
    bool unicode = false;
};

} // namespace quorvex::output
