// Texts for ratios that `simulate --perfect` reads back as the very same
// double, where the dialogue's reader allows one.
#include "app/ratio_text.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "app/option_values.h"
#include "runtime/numeric_mode.h"

namespace quorvex::app {
namespace {

class RatioTextTest : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

TEST_F(RatioTextTest, ShortestWhereItReadsBackElseALongerText) {
    struct Case {
        double ratio;
        const char* text;
        bool readsBack;
    };
    const Case cases[] = {
        {0.9371, "0.9371", true},
        {1.0, "1", true},
        {0x1p-1074, "5e-324", true},
        // The double below 1: "0.9999999999999999" reads as 1 - 2^-52, two doubles down.
        {0x1.fffffffffffffp-1, "0.99999999999999989", true},
        {0.99973659999999986, "0.99973659999999986", true},
        // No decimal text reaches this one through the reader.
        {0.49431128204553837, "0.49431128204553837", false},
    };
    for (const Case& c : cases) {
        const RatioText text = ratioTextFor(c.ratio);
        EXPECT_EQ(text.text, c.text) << c.text;
        EXPECT_EQ(text.readsBack, c.readsBack) << c.text;
        EXPECT_EQ(readPerfectRatio(text.text) == c.ratio, c.readsBack) << c.text;
    }
}

TEST_F(RatioTextTest, RandomRatiosMostlyReadBack) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    int missing = 0;
    for (int i = 0; i < 20000; ++i) {
        const double ratio = uniform(random);
        if (ratio == 0)
            continue;
        const RatioText text = ratioTextFor(ratio);
        ASSERT_EQ(readPerfectRatio(text.text) == ratio, text.readsBack) << text.text;
        missing += text.readsBack ? 0 : 1;
    }
    // About one in sixty has no text at all (1.7% of 200000 when first measured).
    EXPECT_LT(missing, 500);
}

} // namespace
} // namespace quorvex::app
