#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/seeded_run.h"
#include "output/simulation_record.h"

namespace quorvex::app {

// How a run was asked for and played, beyond its three values and seed.
struct RunCircumstances {
    std::string perfectRatioText;      // the ratio as the user wrote it
    int threads = 0;                   // the threads it was played on
    std::vector<std::int32_t> atLeast; // the X of each P(score >= X) asked for
};

// The record every writer renders: the run as asked, how it ran, the
// histogram (highest score first), the summary of its songs, the best score
// the step count allows, and the draw census with the exact values for
// independent draws. Needs at least one song.
output::SimulationRecord recordOfRun(const RunRequest& request, const RunCircumstances& circumstances,
                                     const SeededRun& run);

} // namespace quorvex::app
