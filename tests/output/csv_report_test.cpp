// The histogram as csv, byte for byte.

#include "output/csv_report.h"

#include <gtest/gtest.h>

#include "simulation_records.h"

namespace quorvex::output {
namespace {

TEST(CsvReport, OneRowPerScoreHighestFirst) {
    // Shares of 10 songs: 2/10 is the double nearest 0.2, written "0.2"; 3/10 "0.3".
    EXPECT_EQ(simulationCsv(testing::tenSongRecord()),
              "score,songs,share,highest_marvelous,lowest_marvelous,aaa_songs\n"
              "1000,2,0.2,400,400,2\n"
              "998,3,0.3,399,398,1\n"
              "995,4,0.4,397,395,0\n"
              "990,1,0.1,392,392,0\n");
}

TEST(CsvReport, SharesAreTheShortestRoundTripDouble) {
    // 1/3 and 2/3 need all 16 or 17 digits; 10^-7 comes out in exponent form.
    output::SimulationRecord run;
    run.histogram = {{900, 1, 0, 0, 0}, {901, 2, 0, 0, 0}};
    EXPECT_EQ(simulationCsv(run), "score,songs,share,highest_marvelous,lowest_marvelous,aaa_songs\n"
                                  "901,2,0.6666666666666666,0,0,0\n"
                                  "900,1,0.3333333333333333,0,0,0\n");
    run.histogram = {{1000, 1, 400, 400, 1}, {990, 9999999, 399, 380, 0}};
    EXPECT_EQ(simulationCsv(run), "score,songs,share,highest_marvelous,lowest_marvelous,aaa_songs\n"
                                  "1000,1,1e-07,400,400,1\n"
                                  "990,9999999,0.9999999,399,380,0\n");
}

} // namespace
} // namespace quorvex::output
