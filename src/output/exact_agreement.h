#pragma once

// Whether a run agrees, at 95%, with the values that hold exactly when the
// steps' draws are independent and equally likely. Each check fails in about
// 1 run in 20 by chance alone; failing far more often means the engine or
// the census is wrong.

#include "output/simulation_record.h"
#include "stats/proportion.h"

namespace quorvex::output {

struct ExactAgreement {
    bool aaaChance;          // the AAA share's Wilson interval contains the exact chance
    bool perfectScoreChance; // the score-1000 share's interval contains its exact chance
    // The run keeps no per-song squares of marvelous counts, so the band is
    // built from the model instead: with q the chance that a step is
    // marvelous, a song's count is binomial, and 95% of runs' means fall
    // within steps q +- 1.959964 sqrt(steps q (1 - q) / songs). The
    // generator does not make the 10^7 draws equally likely (an index below
    // 7483648 comes from 215 of its 2^31 outputs, the rest from 214), which
    // moves q by up to 0.35% of itself: a bias that a few hundred thousand
    // songs can see. So q runs over every value the census's draws can have,
    // wherever they lie among the indices, and the band covers them all.
    stats::Interval marvelousBand;
    // The half width of the run's marvelous mean's own 95% spread under the
    // model at the census's q: how precise the estimate is.
    double marvelousHalfWidth;
    bool marvelousMean; // the run's marvelous mean lies within the band

    bool all() const { return aaaChance && perfectScoreChance && marvelousMean; }
};

ExactAgreement exactAgreementOf(const SimulationRecord& run);

} // namespace quorvex::output
