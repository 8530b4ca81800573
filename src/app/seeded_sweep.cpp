#include "app/seeded_sweep.h"

#include <algorithm>
#include <chrono>

#include "app/run_record.h"
#include "app/seeded_run.h"
#include "sim/engine/engine_batch.h"
#include "stats/draw_census.h"

namespace quorvex::app {

namespace {

constexpr int curveSamples = 240;

double exactAaaChance(std::int32_t steps, double ratio) {
    return stats::exactValuesFor(stats::takeDrawCensus(deriveRunConstants(steps, ratio).constants), steps)
        .aaaChance;
}

std::vector<output::ExactAaaPoint> exactAaaCurve(const SweepRequest& request) {
    std::vector<double> ratios;
    for (const SweepRatio& ratio : request.ratios)
        ratios.push_back(ratio.value);
    const auto [least, greatest] = std::minmax_element(ratios.begin(), ratios.end());
    const double low = *least, high = *greatest;
    if (high > low)
        for (int i = 1; i < curveSamples; ++i)
            ratios.push_back(low + (high - low) * i / curveSamples);
    std::sort(ratios.begin(), ratios.end());
    ratios.erase(std::unique(ratios.begin(), ratios.end()), ratios.end());
    std::vector<output::ExactAaaPoint> curve;
    curve.reserve(ratios.size());
    for (const double ratio : ratios)
        curve.push_back({ratio, exactAaaChance(request.steps, ratio)});
    return curve;
}

} // namespace

SeededSweep playSeededSweep(const SweepRequest& request, int threads, RunControl* control) {
    const auto start = std::chrono::steady_clock::now();
    // 1. Every ratio starts where simulate's run starts: the generator seeded
    //    with the second, then the ratio's constants.
    const std::uint64_t seeded = generatorStateSeededWith(request.seed);
    std::vector<SongRun> runs;
    runs.reserve(request.ratios.size());
    for (const SweepRatio& ratio : request.ratios)
        runs.push_back(
            {request.songs, request.steps, deriveRunConstants(request.steps, ratio.value).constants, seeded});

    // 2. One pool for all; each ratio summarised as it is reported, its
    //    histogram dropped with the aggregate.
    SeededSweep sweep;
    sweep.rows.reserve(runs.size());
    EngineOptions options;
    options.threads = threads;
    if (control != nullptr) {
        options.songsDone = control->songsDone();
        options.cancel = control->cancelFlag();
    }
    SeededRun run;
    runSongBatch(runs, options, [&](std::size_t index, const ScoreAggregate& songs, ModelFault fault) {
        if (sweep.faultedRatio)
            return;
        if (fault != ModelFault::none) {
            sweep.faultedRatio = index;
            return;
        }
        const SweepRatio& ratio = request.ratios[index];
        const RunRequest single{request.songs, request.steps, ratio.value, request.seed};
        run.songs = songs;
        output::SweepRow row{ratio.label, recordOfRun(single, {ratio.text, threads, request.atLeast}, run)};
        row.run.histogram = std::vector<ScoreGroup>(); // its memory freed, not kept for reuse
        sweep.rows.push_back(std::move(row));
    });
    throwIfCancelled(control);
    if (sweep.faultedRatio)
        sweep.rows.clear();
    else if (!request.ratios.empty())
        sweep.exactAaaCurve = exactAaaCurve(request);
    sweep.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return sweep;
}

} // namespace quorvex::app
