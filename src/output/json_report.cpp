#include "output/json_report.h"

#include <nlohmann/json.hpp>

#include "output/exact_agreement.h"
#include "output/score_rows.h"

namespace quorvex::output {

namespace {

using Json = nlohmann::ordered_json;

Json intervalJson(const stats::Interval& interval) {
    return {{"low", interval.low}, {"high", interval.high}};
}

void addProportion(Json& object, const stats::Proportion& p) {
    object["count"] = p.count;
    object["total"] = p.total;
    object["share"] = p.share;
    object["ci95"] = intervalJson(p.wilson95);
}

Json proportionJson(const stats::Proportion& p) {
    Json object = Json::object();
    addProportion(object, p);
    return object;
}

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

Json statisticsJson(const stats::ScoreSummary& s) {
    Json atLeast = Json::array();
    for (const stats::ScoreThreshold& threshold : s.atLeast) {
        Json entry = {{"score", threshold.score}, {"reachable", threshold.reachable}};
        addProportion(entry, threshold.songs);
        atLeast.push_back(entry);
    }
    return {{"songs", s.songs},
            {"mean", s.mean},
            {"standard_error", s.standardError},
            {"mean_ci95", intervalJson(s.meanInterval95)},
            {"standard_deviation", s.standardDeviation},
            {"min", s.min},
            {"p1", s.p1},
            {"p5", s.p5},
            {"p25", s.p25},
            {"median", s.median},
            {"p75", s.p75},
            {"p95", s.p95},
            {"p99", s.p99},
            {"max", s.max},
            {"marvelous_mean", s.marvelousMean},
            {"marvelous_min", s.marvelousMin},
            {"marvelous_max", s.marvelousMax},
            {"aaa", proportionJson(s.aaa)},
            {"perfect_score", proportionJson(s.perfectScore)},
            {"at_least", atLeast}};
}

Json exactJson(const SimulationRecord& run) {
    const ExactAgreement agreement = exactAgreementOf(run);
    return {{"census",
             {{"aaa_draws", run.census.aaaDraws},
              {"marvelous_draws", run.census.marvelousDraws},
              {"draws", 10000000},
              {"aaa_outputs", run.census.aaaOutputs},
              {"marvelous_outputs", run.census.marvelousOutputs},
              {"outputs", 2147483648LL}}},
            {"aaa_chance",
             {{"value", run.exact.aaaChance},
              {"generator_value", run.exact.generatorAaaChance},
              {"agrees", agreement.aaaChance}}},
            {"marvelous_mean",
             {{"value", run.exact.marvelousMean},
              {"generator_value", run.exact.generatorMarvelousMean},
              {"band95", intervalJson(agreement.marvelousBand)},
              {"agrees", agreement.marvelousMean}}},
            {"perfect_score_chance",
             {{"value", run.exact.perfectScoreChance},
              {"generator_value", run.exact.generatorPerfectScoreChance},
              {"agrees", agreement.perfectScoreChance}}}};
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
