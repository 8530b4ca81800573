// The SVG histogram: well-formed for every shape of run, bars that fill the
// plot, the run named in the title, the markers and the caption present.

#include "output/svg_histogram.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "document_checks.h"
#include "simulation_records.h"
#include "temp_folder.h"

namespace quorvex::output {
namespace {

using testing::occurrences;
using testing::xmllintStatus;

TEST(SvgHistogram, WellFormedForEveryShapeOfRun) {
#ifdef _WIN32
    GTEST_SKIP() << "not on Windows: xmllint is the host's program; the writer's bytes are the same on "
                    "both systems and are checked on Linux";
#endif
    output::SimulationRecord strange = testing::tenSongRecord();
    strange.perfectRatioText = "<0.9&\"1\"\xff>";
    for (const output::SimulationRecord& run :
         {testing::tenSongRecord(), testing::oneSongRecord(), testing::allAaaRecord(),
          testing::everyScoreRecord(), strange})
        EXPECT_EQ(xmllintStatus(histogramSvg(run)), 0) << histogramSvg(run);
}

TEST(SvgHistogram, TitleMarkersAndCaptionNameTheRun) {
    const std::string svg = histogramSvg(testing::tenSongRecord());
    EXPECT_NE(svg.find("viewBox=\"0 0 900 560\""), std::string::npos);
    EXPECT_NE(svg.find(">10 songs \u00D7 400 steps \u00B7 perfect ratio 0.999 \u00B7 seed 1765222492</text>"),
              std::string::npos);
    EXPECT_NE(svg.find(">mean 996.4</text>"), std::string::npos);
    EXPECT_NE(svg.find(">median 995</text>"), std::string::npos);
    EXPECT_NE(svg.find(">P(AAA) 30% (95% CI 11% \u2026 60%; 3 of 10 songs) \u00B7 exact 67% for independent "
                       "draws</text>"),
              std::string::npos);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("http", svg.find("<svg") + 20), std::string::npos) << "nothing fetched";
}

TEST(SvgHistogram, OneBarPerScoreOrPerRoundBin) {
    // Four scores: four bars (empty scores draw none). 1001 scores across
    // 780 units would be bars under 1 unit: bins of 10 instead, 101 of them.
    EXPECT_EQ(occurrences(histogramSvg(testing::tenSongRecord()), "<rect class=\"bar\""), 4);
    const std::string wide = histogramSvg(testing::everyScoreRecord());
    EXPECT_EQ(occurrences(wide, "<rect class=\"bar\""), 101);
    EXPECT_NE(wide.find(">share of songs per 10 scores</text>"), std::string::npos);
}

TEST(SvgHistogram, TheTallestBarReachesTheTopTickAndBarsFillTheWidth) {
    // One song: the bar is 100% tall, the axis ends at 100%, and the one
    // score is a tenth of the axis wide (78 of 780 units, less a gap of 1
    // between bars), not a wall.
    const std::string svg = histogramSvg(testing::oneSongRecord());
    EXPECT_NE(svg.find(">100%</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">120%</text>"), std::string::npos);
    EXPECT_NE(svg.find("<rect class=\"bar\" x=\"441.5\" y=\"104\" width=\"77\" height=\"356\"/>"),
              std::string::npos)
        << svg;
}

TEST(SvgHistogram, TheSameRunGivesTheSameBytes) {
    output::SimulationRecord run = testing::everyScoreRecord();
    const std::string first = histogramSvg(run);
    run.threads = 7;
    run.elapsedSeconds = 99;
    EXPECT_EQ(histogramSvg(run), first);
}

} // namespace
} // namespace quorvex::output
