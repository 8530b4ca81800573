// The 95% Wilson interval against published and independently computed
// figures, and its ends where the share is 0, 1 or undefined.
#include "stats/proportion.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

struct Case {
    std::int64_t k;
    std::int64_t n;
    double low;
    double high;
};

TEST(WilsonInterval, MatchesNewcombesTableToItsFourDecimals) {
    // Newcombe, "Two-sided confidence intervals for the single proportion",
    // Statistics in Medicine 17 (1998), Table I: the score method without
    // continuity correction.
    const Case table[] = {
        {81, 263, 0.2553, 0.3662},
        {15, 148, 0.0624, 0.1605},
        {0, 20, 0.0000, 0.1611},
        {1, 29, 0.0061, 0.1718},
    };
    for (const Case& c : table) {
        const Proportion p = proportionOf(c.k, c.n);
        EXPECT_NEAR(p.wilson95.low, c.low, 0.5e-4) << c.k << "/" << c.n;
        EXPECT_NEAR(p.wilson95.high, c.high, 0.5e-4) << c.k << "/" << c.n;
        EXPECT_DOUBLE_EQ(p.share, static_cast<double>(c.k) / static_cast<double>(c.n));
    }
}

TEST(WilsonInterval, MatchesFortyDigitEvaluationsFromTinyToHugeCounts) {
    // The score interval evaluated with 40 significant digits (an arbitrary
    // precision calculator, z = sqrt(2) erfinv(0.95)), including shares a
    // hair from 0 and from 1 where cancellation would show.
    const Case table[] = {
        {81, 263, 0.25528851987827423, 0.36620957698280007},
        {1, 2, 0.094531205734230713, 0.90546879426576929},
        {5, 10, 0.23659309051256398, 0.76340690948743602},
        {1, 1, 0.20654931437723739, 1.0},
        {0, 1, 0.0, 0.79345068562276261},
        {29, 29, 0.88303020150025923, 1.0},
        {1, 1000000000, 1.7652455495696313e-10, 5.6649342432974394e-9},
        {2147483646, 2147483647, 0.99999999736205942, 0.99999999991779935},
    };
    for (const Case& c : table) {
        const Proportion p = proportionOf(c.k, c.n);
        EXPECT_NEAR(p.wilson95.low, c.low, 1e-12 * c.low) << c.k << "/" << c.n;
        EXPECT_NEAR(p.wilson95.high, c.high, 1e-12 * c.high) << c.k << "/" << c.n;
    }
}

TEST(WilsonInterval, NoneAndAllReachTheEndsExactly) {
    for (std::int64_t n : {1, 2, 20, 263, 1000000, 2147483647}) {
        const Proportion none = proportionOf(0, n);
        EXPECT_EQ(none.share, 0.0);
        EXPECT_EQ(none.wilson95.low, 0.0) << n;
        EXPECT_GT(none.wilson95.high, 0.0) << n;
        const Proportion all = proportionOf(n, n);
        EXPECT_EQ(all.share, 1.0);
        EXPECT_EQ(all.wilson95.high, 1.0) << n;
        EXPECT_LT(all.wilson95.low, 1.0) << n;
        // The two are mirror images: 20/20 starts where 0/20 ends.
        EXPECT_NEAR(all.wilson95.low, 1.0 - none.wilson95.high, 1e-15) << n;
    }
}

TEST(WilsonInterval, NoSongsGiveAnUndefinedShareAndTheWholeRange) {
    const Proportion p = proportionOf(0, 0);
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(p.total, 0);
    EXPECT_TRUE(std::isnan(p.share));
    EXPECT_EQ(p.wilson95.low, 0.0);
    EXPECT_EQ(p.wilson95.high, 1.0);
}

} // namespace
} // namespace quorvex::stats
