// Shares and means against goals, exactly: the verdicts were worked out with
// Python's fractions, one case a line, at and next to the double nearest the
// quotient.
#include "stats/quotient_comparison.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

TEST(QuotientComparison, ExactAtTheDoubleNearestTheQuotient) {
    struct Case {
        std::int64_t numerator;
        std::int64_t denominator;
        double value;
        bool atLeast;
    };
    const Case cases[] = {
        {3, 10, 0.3, true},                 // the double 0.3 lies below three tenths
        {9, 10, 0.9, false},                // the double 0.9 lies above nine tenths
        {1, 3, 0x1.5555555555555p-2, true}, // 1/3 rounded down
        {1, 3, 0x1.5555555555556p-2, false},
        {2, 3, 0x1.5555555555555p-1, true},
        {2, 3, 0x1.5555555555556p-1, false},
        {90098123, 100000, 0x1.c27d98f1d3ed5p+9, true}, // a mean of 900.98123
        {90098123, 100000, 0x1.c27d98f1d3ed4p+9, true},
        {90098123, 100000, 0x1.c27d98f1d3ed6p+9, false},
        {1, 2147483647, 0x1.0000000200000p-31, true},
        {1, 2147483647, 0x1.0000000200001p-31, false},
        {1, 1099511627776, 0x1p-40, true},
        {1, 1099511627777, 0x1p-40, false},
        {999999, 1000000, 1.0, false},
        {1000000, 1000000, 1.0, true},
        {2147483647000, 2147483647, 1000.0, true},
        {2147483646999, 2147483647, 1000.0, false},
        {5, 1, 0x0.0000000000001p-1022, true},
        {0, 5, 0x0.0000000000001p-1022, false},
        {0, 5, 0.0, true},
        {1, 1000000, 999.0, false}, // far apart: settled by the bit lengths
        {999000000, 1, 0.5, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(quotientAtLeast(c.numerator, c.denominator, c.value), c.atLeast)
            << c.numerator << "/" << c.denominator << " >= " << c.value;
}

} // namespace
} // namespace quorvex::stats
