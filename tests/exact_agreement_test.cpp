// Which exact values a run's estimates agree with.

#include "output/exact_agreement.h"

#include <gtest/gtest.h>

#include "simulation_records.h"

namespace quorvex::output {
namespace {

TEST(ExactAgreement, ProportionsAgreeWhenTheirIntervalHoldsTheExactChance) {
    // 3 of 10 AAA: [0.108, 0.603] misses 0.670; 2 of 10 at 1000: [0.057, 0.510] holds 0.201.
    const ExactAgreement agreement = exactAgreementOf(testing::tenSongRecord());
    EXPECT_FALSE(agreement.aaaChance);
    EXPECT_TRUE(agreement.perfectScoreChance);
    EXPECT_FALSE(agreement.all());
}

TEST(ExactAgreement, TheMarvelousBandCoversTheGeneratorsUnevenDraws) {
    // m = 9960001 of 10^7, 400 steps, 10 songs. At its lowest the draws take
    // all 2516352 light indices (214 outputs each): q = 0.99599541304633; at
    // its highest all 7483648 heavy ones (215): q = 0.99601403903216. The
    // binomial half width at the q nearest 1/2, the lowest:
    // 1.959964 sqrt(400 q (1 - q) / 10) = 0.782863. The band runs from
    // 400 * 0.99599541304633 - 0.782863 to 400 * 0.99601403903216 + 0.782863
    // (worked out apart, in Python's doubles).
    const ExactAgreement agreement = exactAgreementOf(testing::tenSongRecord());
    EXPECT_NEAR(agreement.marvelousBand.low, 397.6153024849777, 1e-9);
    EXPECT_NEAR(agreement.marvelousBand.high, 399.1884783464189, 1e-9);
    EXPECT_FALSE(agreement.marvelousMean); // 397.2
    // The estimate's own half width at the census's q = 0.9960001.
    EXPECT_NEAR(agreement.marvelousHalfWidth, 0.78241, 1e-5);
}

TEST(ExactAgreement, AHalfMarvelousCensusGivesTheWidestSpread) {
    // m = 5 * 10^6, 100 steps, 10^4 songs: q from 0.49941411618 to
    // 0.50058588386, spread at q = 1/2: 1.959964 * sqrt(100 / 4 / 10^4).
    output::SimulationRecord run = testing::tenSongRecord();
    run.steps = 100;
    run.summary.songs = 10000;
    run.census = {9000000, 5000000};
    run.exact.marvelousMean = 50;
    run.summary.marvelousMean = 49.85;
    const ExactAgreement agreement = exactAgreementOf(run);
    EXPECT_NEAR(agreement.marvelousBand.low, 49.84341341519103, 1e-9);
    EXPECT_NEAR(agreement.marvelousBand.high, 50.15658658480897, 1e-9);
    EXPECT_TRUE(agreement.marvelousMean);
}

TEST(ExactAgreement, AllMarvelousLeavesNoSpread) {
    const ExactAgreement agreement = exactAgreementOf(testing::allAaaRecord());
    EXPECT_EQ(agreement.marvelousBand.low, 400);
    EXPECT_EQ(agreement.marvelousBand.high, 400);
    EXPECT_TRUE(agreement.all());
}

} // namespace
} // namespace quorvex::output
