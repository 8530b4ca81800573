#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "sim/engine/engine.h"
#include "sim/engine/score_aggregate.h"
#include "sim/step_model.h"

namespace quorvex {

// One run of a batch: `songs` songs of `steps` steps with these constants,
// the first song starting with the draw after generator state `startState`.
struct SongRun {
    std::int32_t songs;
    std::int32_t steps;
    RunConstants constants;
    std::uint64_t startState;
};

// Receives a finished run: its index in the batch, its songs folded by score
// (the reference is valid only during the call) and its fault.
using SongRunFinished = std::function<void(std::size_t run, const ScoreAggregate& songs, ModelFault fault)>;

// Plays many runs on one pool of threads. Contracts:
// - Each run gives exactly the songs and the fault runSongs gives for it
//   with randomState = startState and an empty aggregate.
// - `finished` is called once per run, in run order, on the calling thread,
//   as soon as that run and every run before it are done; meanwhile the
//   threads play on. When a thread has no chunk of a run left to take it
//   takes the next run's first, so no thread waits for a run's slowest
//   chunk. At most 2 x threads + 4 runs are in flight (one aggregate of
//   some 32 KB each, and for a run of many one-step songs its table of
//   some 330 KB, one_step_songs.h): a `finished` slower than the runs holds
//   the threads back rather than letting memory grow.
// - Runs the kernels decline (kernelsCoverRun) are played by the plain
//   model, each whole on one thread, from the run's own startState. The
//   batch never reads or writes the process-wide randomState, so batches
//   may run side by side.
// - options.songsDone, when set, counts every song of the batch, as
//   runSongs counts a run's.
// - options.cancel, when set and found true (once per chunk, once per song
//   of the plain model), stops the batch within about a chunk's time:
//   no later run is reported and runSongBatch returns normally; the caller
//   tells a stopped batch by its flag.
// - The numeric mode must be in force on the calling thread.
// - An exception from `finished` (or from a thread, such as running out of
//   memory) stops the batch: the threads are joined, the exception passes
//   to the caller, and no later run is reported.
void runSongBatch(const std::vector<SongRun>& runs, const EngineOptions& options,
                  const SongRunFinished& finished);

} // namespace quorvex
