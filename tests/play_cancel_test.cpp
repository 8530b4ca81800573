// A run asked to stop stops soon, however long it was to take, on the
// kernels (between songs and inside a song of 2^31 steps) and on the plain
// model, and play() then throws RunCancelled. Bounded: each wait polls with
// a deadline far beyond the stopping time asked for.

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/prepared_run.h"
#include "app/usage_error.h"
#include "runtime/random_source.h"

namespace quorvex::app {
namespace {

using namespace std::chrono_literals;

// Plays `texts` on two threads, cancels once some songs are done (or at
// once when `songsFirst` is false), and says how the run ended.
std::string playAndCancel(const char* command, const OptionTexts& texts, bool songsFirst) {
    const auto prepared = prepareRun(command, texts, 1);
    RunControl control;
    auto played = std::async(std::launch::async, [&] {
        try {
            prepared->play(2, control);
            return std::string("finished");
        } catch (const RunCancelled&) {
            return std::string("cancelled");
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (songsFirst && control.songsDoneNow() == 0 && std::chrono::steady_clock::now() < deadline &&
           played.wait_for(1ms) == std::future_status::timeout) {
    }
    control.cancel();
    if (played.wait_for(60s) != std::future_status::ready) {
        ADD_FAILURE() << "still playing a minute after the cancel";
        std::abort(); // the run holds references to this frame
    }
    return played.get();
}

TEST(PlayCancel, ARunOfManySongsStops) {
    // 2^31 songs of 2^31 steps: years of work.
    EXPECT_EQ(playAndCancel("simulate",
                            {{"songs", "2147483647"}, {"steps", "2147483647"}, {"perfect", "0.95"}}, false),
              "cancelled");
    EXPECT_EQ(
        playAndCancel("simulate", {{"songs", "2147483647"}, {"steps", "400"}, {"perfect", "0.95"}}, true),
        "cancelled");
}

TEST(PlayCancel, ASongOfBillionsOfStepsStopsWithinIt) {
    // Five songs of 2^31 - 1 steps, some 10^10 steps: no song ends soon.
    EXPECT_EQ(
        playAndCancel("sweep", {{"songs", "5"}, {"steps", "2147483647"}, {"perfect", "0.9,0.95"}}, false),
        "cancelled");
}

TEST(PlayCancel, ThePlainModelStopsBetweenSongs) {
    // The kernels decline a deviation scale below 1e-250: the plain model plays.
    EXPECT_EQ(
        playAndCancel("simulate", {{"songs", "2147483647"}, {"steps", "100"}, {"perfect", "1e-300"}}, true),
        "cancelled");
}

TEST(PlayCancel, ASearchStopsAndTheGeneratorIsLeftAlone) {
    randomState = 42;
    EXPECT_EQ(playAndCancel("target", {{"steps", "400000"}, {"mean", "500"}, {"songs", "2147483647"}}, true),
              "cancelled");
    EXPECT_EQ(randomState, 42u);
}

TEST(PlayCancel, AnUncancelledRunFinishes) {
    const auto prepared =
        prepareRun("simulate", {{"songs", "1000"}, {"steps", "100"}, {"perfect", "0.9"}}, 1);
    RunControl control;
    EXPECT_NE(prepared->play(1, control), nullptr);
    EXPECT_EQ(control.songsDoneNow(), 1000);
}

} // namespace
} // namespace quorvex::app
