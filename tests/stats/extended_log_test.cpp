// The x87 logarithms against values worked out to 100 digits apart from the
// code (Python's decimal module) and rounded to 64 bits: each result is
// within one unit in the last place, as the instructions are documented.
#include "stats/extended_log.h"

#include <cmath>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

struct Case {
    long double argument;
    long double expected; // the true value rounded to a 64-bit significand
};

void expectWithinOneUnit(long double result, long double expected, long double argument) {
    EXPECT_GE(result, std::nextafter(expected, -INFINITY)) << static_cast<double>(argument);
    EXPECT_LE(result, std::nextafter(expected, INFINITY)) << static_cast<double>(argument);
}

TEST(ExtendedLog, NaturalLogWithinOneUnit) {
    const Case cases[] = {
        {0.5L, -0xB17217F7D1CF79ACp-64L}, // -ln 2, the constant itself
        {10000000.0L, 0x80F1DC21F5539694p-59L},
        {0.75L, -0x934B1089A6DC93C2p-65L},
        {3.0L, 0x8C9F53D5681854BBp-63L},
        {0x1p-1074L, -0xBA1C2A236B8E1B1Dp-54L}, // the least double above 0
    };
    for (const Case& c : cases)
        expectWithinOneUnit(naturalLog(c.argument), c.expected, c.argument);
    EXPECT_EQ(naturalLog(1.0L), 0.0L);
}

TEST(ExtendedLog, LogOnePlusKeepsSmallArguments) {
    const Case cases[] = {
        {-0.25L, -0x934B1089A6DC93C2p-65L},
        {0.25L, 0xE47FBE3CD4D10D61p-66L},
        {-0x1p-24L, -0x8000004000002AABp-87L},
        {0x1p-60L, 0xFFFFFFFFFFFFFFF8p-124L}, // 1 + x would lose x's last bits
        {-3.0L / 10000000.0L, -0xA10FB135BF10796Dp-85L},
    };
    for (const Case& c : cases)
        expectWithinOneUnit(naturalLogOnePlus(c.argument), c.expected, c.argument);
}

} // namespace
} // namespace quorvex::stats
