#include "output/json_report.h"

#include "output/json_sections.h"
#include "output/score_rows.h"

namespace quorvex::output {

namespace {

Json parametersJson(const SimulationRecord& run) {
    Json atLeast = Json::array();
    for (const stats::ScoreThreshold& threshold : run.summary.atLeast)
        atLeast.push_back(threshold.score);
    return {{"songs", run.songs},
            {"steps", run.steps},
            {"perfect_ratio", run.perfectRatio},
            {"perfect_ratio_text", run.perfectRatioText},
            {"seed", run.seed},
            {"at_least", atLeast}};
}

Json histogramJson(const std::vector<ScoreGroup>& groups) {
    const std::vector<ScoreGroup> rows = highestScoreFirst(groups);
    const double total = static_cast<double>(songsIn(rows));
    Json histogram = Json::array();
    for (const ScoreGroup& row : rows) {
        histogram.push_back({{"score", row.songScore},
                             {"songs", row.frequency},
                             {"share", static_cast<double>(row.frequency) / total},
                             {"highest_marvelous", row.highestMarvelous},
                             {"lowest_marvelous", row.lowestMarvelous},
                             {"aaa_songs", row.aaaCount}});
    }
    return histogram;
}

} // namespace

std::string simulationJson(const SimulationRecord& run) {
    const Json document = {{"program", "quorvex"},
                           {"version", "1.0"},
                           {"command", "simulate"},
                           {"parameters", parametersJson(run)},
                           {"statistics", statisticsJson(run.summary)},
                           {"exact", exactJson(run)},
                           {"best_score", run.bestScore},
                           {"histogram", histogramJson(run.histogram)}};
    // Text the user gave that is not valid UTF-8 is written with U+FFFD in
    // place of the bad bytes rather than failing the whole document.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace quorvex::output
