#include "cli/seeded_run.h"

#include <chrono>

#include "runtime/random_source.h"
#include "sim/engine/engine.h"

namespace quorvex::cli {

SeededRun playSeededRun(const RunRequest& request, int threads, std::atomic<std::int64_t>* songsDone) {
    SeededRun run;
    // The dialogue's order: seed, then derive the run constants, then play.
    seedRandom(request.seed);
    const RunConstants constants = deriveRunConstants(request.steps, request.perfectRatio).constants;
    EngineOptions options;
    options.threads = threads;
    options.songsDone = songsDone;
    const auto start = std::chrono::steady_clock::now();
    run.fault = runSongs(request.songs, request.steps, constants, run.songs, options);
    run.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

} // namespace quorvex::cli
