#include "sim/engine/engine.h"

#include <cstddef>
#include <cstdint>

#include "runtime/random_source.h"
#include "sim/engine/song_batch.h"

namespace quorvex {

ModelFault runSongs(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                    ScoreAggregate& aggregate, const EngineOptions& options) {
    // The batch of this one run, from the generator's current state.
    const std::uint64_t start = randomState;
    ModelFault fault = ModelFault::none;
    runSongBatch({SongRun{songs, steps, constants, start}}, options,
                 [&](std::size_t, const ScoreAggregate& songsPlayed, ModelFault runFault) {
                     aggregate.merge(songsPlayed);
                     fault = runFault;
                 });
    // Then leave the generator where the plain model would: past every draw
    // of every song, or untouched when no step was played (a fault comes at
    // the first step, before its draw).
    if (songs > 0 && steps > 0 && fault == ModelFault::none)
        randomState =
            advanceRandomState(start, static_cast<std::uint64_t>(songs) * static_cast<std::uint64_t>(steps));
    else
        randomState = start;
    return fault;
}

} // namespace quorvex
