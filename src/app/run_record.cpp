#include "app/run_record.h"

#include "stats/draw_census.h"
#include "stats/score_summary.h"

namespace quorvex::app {

output::SimulationRecord recordOfRun(const RunRequest& request, const RunCircumstances& circumstances,
                                     const SeededRun& run) {
    output::SimulationRecord record;
    record.songs = request.songs;
    record.steps = request.steps;
    record.perfectRatio = request.perfectRatio;
    record.perfectRatioText = circumstances.perfectRatioText;
    record.seed = request.seed;
    record.threads = circumstances.threads;
    record.elapsedSeconds = run.elapsedSeconds;

    const std::vector<ScoreGroup> ascending = run.songs.rows();
    record.histogram.assign(ascending.rbegin(), ascending.rend());
    record.bestScore = stats::bestScoreFor(request.steps);
    record.summary = stats::summarize(ascending, record.bestScore, circumstances.atLeast);
    record.census = stats::takeDrawCensus(deriveRunConstants(request.steps, request.perfectRatio).constants);
    record.exact = stats::exactValuesFor(record.census, request.steps);
    return record;
}

} // namespace quorvex::app
