#include "output/target_json.h"

#include "output/json_sections.h"

namespace quorvex::output {

namespace {

using Kind = TargetGoal::Kind;

const char* goalName(Kind kind) {
    switch (kind) {
    case Kind::scoreChance:
        return "score_chance";
    case Kind::meanScore:
        return "mean_score";
    case Kind::aaaChance:
        break;
    }
    return "aaa_chance";
}

Json parametersJson(const TargetRecord& record) {
    Json parameters = {{"goal", goalName(record.goal.kind)}};
    if (record.goal.kind != Kind::meanScore) {
        parameters["chance"] = record.goal.chance;
        parameters["chance_text"] = record.goal.chanceText;
    }
    if (record.goal.kind == Kind::scoreChance)
        parameters["score"] = record.goal.score;
    if (record.goal.kind == Kind::meanScore) {
        parameters["mean"] = record.goal.mean;
        parameters["mean_text"] = record.goal.meanText;
    }
    parameters["steps"] = record.steps;
    parameters["songs"] = record.songs;
    parameters["seed"] = record.seed;
    if (record.search) {
        parameters["resolution"] = record.search->resolution;
        parameters["resolution_text"] = record.search->resolutionText;
    }
    return parameters;
}

Json exactAnswerJson(const ExactAaaAnswer& exact) {
    return {{"aaa_draws_needed", exact.aaaDrawsNeeded},
            {"aaa_draws", exact.census.aaaDraws},
            {"draws", 10000000},
            {"aaa_chance", exact.exact.aaaChance},
            {"ratio_below", exact.target.ratioBelow},
            {"ratio_below_text", exact.ratioBelowText},
            {"aaa_draws_below", exact.target.aaaDrawsBelow},
            {"aaa_chance_below", exact.chanceBelow},
            {"aaa_outputs", exact.census.aaaOutputs},
            {"outputs", 2147483648LL},
            {"generator_aaa_chance", exact.exact.generatorAaaChance},
            {"exact_checks", exact.exactChecks}};
}

Json runJson(const TargetRecord& record, const TargetRun& run) {
    Json object = {
        {"perfect_ratio", run.ratio}, {"perfect_ratio_text", run.ratioText}, {"songs", run.summary.songs}};
    const stats::ScoreSummary& s = run.summary;
    switch (record.goal.kind) {
    case Kind::aaaChance: {
        object["aaa"] = proportionJson(s.aaa);
        object["agrees"] = s.aaa.wilson95.contains(record.exact->exact.generatorAaaChance);
        break;
    }
    case Kind::scoreChance: {
        Json atLeast = {{"score", record.goal.score}};
        addProportion(atLeast, s.atLeast.front().songs);
        object["at_least"] = atLeast;
        break;
    }
    case Kind::meanScore:
        object["mean"] = s.mean;
        object["standard_error"] = s.standardError;
        object["mean_ci95"] = intervalJson(s.meanInterval95);
        object["standard_deviation"] = s.standardDeviation;
        break;
    }
    return object;
}

} // namespace

std::string targetJson(const TargetRecord& record) {
    Json document = {{"program", "quorvex"},
                     {"version", "1.0"},
                     {"command", "target"},
                     {"parameters", parametersJson(record)},
                     {"answer",
                      {{"perfect_ratio", record.answer.ratio},
                       {"perfect_ratio_text", record.answer.ratioText},
                       {"perfect_ratio_text_reads_back", record.answer.ratioTextReadsBack},
                       {"method", record.exact ? "exact" : "simulated"}}}};
    if (record.exact)
        document["exact"] = exactAnswerJson(*record.exact);
    if (record.search) {
        const SimulatedSearch& search = *record.search;
        document["search"] = {
            {"grid", search.grid},
            {"runs", search.runs},
            {"bracket", {{"low", search.below ? search.below->ratio : 0.0}, {"high", record.answer.ratio}}},
            {"goal_within_interval", search.goalWithinInterval}};
    }
    document["at_answer"] = runJson(record, record.answer);
    if (record.search) {
        document["at_answer"]["meets"] = true;
        document["below_answer"] =
            record.search->below ? runJson(record, *record.search->below) : Json(nullptr);
        if (record.search->below)
            document["below_answer"]["meets"] = false;
    }
    // Text the user gave that is not valid UTF-8 is written with U+FFFD in
    // place of the bad bytes rather than failing the whole document.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace quorvex::output
