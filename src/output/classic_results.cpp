#include "output/classic_results.h"

#include "sim/results_report.h"
#include "sim/score_tally.h"

namespace quorvex::output {

std::string classicResultsText(const SimulationRecord& run) {
    // The tally equals one built song by song, whatever the order of the
    // groups folded in (ScoreTally::merge).
    ScoreTally tally;
    for (const ScoreGroup& group : run.histogram)
        tally.merge(group);
    tally.order();
    return resultsFileText(run.perfectRatio, run.songs, run.steps, tally);
}

} // namespace quorvex::output
