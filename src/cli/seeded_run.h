#pragma once

#include <atomic>
#include <cstdint>

#include "sim/engine/score_aggregate.h"
#include "sim/step_model.h"

namespace quorvex::cli {

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

// Plays exactly the songs the dialogue plays when it is started in second
// `seed` and given the same three values: the random source seeded with the
// second, then the engine. The results do not depend on `threads` (at least
// 1) or on the instruction set. `songsDone`, when given, counts finished
// songs as the engine hands over each chunk, for a progress display.
//
// The random source is the process's one generator: runs are played one at
// a time, and each leaves it where the dialogue's run would.
SeededRun playSeededRun(const RunRequest& request, int threads,
                        std::atomic<std::int64_t>* songsDone = nullptr);

} // namespace quorvex::cli
