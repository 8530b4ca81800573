// The sweep as json: its parameters, and per ratio exactly the statistics
// and exact values simulate's json holds for the same run.

#include "output/sweep_json_report.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "document_checks.h"
#include "output/json_report.h"
#include "sweep_records.h"

namespace quorvex::output {
namespace {

using testing::keysOf;

using Json = nlohmann::ordered_json;

TEST(SweepJsonReport, ParametersThenOneObjectPerRatio) {
    const std::string text = sweepJson(testing::twoRatioSweep());
    ASSERT_EQ(text.back(), '\n');
    const Json document = Json::parse(text);
    EXPECT_EQ(keysOf(document), (std::vector<std::string>{"program", "version", "command", "parameters",
                                                          "best_score", "ratios"}));
    EXPECT_EQ(document["command"], "sweep");
    EXPECT_EQ(document["parameters"].dump(),
              R"({"songs":10,"steps":400,"perfect":"0.999,1","seed":1765222492,"at_least":[990,1001]})");
    EXPECT_EQ(document["best_score"], 1000);
    ASSERT_EQ(document["ratios"].size(), 2U);
    EXPECT_EQ(keysOf(document["ratios"][0]),
              (std::vector<std::string>{"perfect_ratio", "perfect_ratio_text", "statistics", "exact"}));
    EXPECT_EQ(document["ratios"][1]["perfect_ratio"], 1.0);
    EXPECT_EQ(document["ratios"][1]["perfect_ratio_text"], "1");
    // Written ratio by ratio, yet the very bytes of the whole tree dumped at once.
    EXPECT_EQ(document.dump(2) + "\n", text);
    EXPECT_EQ(Json::parse(sweepJson(testing::oneSongSweep())).dump(2) + "\n",
              sweepJson(testing::oneSongSweep()));
    output::SweepRecord none = testing::twoRatioSweep();
    none.rows.clear();
    EXPECT_EQ(Json::parse(sweepJson(none)).dump(2) + "\n", sweepJson(none));
    EXPECT_EQ(text.find("threads"), std::string::npos);
    EXPECT_EQ(text.find("0.0004"), std::string::npos) << "no timing";
}

TEST(SweepJsonReport, EachRatioHoldsWhatSimulateHoldsForItsRun) {
    const output::SweepRecord sweep = testing::twoRatioSweep();
    const Json rows = Json::parse(sweepJson(sweep))["ratios"];
    for (std::size_t i = 0; i < sweep.rows.size(); ++i) {
        const Json simulate = Json::parse(simulationJson(sweep.rows[i].run));
        EXPECT_EQ(rows[i]["statistics"], simulate["statistics"]) << i;
        EXPECT_EQ(rows[i]["exact"], simulate["exact"]) << i;
        EXPECT_EQ(rows[i]["perfect_ratio"], simulate["parameters"]["perfect_ratio"]) << i;
    }
    // NaN as null, as simulate writes it.
    const Json one = Json::parse(sweepJson(testing::oneSongSweep()));
    EXPECT_TRUE(one["ratios"][0]["statistics"]["standard_deviation"].is_null());
}

} // namespace
} // namespace quorvex::output
