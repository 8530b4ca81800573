// A plot's frame: tick marks and labels where the ticks fall, titles beside.

#include "output/svg_axes.h"

#include <string>

#include <gtest/gtest.h>

#include "document_checks.h"

namespace quorvex::output {
namespace {

using testing::occurrences;

TEST(SvgAxes, AHeadedPlotHasItsTitleAboveTheAreaAndTheHeadingsStylesFirst) {
    const PlotArea area{90, 104, 780, 356};
    const std::string svg =
        headedPlotCanvas(900, 560, area, ".bar { fill: #4a78b5; }", "Song scores", "10 songs & more")
            .finish();
    EXPECT_NE(svg.find("<title>Song scores: 10 songs &amp; more</title>\n<style><![CDATA[\n"
                       ".title { font: bold 20px sans-serif; fill: #111; }\n"
                       ".subtitle { font: 14px sans-serif; fill: #444; }\n"
                       ".bar { fill: #4a78b5; }\n.axis {"),
              std::string::npos);
    EXPECT_NE(svg.find("<text class=\"title\" x=\"90\" y=\"34\">Song scores</text>\n"
                       "<text class=\"subtitle\" x=\"90\" y=\"58\">10 songs &amp; more</text>\n</svg>"),
              std::string::npos);
}

TEST(SvgAxes, TickLabelsCarryTheTicksDecimalsAndSuffix) {
    AxisTicks ticks;
    ticks.decimals = 1;
    ticks.values = {0, 0.5, 1};
    EXPECT_EQ(tickLabels(ticks, "%"), (std::vector<std::string>{"0.0%", "0.5%", "1.0%"}));
}

TEST(SvgAxes, OnlyTicksOnTheAxisAreDrawn) {
    const PlotArea area{100, 50, 400, 200};
    const LinearScale x{0, 10, area.left, area.right()};
    SvgCanvas canvas(600, 300, "axes");
    // 12 lies beyond the axis's end at 10: no mark, no label.
    drawXAxis(canvas, area, x, {0, 5, 10, 12}, {"0", "5", "10", "12"}, "song score");
    const std::string svg = canvas.finish();
    EXPECT_EQ(occurrences(svg, "class=\"tick-label\""), 3);
    EXPECT_EQ(occurrences(svg, ">12<"), 0);
    EXPECT_NE(svg.find("<text class=\"tick-label\" x=\"300\" y=\"269\" text-anchor=\"middle\">5</text>"),
              std::string::npos); // 5 of 10 is halfway: 100 + 200; under the axis at 250 + 5 + 14
    EXPECT_NE(svg.find(">song score</text>"), std::string::npos);
}

TEST(SvgAxes, TheYAxisDrawsAGridLineAtEachTickAndItsTitleUpright) {
    const PlotArea area{100, 50, 400, 200};
    const LinearScale y{0, 4, area.bottom(), area.top};
    SvgCanvas canvas(600, 300, "axes");
    drawYAxis(canvas, area, y, {0, 2, 4}, {"0%", "2%", "4%"}, "share of songs");
    const std::string svg = canvas.finish();
    EXPECT_EQ(occurrences(svg, "class=\"grid\""), 3);
    EXPECT_NE(svg.find("<line class=\"grid\" x1=\"100\" y1=\"150\" x2=\"500\" y2=\"150\"/>"),
              std::string::npos);
    EXPECT_NE(svg.find("transform=\"rotate(-90 48 150)\">share of songs</text>"), std::string::npos);
}

TEST(SvgAxes, TheRightAxisMarksItsTicksOutsideTheAreaWithoutGridLines) {
    const PlotArea area{100, 50, 400, 200};
    const LinearScale y{0, 1, area.bottom(), area.top};
    SvgCanvas canvas(600, 300, "axes");
    drawRightYAxis(canvas, area, y, {0, 0.5, 1, 2}, {"0%", "50%", "100%", "200%"}, "P(AAA)", "aaa-axis",
                   "aaa-label", "aaa-title");
    const std::string svg = canvas.finish();
    EXPECT_EQ(occurrences(svg, "class=\"grid\""), 0);
    EXPECT_EQ(occurrences(svg, ">200%<"), 0); // beyond the top
    // 0.5 is halfway up, at 150; the mark from the area's right edge at 500 outwards.
    EXPECT_NE(svg.find("<line class=\"aaa-axis\" x1=\"500\" y1=\"150\" x2=\"505\" y2=\"150\"/>"),
              std::string::npos);
    EXPECT_NE(svg.find("<text class=\"aaa-label\" x=\"509\" y=\"154\">50%</text>"), std::string::npos);
    EXPECT_NE(svg.find("<text class=\"aaa-title\" x=\"552\" y=\"150\" text-anchor=\"middle\" "
                       "transform=\"rotate(90 552 150)\">P(AAA)</text>"),
              std::string::npos);
}

} // namespace
} // namespace quorvex::output
