#include "app/seeded_run.h"

#include <atomic>
#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"

namespace quorvex::app {
namespace {

// The plain model from the same second: one song after another, as the
// dialogue's reference plays them.
ScoreAggregate playedPlainly(const RunRequest& request, std::uint64_t& stateAfter) {
    seedRandom(request.seed);
    ScoreAggregate songs;
    runSongsPlain(request.songs, request.steps,
                  deriveRunConstants(request.steps, request.perfectRatio).constants, songs);
    stateAfter = randomState;
    return songs;
}

TEST(SeededRun, PlaysTheSongsOfThePlainModelFromTheSecondOnAnyThreadCount) {
    setNumericMode();
    for (const RunRequest& request : {RunRequest{10, 400, 0.95, 1700000000u}, RunRequest{1000, 7, 0.5, 0u},
                                      RunRequest{300, 300, 0.99, 4294967295u}, RunRequest{5, 1, 1.0, 12345u},
                                      RunRequest{20, 50, 1e-300, 7u}}) {
        std::uint64_t plainState = 0;
        const ScoreAggregate expected = playedPlainly(request, plainState);
        for (const int threads : {1, 3}) {
            const std::uint64_t elsewhere = plainState ^ 0x5A5A5A5AULL;
            randomState = elsewhere;
            RunControl control;
            const SeededRun run = playSeededRun(request, threads, &control);
            EXPECT_EQ(run.fault, ModelFault::none);
            EXPECT_TRUE(run.songs == expected) << request.songs << " x " << request.steps << ", " << threads;
            EXPECT_EQ(randomState, elsewhere) << "the process-wide generator is neither read nor moved";
            EXPECT_EQ(control.songsDoneNow(), request.songs);
            EXPECT_GE(run.elapsedSeconds, 0.0);
        }
    }
}

TEST(SeededRun, TheSecondDecidesTheSongs) {
    setNumericMode();
    const SeededRun one = playSeededRun({50, 100, 0.9, 1}, 1);
    const SeededRun two = playSeededRun({50, 100, 0.9, 2}, 1);
    EXPECT_FALSE(one.songs == two.songs);
    EXPECT_TRUE(playSeededRun({50, 100, 0.9, 1}, 2).songs == one.songs);
}

} // namespace
} // namespace quorvex::app
