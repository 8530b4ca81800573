#include "cli/simulate_run.h"

#include <string>
#include <vector>

#include "cli/classic_results.h"
#include "cli/progress.h"
#include "cli/run_record.h"
#include "cli/usage_error.h"
#include "output/csv_report.h"
#include "output/file_output.h"
#include "output/json_report.h"
#include "output/svg_histogram.h"
#include "output/text_report.h"
#include "platform/terminal.h"
#include "runtime/write_fully.h"

namespace quorvex::cli {

namespace {

constexpr int standardOutput = 1;
constexpr int standardError = 2;

// A text bound for a file (or "-", standard output).
struct Rendered {
    std::string file;
    std::string text;
};

// How the text report may draw: the terminal's width when it goes to one;
// Unicode as the locale says, on a terminal or not.
output::TextStyle textStyleFor(const std::string& file) {
    output::TextStyle style;
    if (file == "-" && platform::isTerminal(standardOutput))
        style.columns = platform::terminalColumns(standardOutput);
    style.unicode = platform::terminalShowsUtf8();
    return style;
}

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

void tell(const std::string& message) {
    const std::string line = "quorvex simulate: " + message + "\n";
    (void)writeFully(standardError, line.data(), line.size());
}

} // namespace

int runSimulate(const SimulateSettings& settings) {
    // 1. The songs, with a progress line while they run when a person is
    //    watching standard error; the line is gone before anything is written.
    ProgressDisplay progress(standardError, !settings.quiet && platform::isTerminal(standardError),
                             settings.request.songs, settings.request.steps);
    const SeededRun run = playSeededRun(settings.request, settings.threads, progress.songsDone());
    progress.finish();
    if (run.fault != ModelFault::none) {
        // Ratios in (0, 1] always play; kept for a model that one day refuses one.
        tell("the perfect ratio " + settings.perfectRatioText + " cannot be played");
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
    int status = exitSuccess;
    for (const Rendered& rendered : texts) {
        const output::WriteResult written = output::writeWholeFile(rendered.file, rendered.text);
        if (!written.ok) {
            tell(written.error);
            status = exitFailure;
        }
    }
    return status;
}

} // namespace quorvex::cli
