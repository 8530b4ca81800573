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

TEST(ExactAgreement, TheMarvelousBandIsBinomialAroundTheGeneratorsMean) {
    // 2138903862 of the 2^31 outputs give marvelous draws: q = 0.99601, mean
    // 400 q = 398.40189 (as the record holds it); over 10 songs 95% of means
    // fall within 1.959964 sqrt(400 q (1 - q) / 10) = 0.781956 of it (worked
    // out apart, in Python's doubles).
    const ExactAgreement agreement = exactAgreementOf(testing::tenSongRecord());
    EXPECT_NEAR(agreement.marvelousHalfWidth, 0.7819555766676506, 1e-9);
    EXPECT_NEAR(agreement.marvelousBand.low, 397.6199344233323, 1e-9);
    EXPECT_NEAR(agreement.marvelousBand.high, 399.1838455766677, 1e-9);
    EXPECT_FALSE(agreement.marvelousMean); // 397.2
}

TEST(ExactAgreement, TheYardstickIsTheGeneratorsWeightingNotEquallyLikelyDraws) {
    // Half the outputs marvelous, 100 steps, 10^4 songs: mean 50, half width
    // 1.959964 sqrt(100 / 4 / 10^4) = 0.0979982. A run at 49.95 agrees; one
    // at 50.12 does not, though the equally likely draws' mean (put at 50.1
    // here) would hold it.
    output::SimulationRecord run = testing::tenSongRecord();
    run.steps = 100;
    run.summary.songs = 10000;
    run.census = {9000000, 5010000, 1932735283, 1073741824};
    run.exact.marvelousMean = 50.1;
    run.exact.generatorMarvelousMean = 50;
    run.summary.marvelousMean = 49.95;
    EXPECT_NEAR(exactAgreementOf(run).marvelousBand.low, 49.9020018, 1e-7);
    EXPECT_NEAR(exactAgreementOf(run).marvelousBand.high, 50.0979982, 1e-7);
    EXPECT_TRUE(exactAgreementOf(run).marvelousMean);
    run.summary.marvelousMean = 50.12;
    EXPECT_FALSE(exactAgreementOf(run).marvelousMean);
    // The same for a proportion: 3 of 10 AAA, [0.108, 0.603], judged by the
    // generator's chance alone.
    run.exact.aaaChance = 0.9;
    run.exact.generatorAaaChance = 0.5;
    EXPECT_TRUE(exactAgreementOf(run).aaaChance);
}

TEST(ExactAgreement, AllMarvelousLeavesNoSpread) {
    const ExactAgreement agreement = exactAgreementOf(testing::allAaaRecord());
    EXPECT_EQ(agreement.marvelousBand.low, 400);
    EXPECT_EQ(agreement.marvelousBand.high, 400);
    EXPECT_TRUE(agreement.all());
}

} // namespace
} // namespace quorvex::output
