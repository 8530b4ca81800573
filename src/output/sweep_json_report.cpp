#include "output/sweep_json_report.h"

#include "output/json_sections.h"

namespace quorvex::output {

std::string sweepJson(const SweepRecord& sweep) {
    // 1. Everything but the ratios, with their array empty.
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
                           {"ratios", Json::array()}};
    // As for simulate: text that is not valid UTF-8 gets U+FFFD, not a failure.
    std::string text = document.dump(2, ' ', false, Json::error_handler_t::replace);
    if (sweep.rows.empty())
        return text + "\n";

    // 2. The ratios one at a time, each indented as the array's elements are
    //    (two levels down): the same bytes as dumping one tree holding them
    //    all, without the tree, which for 10,000 ratios took three times
    //    the 19 MB of text.
    constexpr std::string_view emptyRatios = "[]\n}";
    text.erase(text.size() - emptyRatios.size());
    text += "[\n";
    for (std::size_t i = 0; i < sweep.rows.size(); ++i) {
        const SimulationRecord& run = sweep.rows[i].run;
        const Json ratio = {{"perfect_ratio", run.perfectRatio},
                            {"perfect_ratio_text", run.perfectRatioText},
                            {"statistics", statisticsJson(run.summary)},
                            {"exact", exactJson(run)}};
        const std::string element = ratio.dump(2, ' ', false, Json::error_handler_t::replace);
        text += "    ";
        for (const char c : element) {
            text += c;
            if (c == '\n')
                text += "    ";
        }
        text += i + 1 < sweep.rows.size() ? ",\n" : "\n";
    }
    text += "  ]\n}\n";
    return text;
}

} // namespace quorvex::output
