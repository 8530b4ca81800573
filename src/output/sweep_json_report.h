#pragma once

// A sweep as one json document, for programs: the same conventions as
// simulate's (json_report.h: keys in this order, two-space indent, a final
// "\n", exact numbers, NaN as null, nothing about the machine, the threads
// or the time taken).
//
// {
//   "program": "quorvex", "version": "1.0", "command": "sweep",
//   "parameters": {
//     "songs", "steps",         per ratio
//     "perfect",                --perfect as given, a list or a range
//     "seed",                   every ratio's
//     "at_least": [scores]
//   },
//   "best_score",               the highest score the step count allows
//   "ratios": [{                one per ratio, in the order given
//     "perfect_ratio",          the double it was played with
//     "perfect_ratio_text",     the text that reads as it
//     "statistics": {...},      exactly simulate's for this ratio and seed
//     "exact": {...}            exactly simulate's
//   }]
// }

#include <string>

#include "output/sweep_record.h"

namespace quorvex::output {

std::string sweepJson(const SweepRecord& sweep);

} // namespace quorvex::output
