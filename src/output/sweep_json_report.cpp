#include "output/sweep_json_report.h"

#include "output/json_sections.h"

namespace quorvex::output {

std::string sweepJson(const SweepRecord& sweep) {
    Json ratios = Json::array();
    for (const SweepRow& row : sweep.rows)
        ratios.push_back({{"perfect_ratio", row.run.perfectRatio},
                          {"perfect_ratio_text", row.run.perfectRatioText},
                          {"statistics", statisticsJson(row.run.summary)},
                          {"exact", exactJson(row.run)}});
    const Json document = {{"program", "quorvex"},
                           {"version", "1.0"},
                           {"command", "sweep"},
                           {"parameters",
                            {{"songs", sweep.songs},
                             {"steps", sweep.steps},
                             {"perfect", sweep.perfectText},
                             {"seed", sweep.seed},
                             {"at_least", sweep.atLeast}}},
                           {"best_score", sweep.bestScore},
                           {"ratios", std::move(ratios)}};
    // As for simulate: text that is not valid UTF-8 gets U+FFFD, not a failure.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace quorvex::output
