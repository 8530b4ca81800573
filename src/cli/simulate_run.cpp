#include "cli/simulate_run.h"

#include <string>
#include <vector>

#include "cli/classic_results.h"
#include "cli/run_output.h"
#include "cli/run_record.h"
#include "cli/terminal_text_style.h"
#include "cli/usage_error.h"
#include "output/csv_report.h"
#include "output/json_report.h"
#include "output/svg_histogram.h"
#include "output/text_report.h"

namespace quorvex::cli {

namespace {

constexpr std::string_view command = "simulate";

std::string reportText(const SimulateSettings& settings, const output::SimulationRecord& record) {
    switch (settings.format) {
    case ReportFormat::csv:
        return output::simulationCsv(record);
    case ReportFormat::json:
        return output::simulationJson(record);
    case ReportFormat::text:
        break;
    }
    return output::simulationText(record, textStyleFor(settings.outputFile));
}

} // namespace

int runSimulate(const SimulateSettings& settings) {
    // 1. The songs, with a progress line while they run when a person is
    //    watching standard error; the line is gone before anything is written.
    ProgressDisplay progress =
        progressOnStandardError(settings.quiet, settings.request.songs, settings.request.steps);
    const SeededRun run = playSeededRun(settings.request, settings.threads, progress.songsDone());
    progress.finish();
    if (run.fault != ModelFault::none) {
        // Ratios in (0, 1] always play; kept for a model that one day refuses one.
        tell(command, "the perfect ratio " + settings.perfectRatioText + " cannot be played");
        return exitFailure;
    }

    // 2. Every text, before any file is touched: the dialogue's table, the
    //    plot, then the report, which goes last so that on a terminal it
    //    stands below any message about the files.
    const output::SimulationRecord record =
        recordOfRun(settings.request, {settings.perfectRatioText, settings.threads, settings.atLeast}, run);
    std::vector<Rendered> texts;
    if (settings.resultsFile)
        texts.push_back({*settings.resultsFile, classicResultsText(settings.request, run.songs)});
    if (settings.plotFile)
        texts.push_back({*settings.plotFile, output::histogramSvg(record)});
    texts.push_back({settings.outputFile, reportText(settings, record)});

    // 3. Each file whole or not at all; one that fails does not keep the
    //    others from being written.
    return writeRendered(command, texts);
}

} // namespace quorvex::cli
