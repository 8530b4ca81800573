#pragma once

#include <string>

#include "output/sweep_record.h"

namespace quorvex::output {

// A sweep as csv, one line per ratio in the order given, after the header
//   perfect_ratio,perfect_ratio_text,songs,mean,mean_ci95_low,mean_ci95_high,
//   standard_deviation,p5,median,p95,
//   aaa_count,aaa_share,aaa_ci95_low,aaa_ci95_high,aaa_exact,aaa_generator_exact,
//   perfect_score_count,perfect_score_share,perfect_score_ci95_low,
//   perfect_score_ci95_high,perfect_score_exact,perfect_score_generator_exact
// and for each --at-least X: at_least_X_count,at_least_X_share,
// at_least_X_ci95_low,at_least_X_ci95_high. perfect_ratio is the shortest
// text that reads back as the ratio's double, perfect_ratio_text the text the
// ratio was read from; reals are the shortest round-trip texts, a value that
// is not a number (the interval of a single song) an empty field. "_exact"
// holds for independent, equally likely draw indices, "_generator_exact"
// for independent generator outputs (see json_report.h). Lines end in "\n";
// no field needs quoting; nothing depends on the machine.
std::string sweepCsv(const SweepRecord& sweep);

} // namespace quorvex::output
