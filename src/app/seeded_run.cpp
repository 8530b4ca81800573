#include "app/seeded_run.h"

#include <chrono>

#include "app/usage_error.h"
#include "sim/engine/engine_batch.h"

namespace quorvex::app {

SeededRun playSeededRun(const RunRequest& request, int threads, RunControl* control) {
    SeededRun run;
    // The dialogue's order: seed, then derive the run constants, then play.
    const SongRun songs{request.songs, request.steps,
                        deriveRunConstants(request.steps, request.perfectRatio).constants,
                        generatorStateSeededWith(request.seed)};
    EngineOptions options;
    options.threads = threads;
    if (control != nullptr) {
        options.songsDone = control->songsDone();
        options.cancel = control->cancelFlag();
    }
    const auto start = std::chrono::steady_clock::now();
    runSongBatch({songs}, options, [&](std::size_t, const ScoreAggregate& played, ModelFault fault) {
        run.songs.merge(played);
        run.fault = fault;
    });
    throwIfCancelled(control);
    run.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

void throwIfCancelled(const RunControl* control) {
    if (control != nullptr && control->cancelled())
        throw RunCancelled();
}

} // namespace quorvex::app
