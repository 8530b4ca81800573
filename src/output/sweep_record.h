#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/simulation_record.h"

namespace quorvex::output {

// One ratio of a sweep: its run exactly as `simulate --seed SEED --perfect
// R` records it (parameters, summary, census and exact values), except that
// the histogram is left empty, so that 10,000 ratios fit in a few megabytes.
struct SweepRow {
    std::string label; // the ratio as a table shows it ("0.95"; the run holds the text that reads as it)
    SimulationRecord run;
};

// The exact P(AAA) for independent draws at one ratio.
struct ExactAaaPoint {
    double ratio;
    double chance;
};

// A sweep of `quorvex sweep`, as every sweep writer sees it.
struct SweepRecord {
    // The sweep as asked.
    std::int32_t songs = 0; // per ratio
    std::int32_t steps = 0;
    std::string perfectText; // --perfect as given: a list or a range
    std::uint32_t seed = 0;  // every ratio's
    std::vector<std::int32_t> atLeast;
    std::int32_t bestScore = 0; // the highest score the step count allows

    // How it ran: in text only, as for simulate.
    int threads = 0;
    double elapsedSeconds = 0; // the whole sweep

    std::vector<SweepRow> rows; // in the order the ratios were given

    // For the plot: the exact P(AAA) across the ratios' span, finer than the
    // rows, ascending (empty: the plot joins the rows' exact values).
    std::vector<ExactAaaPoint> exactAaaCurve;
};

} // namespace quorvex::output
