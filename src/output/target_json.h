#pragma once

// The answer of `quorvex target` as one json document, for programs. Keys
// always in this order, two-space indent, a final "\n", reals as the
// shortest text that reads back as the same double, NaN as null. Nothing in
// it depends on the machine, the thread count or the time taken.
//
// {
//   "program": "quorvex", "version": "1.0", "command": "target",
//   "parameters": {
//     "goal": "aaa_chance" | "score_chance" | "mean_score",
//     "chance", "chance_text"     (aaa_chance, score_chance: Q and its text)
//     "score"                     (score_chance: X)
//     "mean", "mean_text"         (mean_score: M and its text)
//     "steps", "songs", "seed",
//     "resolution", "resolution_text"   (score_chance, mean_score)
//   },
//   "answer": {"perfect_ratio", "perfect_ratio_text",
//              "perfect_ratio_text_reads_back",  simulate --perfect reads the text as the ratio
//              "method": "exact" | "simulated"},
//   "exact": {                    (aaa_chance) for independent, equally likely draws
//     "aaa_draws_needed",         a*, the least count with (a* / 10^7)^S >= Q
//     "aaa_draws", "draws": 10000000, "aaa_chance",         at the answer
//     "ratio_below", "ratio_below_text", "aaa_draws_below", "aaa_chance_below",
//                                 at the double just below the answer, short of Q
//     "aaa_outputs", "outputs": 2147483648, "generator_aaa_chance",
//     "exact_checks"              comparisons decided on integers
//   },
//   "search": {                   (score_chance, mean_score)
//     "grid", "runs",             ratios k / grid; seeded runs played, ratio 1 first
//     "bracket": {"low", "high"}, the answer is "high"
//     "goal_within_interval"      the goal's value lies in the answer's 95% interval
//   },
//   "at_answer": RUN,
//   "below_answer": RUN or null   (score_chance, mean_score; null when the bracket starts at 0)
// }
// RUN is {"perfect_ratio", "perfect_ratio_text", "songs", then by goal:
//   aaa_chance:   "aaa": PROPORTION, "agrees" (the 95% interval contains the
//                 generator's exact chance; false in 1 run in 20 by chance)
//   score_chance: "at_least": {"score", then PROPORTION's keys}, "meets"
//   mean_score:   "mean", "standard_error", "mean_ci95": {"low", "high"},
//                 "standard_deviation", "meets"}
// PROPORTION is {"count", "total", "share", "ci95": {"low", "high"}} (Wilson).

#include <string>

#include "output/target_record.h"

namespace quorvex::output {

std::string targetJson(const TargetRecord& record);

} // namespace quorvex::output
