// The target's text for people: the answer first, each figure where a
// reader looks for it, warnings and notes when they apply, and the lines
// kept within the terminal's columns.
#include "output/target_text.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "output/text_layout.h"
#include "target_records.h"

namespace quorvex::output {
namespace {

constexpr TextStyle unicode80{80, true};
constexpr TextStyle ascii80{0, false};

TEST(TargetText, ExactAnswer) {
    // The chances to ten digits show the goal between them; the estimate's
    // precision is its interval's.
    EXPECT_EQ(
        targetText(testing::aaaRecord(), unicode80),
        "Answer      perfect ratio 0.9982686, exact for independent, equally likely draws\n"
        "Goal        P(AAA) \u2265 0.5 over 400 steps\n"
        "Exact       P(AAA) 50.00135041% at the answer;\n"
        "            49.99934693% at 0.9982685999999998, the double below\n"
        "Draws       9982687 of 10000000 keep a song AAA (9982687 needed,\n"
        "            9982686 at the double below)\n"
        "Simulated   52%  (52 of 100; 95% CI 42% \u2026 62%)  generator 50%\n"
        "Run         100 songs \u00D7 400 steps at the answer \u00B7 seed 7 \u00B7 3 threads \u00B7 1.2 s\n");
}

TEST(TargetText, NotesForAChanceOfOneAndAnEstimateOffTheExactValue) {
    output::TargetRecord record = testing::aaaRecord();
    record.exact->aaaDrawsNeeded = 10000000;
    record.answer.summary.aaa = stats::proportionOf(30, 100); // [0.2189, 0.3958] misses 0.5004
    const std::string text = targetText(record, ascii80);
    EXPECT_NE(text.find("Note        a chance of 1 needs every draw to keep a song AAA: only ratio 1\n"
                        "            does, where the lowest draw's deviation is exactly 1.0.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Note        the generator's exact AAA chance lies outside the run's 95% CI:"),
              std::string::npos)
        << text;
    EXPECT_EQ(targetText(testing::aaaRecord(), ascii80).find("Note"), std::string::npos);
    record = testing::aaaRecord();
    record.answer.ratioTextReadsBack = false;
    EXPECT_NE(
        targetText(record, ascii80).find("Note        simulate --perfect reads no decimal text as exactly"),
        std::string::npos);
}

TEST(TargetText, SimulatedAnswerWarnsWhenTheIntervalHoldsTheGoal) {
    EXPECT_EQ(targetText(testing::scoreRecord(), ascii80),
              "Answer      perfect ratio 0.98, simulated: met at 0.98, not at 0.97\n"
              "Goal        P(score >= 950) >= 0.5 over 400 steps\n"
              "At 0.98     51%  (51 of 100; 95% CI 41% ... 61%)  meets it\n"
              "At 0.97     49%  (49 of 100; 95% CI 39% ... 59%)  falls short\n"
              "Search      7 runs of 100 songs x 400 steps, seed 7 at every ratio\n"
              "            resolution 0.01, 1 thread, 0.25 s\n"
              "Warning     the 95% CI at the answer contains the goal's 0.5: the true value may\n"
              "            lie on either side of it, and more songs (--songs) would tell the\n"
              "            answer more surely.\n");
    output::TargetRecord sure = testing::scoreRecord();
    sure.search->goalWithinInterval = false;
    EXPECT_EQ(targetText(sure, ascii80).find("Warning"), std::string::npos);
}

TEST(TargetText, MeanMetAtTheFirstRatio) {
    EXPECT_EQ(
        targetText(testing::meanRecord(), unicode80),
        "Answer      perfect ratio 0.5, simulated: met at 0.5,\n"
        "            the least ratio of the grid\n"
        "Goal        mean score \u2265 10 over 1 step\n"
        "At 0.5      mean 12.50 \u00B1 0.25  (95% CI 12.25 \u2026 12.75)  meets it\n"
        "Search      2 runs of 4 songs \u00D7 1 step \u00B7 seed 0 at every ratio \u00B7 resolution 0.5\n");
}

TEST(TargetText, LinesKeepWithinANarrowTerminal) {
    for (const TargetRecord& record : {testing::aaaRecord(), testing::scoreRecord(), testing::meanRecord()}) {
        std::istringstream lines(targetText(record, {40, true}));
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(displayWidth(line), 40) << line;
    }
}

} // namespace
} // namespace quorvex::output
