#include "cli/sweep_run.h"

#include <cstdint>
#include <string>
#include <vector>

#include "cli/run_output.h"
#include "cli/terminal_text_style.h"
#include "cli/usage_error.h"
#include "output/sweep_csv_report.h"
#include "output/sweep_json_report.h"
#include "output/sweep_svg_plot.h"
#include "output/sweep_text_report.h"
#include "stats/draw_census.h"

namespace quorvex::cli {

namespace {

constexpr std::string_view command = "sweep";

std::string reportText(const SweepSettings& settings, const output::SweepRecord& record) {
    switch (settings.format) {
    case ReportFormat::csv:
        return output::sweepCsv(record);
    case ReportFormat::json:
        return output::sweepJson(record);
    case ReportFormat::text:
        break;
    }
    return output::sweepText(record, textStyleFor(settings.outputFile));
}

} // namespace

int runSweep(const SweepSettings& settings) {
    const SweepRequest& request = settings.request;
    // 1. The songs of every ratio, with one progress line over the whole
    //    sweep while a person watches; the line is gone before anything is
    //    written.
    const std::int64_t totalSongs =
        static_cast<std::int64_t>(request.songs) * static_cast<std::int64_t>(request.ratios.size());
    ProgressDisplay progress = progressOnStandardError(settings.quiet, totalSongs, request.steps);
    SeededSweep sweep = playSeededSweep(request, settings.threads, progress.songsDone());
    progress.finish();
    if (sweep.faultedRatio) {
        tell(command, "the perfect ratio " + request.ratios[*sweep.faultedRatio].text + " cannot be played");
        return exitFailure;
    }

    // 2. Every text before any file is touched: the plot, then the report.
    output::SweepRecord record;
    record.songs = request.songs;
    record.steps = request.steps;
    record.perfectText = settings.perfectText;
    record.seed = request.seed;
    record.atLeast = request.atLeast;
    record.bestScore = stats::bestScoreFor(request.steps);
    record.threads = settings.threads;
    record.elapsedSeconds = sweep.elapsedSeconds;
    record.rows = std::move(sweep.rows);
    record.exactAaaCurve = std::move(sweep.exactAaaCurve);
    std::vector<Rendered> texts;
    if (settings.plotFile)
        texts.push_back({*settings.plotFile, output::sweepSvg(record)});
    texts.push_back({settings.outputFile, reportText(settings, record)});

    // 3. Each file whole or not at all; one that fails does not keep the
    //    other from being written.
    return writeRendered(command, texts);
}

} // namespace quorvex::cli
