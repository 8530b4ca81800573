// The target's json parsed back: keys in their fixed order for each goal,
// the figures where they belong, and nothing about threads or time.
#include "output/target_json.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "document_checks.h"
#include "target_records.h"

namespace quorvex::output {
namespace {

using testing::keysOf;

using Json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

TEST(TargetJson, ExactAnswerToTheAaaGoal) {
    const std::string text = targetJson(testing::aaaRecord());
    ASSERT_EQ(text.back(), '\n');
    const Json document = Json::parse(text);
    EXPECT_EQ(keysOf(document),
              (Keys{"program", "version", "command", "parameters", "answer", "exact", "at_answer"}));
    EXPECT_EQ(document["command"], "target");
    EXPECT_EQ(keysOf(document["parameters"]),
              (Keys{"goal", "chance", "chance_text", "steps", "songs", "seed"}));
    EXPECT_EQ(document["parameters"]["goal"], "aaa_chance");
    EXPECT_EQ(document["answer"], (Json{{"perfect_ratio", 0.9982686},
                                        {"perfect_ratio_text", "0.9982686"},
                                        {"perfect_ratio_text_reads_back", true},
                                        {"method", "exact"}}));
    EXPECT_EQ(keysOf(document["exact"]),
              (Keys{"aaa_draws_needed", "aaa_draws", "draws", "aaa_chance", "ratio_below", "ratio_below_text",
                    "aaa_draws_below", "aaa_chance_below", "aaa_outputs", "outputs", "generator_aaa_chance",
                    "exact_checks"}));
    EXPECT_EQ(document["exact"]["aaa_draws_needed"], 9982687);
    EXPECT_EQ(document["exact"]["aaa_draws_below"], 9982686);
    EXPECT_EQ(document["exact"]["aaa_chance"].get<double>(), 0.5000135040836141);
    EXPECT_EQ(document["exact"]["aaa_chance_below"].get<double>(), 0.4999934692568527);
    EXPECT_EQ(document["exact"]["outputs"], 2147483648LL);
    EXPECT_EQ(keysOf(document["at_answer"]),
              (Keys{"perfect_ratio", "perfect_ratio_text", "songs", "aaa", "agrees"}));
    EXPECT_EQ(document["at_answer"]["aaa"]["count"], 52);
    EXPECT_EQ(document["at_answer"]["agrees"], true); // [0.4232, 0.6154] holds 0.50041
    // Three threads and 1.25 s are the machine's, not the answer's.
    EXPECT_EQ(text.find("thread"), std::string::npos);
    EXPECT_EQ(text.find("1.25"), std::string::npos);
}

TEST(TargetJson, SimulatedAnswerWithItsBracket) {
    const Json document = Json::parse(targetJson(testing::scoreRecord()));
    EXPECT_EQ(keysOf(document), (Keys{"program", "version", "command", "parameters", "answer", "search",
                                      "at_answer", "below_answer"}));
    EXPECT_EQ(keysOf(document["parameters"]), (Keys{"goal", "chance", "chance_text", "score", "steps",
                                                    "songs", "seed", "resolution", "resolution_text"}));
    EXPECT_EQ(document["parameters"]["goal"], "score_chance");
    EXPECT_EQ(document["answer"]["method"], "simulated");
    EXPECT_EQ(document["search"], (Json{{"grid", 100},
                                        {"runs", 7},
                                        {"bracket", {{"low", 0.97}, {"high", 0.98}}},
                                        {"goal_within_interval", true}}));
    EXPECT_EQ(keysOf(document["at_answer"]),
              (Keys{"perfect_ratio", "perfect_ratio_text", "songs", "at_least", "meets"}));
    EXPECT_EQ(keysOf(document["at_answer"]["at_least"]), (Keys{"score", "count", "total", "share", "ci95"}));
    EXPECT_EQ(document["at_answer"]["at_least"]["count"], 51);
    EXPECT_EQ(document["at_answer"]["meets"], true);
    EXPECT_EQ(document["below_answer"]["perfect_ratio"].get<double>(), 0.97);
    EXPECT_EQ(document["below_answer"]["at_least"]["count"], 49);
    EXPECT_EQ(document["below_answer"]["meets"], false);
}

TEST(TargetJson, MeanGoalMetAtTheFirstRatioHasNothingBelow) {
    const Json document = Json::parse(targetJson(testing::meanRecord()));
    EXPECT_EQ(keysOf(document["parameters"]),
              (Keys{"goal", "mean", "mean_text", "steps", "songs", "seed", "resolution", "resolution_text"}));
    EXPECT_EQ(document["parameters"]["goal"], "mean_score");
    EXPECT_EQ(document["search"]["bracket"]["low"].get<double>(), 0.0);
    EXPECT_EQ(keysOf(document["at_answer"]),
              (Keys{"perfect_ratio", "perfect_ratio_text", "songs", "mean", "standard_error", "mean_ci95",
                    "standard_deviation", "meets"}));
    EXPECT_EQ(document["at_answer"]["mean"].get<double>(), 12.5);
    EXPECT_TRUE(document["below_answer"].is_null());
}

} // namespace
} // namespace quorvex::output
