#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/run_control.h"
#include "app/sweep_ratios.h"
#include "output/sweep_record.h"

namespace quorvex::app {

// A sweep as asked: the same songs, steps and seed at every ratio.
struct SweepRequest {
    std::int32_t songs = 0; // per ratio, at least 1
    std::int32_t steps = 0; // at least 1
    std::uint32_t seed = 0;
    std::vector<SweepRatio> ratios;
    std::vector<std::int32_t> atLeast;
};

struct SeededSweep {
    std::vector<output::SweepRow> rows; // one per ratio, in order; none after a fault
    // The exact P(AAA) at every ratio and at 240 more spread evenly between
    // the least and the greatest, ascending: a curve for the plot. Cheap: a
    // census is a few dozen judged steps.
    std::vector<output::ExactAaaPoint> exactAaaCurve;
    // The first ratio the model could not play (none in (0, 1] can fail;
    // kept for a model that one day refuses one).
    std::optional<std::size_t> faultedRatio;
    double elapsedSeconds = 0; // the songs and their summaries, wall-clock time
};

// Plays every ratio from the same seed (common random numbers), all on one
// pool of `threads` threads (runSongBatch), and summarises each ratio as
// soon as it is done, keeping no histogram: each row is exactly the record
// `simulate --seed SEED --perfect R` makes for that ratio (recordOfRun),
// histogram aside. The results do not depend on `threads`. `control`,
// when given, counts the songs of the whole sweep as they finish and may
// stop it: RunCancelled is thrown. The process's random source is neither
// read nor moved.
SeededSweep playSeededSweep(const SweepRequest& request, int threads, RunControl* control = nullptr);

} // namespace quorvex::app
