// The report for people: results first, aligned, then detail and histogram.

#include "output/text_report.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/text_layout.h"
#include "simulation_records.h"

namespace quorvex::output {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(TextReport, TheResultsComeFirstAlignedUnderTheirLabels) {
    const std::vector<std::string> lines = linesOf(simulationText(testing::tenSongRecord(), {80, true}));
    ASSERT_GE(lines.size(), 18U);
    // Half width 2.16 starts with 2: two digits, one decimal. SD to three digits.
    // AAA's interval [10.8%, 60.3%] has half width 24.8 points: whole percents.
    const std::vector<std::string> expected{
        "10 songs \u00D7 400 steps at perfect ratio 0.999 \u00B7 seed 1765222492",
        "2 threads \u00B7 0.00040 s \u00B7 1.0e7 steps/s", // 4000 steps in 0.0004 s; two digits of time
        "",
        "Score         996.4 \u00B1 2.2   (95% CI 994.2 \u2026 998.6; SD 3.03)",
        "              min 990 \u00B7 p1 990 \u00B7 p5 990 \u00B7 p25 995 \u00B7 median 995",
        "              p75 998 \u00B7 p95 1000 \u00B7 p99 1000 \u00B7 max 1000",
        "Marvelous     397.2 per song   (exact 398.4) \u00B7 min 392 \u00B7 max 400",
        "AAA           30%   (3 of 10; 95% CI 11% \u2026 60%)  exact 67%",
        "Score 1000    20%   (2 of 10; 95% CI 6% \u2026 51%)  exact 20%",
        "Score \u2265 990   100%  (10 of 10; 95% CI 72% \u2026 100%)",
        "Score \u2265 1001  no song can score 1001: best is 1000",
        // The two kinds of exact value, each with what it assumes.
        "Draws         9990001 of 10000000 keep a song AAA, 9960001 are marvelous; exact",
        "              values assume independent, equally likely draws; generator values",
        "              assume independent, equally likely generator outputs (215 or 214",
        "              of its 2^31 give each draw)",
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(TextReport, AnExactValueOutsideItsIntervalGetsANote) {
    const std::string text = simulationText(testing::tenSongRecord(), {200, true});
    EXPECT_NE(text.find("Note          the generator's exact AAA chance 67% lies outside the run's 95% CI: "
                        "rare by chance"),
              std::string::npos);
    EXPECT_NE(text.find("Note          the marvelous mean lies outside 397.6 \u2026 399.2"),
              std::string::npos);
    EXPECT_EQ(text.find("chance of score 1000"), std::string::npos); // 20% is inside [6%, 51%]
    EXPECT_EQ(simulationText(testing::allAaaRecord(), {200, true}).find("Note"), std::string::npos);
}

TEST(TextReport, OneSongHasNoIntervalAndAShortStepCountNoPerfectScore) {
    const std::string text = simulationText(testing::oneSongRecord(), {80, true});
    EXPECT_NE(text.find("1 song \u00D7 300 steps at perfect ratio 0.9 \u00B7 seed 7\n1 thread\n"),
              std::string::npos);
    EXPECT_NE(text.find("Score       950   (one song: no interval)\n"), std::string::npos);
    EXPECT_NE(text.find("Score 1000  no song can score 1000: best is 999\n"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
}

TEST(TextReport, WithoutUnicodeEveryByteIsAscii) {
    for (const output::SimulationRecord& run :
         {testing::tenSongRecord(), testing::oneSongRecord(), testing::everyScoreRecord()}) {
        const std::string text = simulationText(run, {80, false});
        for (const char c : text)
            ASSERT_TRUE(c == '\n' || (c >= ' ' && c <= '~')) << "byte " << static_cast<int>(c) << " in\n"
                                                             << text;
    }
    const std::string text = simulationText(testing::tenSongRecord(), {80, false});
    EXPECT_NE(text.find("10 songs x 400 steps at perfect ratio 0.999, seed 1765222492\n"), std::string::npos);
    EXPECT_NE(text.find("996.4 +/- 2.2   (95% CI 994.2 ... 998.6; SD 3.03)"), std::string::npos);
    EXPECT_NE(text.find("Score >= 990 "), std::string::npos);
}

TEST(TextReport, NoLineIsWiderThanTheTerminal) {
    for (const int columns : {60, 80, 97, 150}) {
        for (const bool unicode : {true, false}) {
            for (const output::SimulationRecord& run :
                 {testing::tenSongRecord(), testing::everyScoreRecord()}) {
                for (const std::string& line : linesOf(simulationText(run, {columns, unicode})))
                    EXPECT_LE(displayWidth(line), columns) << line;
            }
        }
    }
}

TEST(TextReport, NoColumnsMeansEighty) {
    EXPECT_EQ(simulationText(testing::everyScoreRecord(), {0, true}),
              simulationText(testing::everyScoreRecord(), {80, true}));
}

} // namespace
} // namespace quorvex::output
