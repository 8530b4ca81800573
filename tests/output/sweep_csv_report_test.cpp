// The sweep as csv: a fixed header with a group per threshold, one line per
// ratio in the order given, shortest round-trip numbers, and an empty field
// where a figure is not a number.

#include "output/sweep_csv_report.h"

#include <string>

#include <gtest/gtest.h>

#include "sweep_records.h"

namespace quorvex::output {
namespace {

const std::string header =
    "perfect_ratio,perfect_ratio_text,songs,mean,mean_ci95_low,mean_ci95_high,standard_deviation,p5,median,"
    "p95,"
    "aaa_count,aaa_share,aaa_ci95_low,aaa_ci95_high,aaa_exact,aaa_generator_exact,perfect_score_count,"
    "perfect_score_share,perfect_score_ci95_low,perfect_score_ci95_high,perfect_score_exact,"
    "perfect_score_generator_exact";

TEST(SweepCsvReport, OneLinePerRatioInOrderWithAGroupPerThreshold) {
    EXPECT_EQ(
        sweepCsv(testing::twoRatioSweep()),
        header +
            ",at_least_990_count,at_least_990_share,at_least_990_ci95_low,at_least_990_ci95_high,"
            "at_least_1001_count,at_least_1001_share,at_least_1001_ci95_low,at_least_1001_ci95_high\n"
            "0.999,0.999,10,996.4,994.235449,998.564551,3.0258148581,990,995,1000,3,0.3,0.1,0.6,0.67018595,"
            "0.67052308,2,0.2,0.05,0.5,0.20125784,0.20163208,10,1,0.7,1,0,0,0,0.3\n"
            "1,1,10,1000,1000,1000,0,1000,1000,1000,10,1,0.7,1,1,1,10,1,0.7,1,1,1,10,1,0.7,1,0,0,0,0.3\n");
}

TEST(SweepCsvReport, TheDoubleBesideTheTextItWasReadFrom) {
    output::SweepRecord sweep = testing::oneSongSweep();
    // ".9" reads as 0.9; a program reading the first field gets the double itself.
    sweep.rows[0].run.perfectRatioText = ".9";
    // One song: no interval and no deviation, so those fields are empty.
    EXPECT_EQ(sweepCsv(sweep),
              header + "\n0.9,.9,1,950,,,,950,950,950,0,0,0,0.8,1.8e-14,1.95e-14,0,0,0,0.8,0,0\n");
}

} // namespace
} // namespace quorvex::output
