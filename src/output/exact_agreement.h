#pragma once

// Whether a run agrees, at 95%, with the values that hold exactly when the
// steps' generator outputs are independent and equally likely (the
// census's weighted counts). Each check fails in about 1 run in 20 by
// chance alone; failing far more often means the engine or the census is
// wrong. The values for equally likely draw indices are not the yardstick:
// the generator makes the low indices a little more likely (215 of its 2^31
// outputs each against 214), which long runs see.

#include "output/simulation_record.h"
#include "stats/proportion.h"

namespace quorvex::output {

struct ExactAgreement {
    bool aaaChance;          // the AAA share's Wilson interval contains the exact chance
    bool perfectScoreChance; // the score-1000 share's interval contains its exact chance
    // The run keeps no per-song squares of marvelous counts, so the band is
    // built from the model instead: with q the chance that a step is
    // marvelous, a song's count is binomial, and 95% of runs' means fall
    // within steps q +- 1.959964 sqrt(steps q (1 - q) / songs).
    stats::Interval marvelousBand;
    double marvelousHalfWidth; // the band's half width: how precise the run's mean is
    bool marvelousMean;        // the run's marvelous mean lies within the band

    bool all() const { return aaaChance && perfectScoreChance && marvelousMean; }
};

ExactAgreement exactAgreementOf(const SimulationRecord& run);

} // namespace quorvex::output
