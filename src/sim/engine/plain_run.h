#pragma once

#include <cstdint>

#include "sim/engine/score_aggregate.h"
#include "sim/step_model.h"

namespace quorvex {

// The plain model, one song after another from randomState, folded into
// `aggregate`. Returns the fault of the first song that faults (no song
// after it is played), else ModelFault::none. The engine plays the runs its
// kernels decline this way, and its results are what the engine's must equal.
ModelFault runSongsPlain(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                         ScoreAggregate& aggregate);

} // namespace quorvex
