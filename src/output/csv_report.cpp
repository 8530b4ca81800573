#include "output/csv_report.h"

#include "numbers/number_text.h"
#include "output/score_rows.h"

namespace quorvex::output {

std::string simulationCsv(const SimulationRecord& run) {
    const std::vector<ScoreGroup> rows = highestScoreFirst(run.histogram);
    const double total = static_cast<double>(songsIn(rows));
    std::string csv = "score,songs,share,highest_marvelous,lowest_marvelous,aaa_songs\n";
    for (const ScoreGroup& row : rows) {
        csv.append(integerText(row.songScore))
            .append(",")
            .append(integerText(row.frequency))
            .append(",")
            .append(shortestText(static_cast<double>(row.frequency) / total))
            .append(",")
            .append(integerText(row.highestMarvelous))
            .append(",")
            .append(integerText(row.lowestMarvelous))
            .append(",")
            .append(integerText(row.aaaCount))
            .append("\n");
    }
    return csv;
}

} // namespace quorvex::output
