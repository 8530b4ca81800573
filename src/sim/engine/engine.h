#pragma once

#include <atomic>
#include <cstdint>

#include "sim/engine/processor.h"
#include "sim/engine/score_aggregate.h"
#include "sim/step_model.h"

namespace quorvex {

// The engine's entry: a run of songs played on several threads with vector
// kernels, with the same results as the plain model (plain_run.h). Beside it:
// processor.h (instruction sets, usable CPUs), kernel_constants.h (which runs
// the kernels cover), song_batch.h (many runs on one pool of threads).

struct EngineOptions {
    int threads = 0;                      // 0: one per CPU in the process's affinity mask
    EngineIsa isa = EngineIsa::automatic; // automatic: the best the processor supports
    // When set, songs finished so far are added here as each chunk of songs
    // (a few hundred thousand steps) ends, for a progress display that reads
    // it from another thread; never touched per step or per song.
    std::atomic<std::int64_t>* songsDone = nullptr;
    // When set, read once per chunk of songs (and once per song the plain
    // model plays): once it holds true the run stops within a chunk's time,
    // reports nothing more, and its results are incomplete. Never set for a
    // run whose results are used; the caller tells a stopped run by the flag.
    const std::atomic<bool>* cancel = nullptr;
};

// The engine: the same songs as runSongsPlain, with the same results folded
// into `aggregate` and randomState left where runSongsPlain leaves it, played
// on several threads with vector kernels. Song i starts from the state
// i * steps draws after randomState. Runs whose constants the kernels'
// error analysis does not cover (see kernelsCoverRun) are played by the
// plain model. A batch of one run (song_batch.h).
ModelFault runSongs(std::int32_t songs, std::int32_t steps, const RunConstants& constants,
                    ScoreAggregate& aggregate, const EngineOptions& options = {});

} // namespace quorvex
