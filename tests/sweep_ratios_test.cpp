// The ratios of `sweep --perfect`: a list keeps its texts, a range's points
// are read from their exact decimals as simulate reads --perfect, and every
// malformed value is refused in one line that says what is wrong.

#include "app/sweep_ratios.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/option_values.h"
#include "app/usage_error.h"

namespace quorvex::app {
namespace {

TEST(SweepRatios, AListKeepsItsOrderAndTexts) {
    const std::vector<SweepRatio> ratios = readSweepRatios("0.99,.5,9.5e-1,0.99,1");
    ASSERT_EQ(ratios.size(), 5U);
    const std::vector<double> values = {0.99, 0.5, 0.95, 0.99, 1.0};
    const std::vector<std::string> texts = {"0.99", ".5", "9.5e-1", "0.99", "1"};
    for (std::size_t i = 0; i < ratios.size(); ++i) {
        EXPECT_EQ(ratios[i].value, values[i]);
        EXPECT_EQ(ratios[i].text, texts[i]);
        EXPECT_EQ(ratios[i].label, texts[i]);
    }
    // The reader's own double, not the nearest one: 0.002877 reads one step up.
    EXPECT_EQ(readSweepRatios("0.002877").front().value, 0x1.791819d2391d6p-9);
}

TEST(SweepRatios, ARangesPointsReadAsSimulateReadsThem) {
    const std::vector<SweepRatio> ratios = readSweepRatios("0.9:1:0.01");
    ASSERT_EQ(ratios.size(), 11U);
    // 0.95, not 0.9 + 5 x 0.01 in doubles (0.9500000000000001).
    EXPECT_EQ(ratios[5].value, 0.95);
    EXPECT_EQ(ratios[5].text, "0.95");
    EXPECT_EQ(ratios[0].label, "0.90");
    EXPECT_EQ(ratios[10].value, 1.0);
    EXPECT_EQ(ratios[10].label, "1.00");
    // Each point is the reader's double for its text, as typed to simulate.
    for (const SweepRatio& ratio : readSweepRatios("0.0001:1:0.0001"))
        ASSERT_EQ(readPerfectRatio(ratio.text), ratio.value) << ratio.text;
    EXPECT_EQ(readSweepRatios("0.002876:0.002877:0.000001")[1].value, 0x1.791819d2391d6p-9);
}

TEST(SweepRatios, EveryMalformedValueIsOneLine) {
    const std::string domain = " is not a ratio in (0, 1], a list R1,R2,... of them or a range A:B:STEP";
    struct Case {
        std::string text, message;
    };
    const std::vector<Case> cases = {
        {"1.5", "--perfect \"1.5\"" + domain},
        {"", "--perfect \"\"" + domain},
        {"0.9,1.5", R"(--perfect "0.9,1.5": "1.5" is not a ratio in (0, 1])"},
        {"0.9,,1", R"(--perfect "0.9,,1": "" is not a ratio in (0, 1])"},
        {"0.9,", R"(--perfect "0.9,": "" is not a ratio in (0, 1])"},
        {"0.9:1", "--perfect \"0.9:1\"" + domain},
        {"0.9:1:0.01:2", "--perfect \"0.9:1:0.01:2\"" + domain},
        {"0.9:1:0.01,0.5", "--perfect \"0.9:1:0.01,0.5\"" + domain},
        {"0:1:0.1", R"(--perfect "0:1:0.1": the start "0" is not a ratio in (0, 1])"},
        {"0.5:1.5:0.1", R"(--perfect "0.5:1.5:0.1": the end "1.5" is not a ratio in (0, 1])"},
        {"0.5:1:x", R"(--perfect "0.5:1:x": the step "x" is not a number)"},
        {"0.5:1:1e999", R"(--perfect "0.5:1:1e999": the step "1e999" is not a number)"},
        {"0.5:1:2", R"(--perfect "0.5:1:2": the step 2 is larger than 1, the widest range of ratios)"},
        {"0.5:1:1e-31", R"(--perfect "0.5:1:1e-31": its numbers need more than 30 decimals)"},
        {"0.5:1:", R"(--perfect "0.5:1:": the step "" is not a number)"},
        {"0.5:1:0", R"(--perfect "0.5:1:0": the step is 0; it must lead from the start to the end)"},
        {"0.5:1:-0.1",
         R"(--perfect "0.5:1:-0.1": the step -0.1 leads away from the end 1; give it the other sign)"},
        {"1:0.5:0.1",
         R"(--perfect "1:0.5:0.1": the step 0.1 leads away from the end 0.5; give it the other sign)"},
        {"0.00001:0.10001:0.00001",
         R"(--perfect "0.00001:0.10001:0.00001" gives more than 10000 ratios; at most that many in one sweep)"},
        {"0.5:0.5000000000000002:1e-17",
         R"(--perfect "0.5:0.5000000000000002:1e-17": the step 1e-17 is finer than the doubles between the )"
         "start and the end, so ratios would repeat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            readSweepRatios(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    std::string tooLong = "1";
    for (int i = 0; i < 10000; ++i)
        tooLong += ",1";
    EXPECT_THROW(readSweepRatios(tooLong), UsageError);
    EXPECT_EQ(readSweepRatios(tooLong.substr(2)).size(), 10000U);
}

} // namespace
} // namespace quorvex::app
