// The sweep's plot: well-formed for every shape of sweep, the ratios drawn in
// order of value, dots while they stand apart, both axes and the legend.

#include "output/sweep_svg_plot.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "document_checks.h"
#include "sweep_records.h"
#include "temp_folder.h"

namespace quorvex::output {
namespace {

using testing::occurrences;
using testing::xmllintStatus;

// `count` ratios from 0.5 up by 0.005, each a copy of the 0.999 run.
output::SweepRecord manyRatios(int count) {
    output::SweepRecord sweep = testing::twoRatioSweep();
    const output::SweepRow row = sweep.rows.front();
    sweep.rows.clear();
    for (int i = 0; i < count; ++i) {
        sweep.rows.push_back(row);
        sweep.rows.back().run.perfectRatio = 0.5 + 0.005 * i;
    }
    return sweep;
}

TEST(SweepSvgPlot, WellFormedForEveryShapeOfSweep) {
#ifdef _WIN32
    GTEST_SKIP() << "not on Windows: xmllint is the host's program; the writer's bytes are the same on "
                    "both systems and are checked on Linux";
#endif
    output::SweepRecord strange = testing::twoRatioSweep();
    strange.perfectText = "<0.9&\"1\"\xff>";
    for (const output::SweepRecord& sweep :
         {testing::twoRatioSweep(), testing::oneSongSweep(), manyRatios(100), strange})
        EXPECT_EQ(xmllintStatus(sweepSvg(sweep)), 0) << sweepSvg(sweep);
}

TEST(SweepSvgPlot, AxesLegendAndTitleNameTheSweep) {
    const std::string svg = sweepSvg(testing::twoRatioSweep());
    EXPECT_NE(svg.find("viewBox=\"0 0 900 560\""), std::string::npos);
    EXPECT_NE(
        svg.find(">10 songs \u00D7 400 steps at 2 perfect ratios (0.999,1) \u00B7 seed 1765222492</text>"),
        std::string::npos);
    for (const char* words :
         {">mean song score</text>", ">perfect ratio</text>", ">P(AAA)</text>", ">mean score, 95% CI</text>",
          ">P(AAA), estimated</text>", ">P(AAA), exact for independent draws</text>", ">100%</text>"})
        EXPECT_NE(svg.find(words), std::string::npos) << words;
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("http", svg.find("<svg") + 20), std::string::npos) << "nothing fetched";
}

TEST(SweepSvgPlot, DotsWhileTheyStandApartAndLinesInOrderOfRatio) {
    // Two ratios: a dot each for the mean and P(AAA), one more in the
    // legend, and no line joining the estimates; a hundred: lines only.
    const std::string two = sweepSvg(testing::twoRatioSweep());
    EXPECT_EQ(occurrences(two, "<circle class=\"aaa-dot\""), 3);
    EXPECT_EQ(occurrences(two, "<circle class=\"mean-dot\""), 2);
    EXPECT_EQ(occurrences(two, "<path class=\"aaa\""), 0);
    const std::string hundred = sweepSvg(manyRatios(100));
    EXPECT_EQ(occurrences(hundred, "<circle"), 0);
    EXPECT_EQ(occurrences(hundred, "<path class=\"aaa\""), 1);
    // Given highest first, drawn lowest first: the same picture.
    output::SweepRecord reversed = testing::twoRatioSweep();
    std::swap(reversed.rows[0], reversed.rows[1]);
    EXPECT_EQ(sweepSvg(reversed), sweepSvg(testing::twoRatioSweep()));
}

TEST(SweepSvgPlot, TheExactCurveFollowsItsOwnPointsWhenGiven) {
    // Without a curve the dashed line joins the rows' exact values (two
    // points); with one, it runs through the curve's three.
    output::SweepRecord sweep = testing::twoRatioSweep();
    const auto exactPath = [](const std::string& svg) {
        const std::size_t at = svg.find(R"(<path class="aaa-exact" d=")");
        return svg.substr(at, svg.find("/>", at) - at);
    };
    EXPECT_EQ(occurrences(exactPath(sweepSvg(sweep)), " L"), 1);
    sweep.exactAaaCurve = {{0.999, 0.67}, {0.9995, 0.8}, {1, 1}};
    EXPECT_EQ(occurrences(exactPath(sweepSvg(sweep)), " L"), 2);
}

} // namespace
} // namespace quorvex::output
