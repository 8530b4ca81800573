#include "sim/engine/plain_run.h"

namespace quorvex {

ModelFault runSongsPlain(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                         ScoreAggregate& aggregate) {
    for (std::int32_t song = 0; song < songs; ++song) {
        const SongOutcome outcome = simulateSong(steps, constants);
        if (outcome.fault != ModelFault::none)
            return outcome.fault;
        aggregate.record(outcome.result);
    }
    return ModelFault::none;
}

} // namespace quorvex
