// Shares of songs as percentages, to the precision their intervals support.

#include "output/proportion_text.h"

#include <gtest/gtest.h>

namespace quorvex::output {
namespace {

stats::Proportion withInterval(double low, double high) {
    return {1, 2, 0.5, {low, high}};
}

TEST(ProportionText, DecimalsFollowTheIntervalsHalfWidth) {
    // Half widths in percent: 0.0007 -> 4; 0.08 -> 2; 24.77 -> 0; 0.15 -> 2.
    EXPECT_EQ(percentDecimals(withInterval(0.0000070, 0.0000210)), 4);
    EXPECT_EQ(percentDecimals(withInterval(0.9822, 0.9838)), 2);
    EXPECT_EQ(percentDecimals(withInterval(0.1078, 0.6032)), 0);
    EXPECT_EQ(percentDecimals(withInterval(0.20, 0.203)), 2);
}

TEST(ProportionText, EndsAreWrittenWhole) {
    EXPECT_EQ(percentText(0, 3), "0%");
    EXPECT_EQ(percentText(1, 3), "100%");
    EXPECT_EQ(percentText(0.000012, 4), "0.0012%");
    EXPECT_EQ(percentText(0.983, 1), "98.3%");
    EXPECT_EQ(percentText(0.99995, 4), "99.9950%");
}

TEST(ProportionText, ATinyExactChanceNeverReadsAsZero) {
    EXPECT_EQ(exactPercentText(0.000011, 4), "0.0011%");
    EXPECT_EQ(exactPercentText(3.1e-14, 4), "3.1e-12%");
    EXPECT_EQ(exactPercentText(0.0000009, 4), "0.0001%"); // rounds to a digit in the last place
    EXPECT_EQ(exactPercentText(0.0000004, 4), "4.0e-5%"); // rounds to none
    EXPECT_EQ(exactPercentText(0, 4), "0%");
    EXPECT_EQ(exactPercentText(1, 4), "100%");
}

} // namespace
} // namespace quorvex::output
