#include "cli/classic_results.h"

#include "sim/results_table.h"
#include "sim/score_tally.h"

namespace quorvex::cli {

std::string classicResultsText(const RunRequest& request, const ScoreAggregate& songs) {
    ScoreTally tally;
    for (const ScoreGroup& group : songs.rows())
        tally.merge(group);
    tally.order();
    return resultsFileText(request.perfectRatio, request.songs, request.steps, tally);
}

} // namespace quorvex::cli
