// The sweep for people: the header block, one aligned line per ratio with
// each share to the precision its interval supports, and the notes that
// explain the marks, in Unicode and in plain ASCII.

#include "output/sweep_text_report.h"

#include <string>

#include <gtest/gtest.h>

#include "sweep_records.h"

namespace quorvex::output {
namespace {

TEST(SweepTextReport, AlignedRowsAndTheirNotes) {
    // 0.999: mean 996.4 +- 2.16 shows as 996.4 +- 2.2; the AAA interval
    // 10%..60% misses the generator's exact 67.05% and is marked.
    EXPECT_EQ(
        sweepText(testing::twoRatioSweep(), {0, true}),
        "10 songs \u00D7 400 steps at 2 perfect ratios (0.999,1) \u00B7 seed 1765222492\n"
        "2 threads \u00B7 0.00040 s \u00B7 2.0e7 steps/s\n"
        "\n"
        "ratio  mean \u00B1 95% CI    SD    p5  median   p95  P(AAA)  95% CI      exact  generator  P(1000)  "
        "P(\u2265990)  P(\u22651001)\n"
        "0.999  996.4 \u00B1 2.2    3.03   990     995  1000     30%  10% \u2026 60%*    67%        67%      "
        "20%     100%         \u2013\n"
        "1       1000 \u00B1 0         0  1000    1000  1000    100%  70% \u2026 100%   100%       100%     "
        "100%     100%         \u2013\n"
        "\n"
        "exact: P(AAA) for independent, equally likely draws; generator: for independent,\n"
        "equally likely generator outputs (215 or 214 of its 2^31 give each draw), which\n"
        "long runs follow.\n"
        "*: the interval misses the generator's exact value, in 1 of 2 ratios; by chance\n"
        "alone about 1 ratio in 20 does.\n"
        "\u2013: no song of 400 steps reaches that score; the best is 1000.\n");
}

TEST(SweepTextReport, PlainAsciiWithoutUnicode) {
    const std::string text = sweepText(testing::twoRatioSweep(), {0, false});
    for (const unsigned char c : text)
        ASSERT_LT(c, 0x80) << text;
    EXPECT_NE(text.find("0.999  996.4 +/- 2.2    3.03   990     995  1000     30%  10% ... 60%*"),
              std::string::npos)
        << text;
}

TEST(SweepTextReport, OneSongHasNoIntervalAndScore1000IsOutOfReach) {
    const std::string text = sweepText(testing::oneSongSweep(), {0, true});
    EXPECT_NE(
        text.find(
            "0.9    950             \u2013  950     950  950      0%  0% \u2026 80%  1.8e-12%   1.9e-12%"
            "        \u2013\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\u2013: no song of 300 steps reaches that score; the best is 999.\n"),
              std::string::npos);
    EXPECT_EQ(text.find("*:"), std::string::npos) << "no interval misses";
}

TEST(SweepTextReport, TheHeaderWrapsAtTheTerminalWidth) {
    output::SweepRecord sweep = testing::twoRatioSweep();
    sweep.perfectText = std::string(60, '9');
    const std::string text = sweepText(sweep, {50, true});
    // The ratios' text is cut short, and the seed goes to a line of its own.
    EXPECT_EQ(text.substr(0, text.find("\n\n")),
              "10 songs \u00D7 400 steps at 2 perfect ratios\n(" + std::string(39, '9') +
                  "\u2026)\nseed 1765222492\n2 threads \u00B7 0.00040 s \u00B7 2.0e7 steps/s");
}

} // namespace
} // namespace quorvex::output
