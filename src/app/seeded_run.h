#pragma once

#include <cstdint>

#include "app/run_control.h"
#include "sim/engine/engine_aggregate.h"
#include "sim/step_model.h"

namespace quorvex::app {

// The three values a run is asked for, and the clock second it is seeded
// from. Songs and steps are at least 1.
struct RunRequest {
    std::int32_t songs = 0;
    std::int32_t steps = 0;
    double perfectRatio = 0;
    std::uint32_t seed = 0;
};

struct SeededRun {
    ScoreAggregate songs;      // every song's result, folded by score
    ModelFault fault{};        // ModelFault::none, unless the ratio cannot be played
    double elapsedSeconds = 0; // the songs only, wall-clock time
};

// The generator state the dialogue's seeding leaves for clock second
// `second`: the second in the low word, 0 in the high word.
constexpr std::uint64_t generatorStateSeededWith(std::uint32_t second) {
    return second;
}

// Plays exactly the songs the dialogue plays when it is started in second
// `seed` and given the same three values, from a generator state of its own
// (the process-wide one is neither read nor moved), so that runs may go on
// side by side. The results do not depend on `threads` (at least 1) or on
// the instruction set. `control`, when given, counts finished songs as the
// engine hands over each chunk and may stop the run: RunCancelled is thrown.
// The numeric mode must be in force.
SeededRun playSeededRun(const RunRequest& request, int threads, RunControl* control = nullptr);

// Throws RunCancelled when the control asked the run to stop.
void throwIfCancelled(const RunControl* control);

} // namespace quorvex::app
