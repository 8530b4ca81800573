// The json document parsed back: every field where it belongs, in order.

#include "output/json_report.h"

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "document_checks.h"
#include "simulation_records.h"

namespace quorvex::output {
namespace {

using testing::keysOf;

using Json = nlohmann::ordered_json;

// The shape of a document: the kind of every value and, at every depth, each
// object's keys in their order; arrays element by element.
void expectSameShape(const Json& actual, const Json& expected, const std::string& where) {
    ASSERT_EQ(std::string(actual.type_name()), std::string(expected.type_name())) << where;
    if (expected.is_object()) {
        ASSERT_EQ(keysOf(actual), keysOf(expected)) << where;
        for (const auto& item : expected.items())
            expectSameShape(actual[item.key()], item.value(), where + "/" + item.key());
    } else if (expected.is_array()) {
        ASSERT_EQ(actual.size(), expected.size()) << where;
        for (std::size_t i = 0; i < expected.size(); ++i)
            expectSameShape(actual[i], expected[i], where + "/" + std::to_string(i));
    }
}

// The keys in the order the documented format fixes, read from a golden
// document of the same record (tests/data/simulate_document.json); its
// figures are checked by the tests below.
TEST(JsonReport, KeysComeInTheirFixedOrder) {
    const std::string text = simulationJson(testing::tenSongRecord());
    ASSERT_EQ(text.back(), '\n');
    EXPECT_EQ(text.substr(0, 28), "{\n  \"program\": \"quorvex\",\n  ");
    std::ifstream golden(QUORVEX_TEST_DATA_DIR "/simulate_document.json");
    ASSERT_TRUE(golden.is_open());
    expectSameShape(Json::parse(text), Json::parse(golden), "");
}

TEST(JsonReport, ParametersAndStatisticsReadBack) {
    const Json document = Json::parse(simulationJson(testing::tenSongRecord()));
    EXPECT_EQ(document["program"], "quorvex");
    EXPECT_EQ(document["version"], "1.0");
    EXPECT_EQ(document["command"], "simulate");
    const Json& parameters = document["parameters"];
    EXPECT_EQ(parameters["songs"], 10);
    EXPECT_EQ(parameters["steps"], 400);
    EXPECT_EQ(parameters["perfect_ratio"].get<double>(), 0.999);
    EXPECT_EQ(parameters["perfect_ratio_text"], "0.999");
    EXPECT_EQ(parameters["seed"], 1765222492U);
    EXPECT_EQ(parameters["at_least"], Json::parse("[990, 1001]"));

    const Json& s = document["statistics"];
    EXPECT_EQ(s["songs"], 10);
    EXPECT_EQ(s["mean"].get<double>(), 996.4);
    EXPECT_EQ(s["standard_error"].get<double>(), 0.9568466729);
    EXPECT_EQ(s["mean_ci95"]["low"].get<double>(), 994.2354490);
    EXPECT_EQ(s["mean_ci95"]["high"].get<double>(), 998.5645510);
    EXPECT_EQ(s["standard_deviation"].get<double>(), 3.0258148581);
    EXPECT_EQ(s["p25"], 995);
    EXPECT_EQ(s["median"], 995);
    EXPECT_EQ(s["p75"], 998);
    EXPECT_EQ(s["max"], 1000);
    EXPECT_EQ(s["marvelous_mean"].get<double>(), 397.2);
    EXPECT_EQ(s["marvelous_min"], 392);
    EXPECT_EQ(s["aaa"]["count"], 3);
    EXPECT_EQ(s["aaa"]["total"], 10);
    EXPECT_EQ(s["aaa"]["share"].get<double>(), 0.3);
    EXPECT_NEAR(s["aaa"]["ci95"]["low"].get<double>(), 0.10779, 1e-5); // Wilson for 3 of 10
    EXPECT_NEAR(s["aaa"]["ci95"]["high"].get<double>(), 0.60322, 1e-5);
    EXPECT_EQ(s["perfect_score"]["count"], 2);
    EXPECT_EQ(s["at_least"][1]["score"], 1001);
    EXPECT_EQ(s["at_least"][1]["reachable"], false);
    EXPECT_EQ(s["at_least"][0]["share"].get<double>(), 1.0);
}

TEST(JsonReport, ExactValuesCarryTheCensusAndWhetherTheRunAgrees) {
    const Json exact = Json::parse(simulationJson(testing::tenSongRecord()))["exact"];
    EXPECT_EQ(exact["census"],
              Json::parse(R"({"aaa_draws": 9990001, "marvelous_draws": 9960001, "draws": 10000000,
                              "aaa_outputs": 2145338862, "marvelous_outputs": 2138903862, "outputs": 2147483648})"));
    EXPECT_EQ(exact["aaa_chance"]["generator_value"].get<double>(), 0.67052308);
    EXPECT_EQ(exact["aaa_chance"]["value"].get<double>(), 0.67018595);
    EXPECT_EQ(exact["aaa_chance"]["agrees"], false);
    EXPECT_EQ(exact["perfect_score_chance"]["agrees"], true);
    EXPECT_EQ(exact["marvelous_mean"]["value"].get<double>(), 398.40004);
    EXPECT_NEAR(exact["marvelous_mean"]["band95"]["low"].get<double>(), 397.6199, 1e-4);
    EXPECT_EQ(exact["marvelous_mean"]["agrees"], false);
}

TEST(JsonReport, HistogramHighestFirstWithTheCsvsFields) {
    const Json histogram = Json::parse(simulationJson(testing::tenSongRecord()))["histogram"];
    ASSERT_EQ(histogram.size(), 4U);
    EXPECT_EQ(histogram[0], Json::parse(R"({"score": 1000, "songs": 2, "share": 0.2, "highest_marvelous": 400,
                                            "lowest_marvelous": 400, "aaa_songs": 2})"));
    EXPECT_EQ(histogram[3]["score"], 990);
}

TEST(JsonReport, NanIsNullAndNothingDependsOnTheMachine) {
    output::SimulationRecord run = testing::oneSongRecord();
    const std::string text = simulationJson(run);
    const Json s = Json::parse(text)["statistics"];
    EXPECT_TRUE(s["standard_error"].is_null());
    EXPECT_TRUE(s["mean_ci95"]["low"].is_null());
    EXPECT_TRUE(s["standard_deviation"].is_null());
    // Threads and time taken change nothing.
    run.threads = 64;
    run.elapsedSeconds = 12.5;
    EXPECT_EQ(simulationJson(run), text);
}

TEST(JsonReport, TextThatIsNotUtf8IsReplacedNotFatal) {
    output::SimulationRecord run = testing::tenSongRecord();
    run.perfectRatioText = "0.9\xff";
    EXPECT_EQ(Json::parse(simulationJson(run))["parameters"]["perfect_ratio_text"], "0.9\uFFFD");
}

} // namespace
} // namespace quorvex::output
