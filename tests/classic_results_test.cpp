#include "output/classic_results.h"

#include <gtest/gtest.h>

#include "sim/engine/engine_aggregate.h"

namespace quorvex::output {
namespace {

TEST(ClassicResults, TheDialoguesFileForTheSameSongs) {
    // Seven songs of 400 steps by score, in no particular order of arrival.
    ScoreAggregate songs;
    songs.recordRepeated({997, 396, false}, 2);
    songs.record({1000, 400, true});
    songs.record({997, 398, true});
    songs.recordRepeated({999, 399, true}, 3);
    SimulationRecord run;
    run.songs = 7;
    run.steps = 400;
    run.perfectRatio = 0.95;
    const std::vector<ScoreGroup> ascending = songs.rows();
    run.histogram.assign(ascending.rbegin(), ascending.rend());
    EXPECT_EQ(classicResultsText(run),
              "Expected scores for: 0.95\r\n"
              "7 songs | 400 steps\r\n"
              "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n"
              "\r\n"
              "1000 |     1 |   400 |   400 |     1 | 1\r\n"
              " 999 |     3 |   399 |   399 |     3 | 1\r\n"
              " 997 |     3 |   398 |   396 |     1 | 0.333\r\n");
}

} // namespace
} // namespace quorvex::output
