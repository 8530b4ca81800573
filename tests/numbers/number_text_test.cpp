// Numbers as the writers print them: the same bytes on every platform.

#include "numbers/number_text.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(NumberText, ShortestReadsBackAsTheSameDouble) {
    EXPECT_EQ(shortestText(0.1), "0.1");
    EXPECT_EQ(shortestText(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(shortestText(1e-5), "1e-05");
    EXPECT_EQ(shortestText(1), "1");
    EXPECT_EQ(shortestText(0.05), "0.05");
}

TEST(NumberText, CountsTakeTheirNoun) {
    EXPECT_EQ(countedText(1, "song", "songs"), "1 song");
    EXPECT_EQ(countedText(0, "song", "songs"), "0 songs");
    EXPECT_EQ(countedText(2147483647, "perfect ratio", "perfect ratios"), "2147483647 perfect ratios");
}

TEST(NumberText, SecondsToTwoDigitsThenWhole) {
    EXPECT_EQ(secondsText(0.0042), "0.0042 s");
    EXPECT_EQ(secondsText(0.0999), "0.100 s"); // two digits of 0.0999 round up into the next decade
    EXPECT_EQ(secondsText(3.14159), "3.1 s");
    EXPECT_EQ(secondsText(9.96), "10.0 s");
    EXPECT_EQ(secondsText(12.5), "12 s"); // ties go to even
    EXPECT_EQ(secondsText(125.7), "126 s");
    EXPECT_EQ(secondsText(1e-12), "0.000000000 s"); // nine decimals at the most
}

TEST(NumberText, FixedRoundsTheDoublesExactValue) {
    struct Case {
        double x;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {987.325, 2, "987.33"}, // 987.325 is stored as 987.32500000000004547...
        {12.345, 2, "12.35"},   // 12.345 is stored as 12.3450000000000006395...
        {0.125, 2, "0.12"},     // exactly a tie: to even
        {2.5, 0, "2"},          // likewise
        {-0.001, 2, "0.00"},    // a negative that rounds to zero reads as zero
        {-1.5, 1, "-1.5"},      {1e21, 0, "1000000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fixedText(c.x, c.decimals), c.expected) << c.x;
}

TEST(NumberText, TrimmedDropsTrailingZerosAndABarePoint) {
    EXPECT_EQ(trimmedText(12.5, 2), "12.5");
    EXPECT_EQ(trimmedText(3, 2), "3");
    EXPECT_EQ(trimmedText(0.004, 2), "0");
    EXPECT_EQ(trimmedText(120, 2), "120");
}

TEST(NumberText, ScientificHasABareExponent) {
    EXPECT_EQ(scientificText(1e9, 2), "1.0e9");
    EXPECT_EQ(scientificText(2.5e-7, 2), "2.5e-7");
    EXPECT_EQ(scientificText(123456, 3), "1.23e5");
    EXPECT_EQ(scientificText(7, 1), "7e0");
    EXPECT_EQ(scientificText(9.96e-3, 2), "1.0e-2"); // rounding carries into the exponent
}

TEST(NumberText, DecimalsShowASpreadToOneOrTwoDigits) {
    struct Case {
        double spread;
        int decimals;
    };
    const Case cases[] = {
        {0.048, 2},  // "0.05": one digit
        {0.15, 2},   // "0.15": two digits when it starts with 1
        {0.25, 2},   // "0.25": or 2
        {0.35, 1},   // "0.3"
        {0.0096, 3}, // written to one digit it is 0.01, so two digits: "0.010"
        {3, 0},
        {25, 0}, // never below 0
        {2.1645, 1},
        {0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decimalsForSpread(c.spread), c.decimals) << c.spread;
}

} // namespace
} // namespace quorvex
