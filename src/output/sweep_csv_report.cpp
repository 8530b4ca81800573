#include "output/sweep_csv_report.h"

#include <cmath>

#include "numbers/number_text.h"

namespace quorvex::output {

namespace {

std::string real(double x) {
    return std::isnan(x) ? std::string() : shortestText(x);
}

void addProportion(std::string& line, const stats::Proportion& p) {
    line.append(",")
        .append(integerText(p.count))
        .append(",")
        .append(real(p.share))
        .append(",")
        .append(real(p.wilson95.low))
        .append(",")
        .append(real(p.wilson95.high));
}

} // namespace

std::string sweepCsv(const SweepRecord& sweep) {
    std::string csv =
        "perfect_ratio,perfect_ratio_text,songs,mean,mean_ci95_low,mean_ci95_high,"
        "standard_deviation,p5,median,p95,"
        "aaa_count,aaa_share,aaa_ci95_low,aaa_ci95_high,aaa_exact,aaa_generator_exact,"
        "perfect_score_count,perfect_score_share,perfect_score_ci95_low,perfect_score_ci95_high,"
        "perfect_score_exact,perfect_score_generator_exact";
    for (const std::int32_t score : sweep.atLeast) {
        const std::string prefix = ",at_least_" + integerText(score);
        csv.append(prefix + "_count").append(prefix + "_share");
        csv.append(prefix + "_ci95_low").append(prefix + "_ci95_high");
    }
    csv.append("\n");
    for (const SweepRow& row : sweep.rows) {
        const SimulationRecord& run = row.run;
        const stats::ScoreSummary& s = run.summary;
        std::string line = shortestText(run.perfectRatio);
        line.append(",").append(run.perfectRatioText);
        line.append(",").append(integerText(s.songs));
        line.append(",").append(real(s.mean));
        line.append(",").append(real(s.meanInterval95.low));
        line.append(",").append(real(s.meanInterval95.high));
        line.append(",").append(real(s.standardDeviation));
        line.append(",").append(integerText(s.p5));
        line.append(",").append(integerText(s.median));
        line.append(",").append(integerText(s.p95));
        addProportion(line, s.aaa);
        line.append(",").append(real(run.exact.aaaChance));
        line.append(",").append(real(run.exact.generatorAaaChance));
        addProportion(line, s.perfectScore);
        line.append(",").append(real(run.exact.perfectScoreChance));
        line.append(",").append(real(run.exact.generatorPerfectScoreChance));
        for (const stats::ScoreThreshold& threshold : s.atLeast)
            addProportion(line, threshold.songs);
        csv.append(line).append("\n");
    }
    return csv;
}

} // namespace quorvex::output
