// Runs played side by side, as a server plays requests, give exactly what
// each gives alone: each carries its generator state, and none reads or
// moves the process-wide one, on the kernels or on the plain model.

#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/prepared_run.h"
#include "runtime/random_source.h"

namespace quorvex::app {
namespace {

std::string playedJson(const char* command, const OptionTexts& texts) {
    RunControl control;
    return prepareRun(command, texts, 0)->play(1, control)->render(output::Format::json, {});
}

TEST(PlaySideBySide, EachRunGivesWhatItGivesAlone) {
    struct Request {
        const char* command;
        OptionTexts texts;
    };
    // 1e-300 is played by the plain model (the kernels decline it).
    const std::vector<Request> requests = {
        {"simulate", {{"songs", "3000"}, {"steps", "400"}, {"perfect", "0.95"}, {"seed", "1"}}},
        {"simulate", {{"songs", "3000"}, {"steps", "50"}, {"perfect", "1e-300"}, {"seed", "2"}}},
        {"sweep", {{"songs", "2000"}, {"steps", "300"}, {"perfect", "0.9,1e-300,0.99"}, {"seed", "3"}}},
        {"target",
         {{"steps", "300"}, {"mean", "950"}, {"songs", "500"}, {"seed", "4"}, {"resolution", "0.01"}}},
    };
    std::vector<std::string> alone;
    for (const Request& request : requests)
        alone.push_back(playedJson(request.command, request.texts));

    randomState = 12345;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::future<std::string>> together;
        for (const Request& request : requests)
            together.push_back(std::async(std::launch::async,
                                          [&request] { return playedJson(request.command, request.texts); }));
        for (std::size_t i = 0; i < requests.size(); ++i)
            EXPECT_EQ(together[i].get(), alone[i]) << requests[i].command << " round " << round;
    }
    EXPECT_EQ(randomState, 12345u);
}

} // namespace
} // namespace quorvex::app
