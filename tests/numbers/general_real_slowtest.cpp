#include "numbers/general_real.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "general_real_oracle.h"

namespace quorvex {
namespace {

// The scaled value as the conversion forms it, for the printed explanation.
long double scaledByThousand(long double ratio, int digitsBeforePoint) {
    return ratio * oracle::heldPowerOfTen(3 - digitsBeforePoint);
}

// Every fraction k/n with 0 <= k <= n <= 2000, formed as aaaRatio is (the
// extended quotient), at precision 3: each difference from the library must
// be the stated exception, and their number is fixed.
TEST(GeneralRealSweep, EveryFractionUpTo2000AtPrecision3) {
    int differences = 0;
    for (int n = 1; n <= 2000; ++n)
        for (int k = 0; k <= n; ++k) {
            const long double ratio = static_cast<long double>(k) / static_cast<long double>(n);
            const std::string ours = formatGeneral(ratio, 3);
            const std::string library = oracle::printfGeneral(ratio, 3);
            if (ours == library)
                continue;
            ++differences;
            const bool allowed = oracle::allowedDifference(ratio, 3);
            EXPECT_TRUE(allowed) << k << "/" << n << ": " << ours << " vs " << library;
            const oracle::ExactDecimal exact = oracle::exactDecimal(ratio);
            std::printf("%4d/%-4d %-7s library %-7s scaled %.1Lf exact %.25s...\n", k, n, ours.c_str(),
                        library.c_str(), scaledByThousand(ratio, exact.exponent + 1), exact.digits.c_str());
        }
    std::printf("fractions k/n, n <= 2000, precision 3, differing from the library: %d\n", differences);
    EXPECT_EQ(differences, 1107); // a change in the scaling or rounding shows here
}

// Every whole number below 10^7 at precision 6. Below 10^6 the conversion is
// exact; above, the scaled value v / 10 is a tie exactly when v ends in 5,
// and then the exact value is a tie as well: no difference at all.
TEST(GeneralRealSweep, EveryWholeNumberBelow10To7AtPrecision6) {
    int differences = 0;
    for (int v = 0; v < 10000000; ++v) {
        const auto value = static_cast<long double>(v);
        const std::string ours = formatGeneral(value, 6);
        const std::string library = oracle::printfGeneral(value, 6);
        if (ours == library)
            continue;
        ++differences;
        EXPECT_TRUE(oracle::allowedDifference(value, 6)) << v << ": " << ours << " vs " << library;
    }
    std::printf("whole numbers below 10^7, precision 6, differing from the library: %d\n", differences);
    EXPECT_EQ(differences, 0);
}

} // namespace
} // namespace quorvex
