#pragma once

// A simulation as one json document, for programs. Keys always in this order,
// two-space indent, a final "\n"; numbers exact (integers as integers, reals
// as the shortest text that reads back as the same double); NaN as null.
// Nothing in it depends on the machine, the thread count or the time taken,
// so one seed gives the same bytes everywhere.
//
// {
//   "program": "quorvex", "version": "1.0", "command": "simulate",
//   "parameters": {
//     "songs", "steps",
//     "perfect_ratio",          the double the ratio's text reads as
//     "perfect_ratio_text",     the text as given
//     "seed",
//     "at_least": [scores]      the thresholds asked for, in the order asked
//   },
//   "statistics": {             every field of the score summary
//     "songs",
//     "mean", "standard_error", "mean_ci95": {"low", "high"}, "standard_deviation",
//     "min", "p1", "p5", "p25", "median", "p75", "p95", "p99", "max",
//     "marvelous_mean", "marvelous_min", "marvelous_max",
//     "aaa": PROPORTION,        songs whose every step stayed in the perfect window
//     "perfect_score": PROPORTION,
//     "at_least": [{"score", "reachable", then PROPORTION's keys}]
//   },
//   "exact": {                  values that hold exactly for independent draws
//     "census": {"aaa_draws", "marvelous_draws", "draws": 10000000,
//                "aaa_outputs", "marvelous_outputs", "outputs": 2147483648},
//     "aaa_chance": {"value", "generator_value", "agrees"},
//     "marvelous_mean": {"value", "generator_value", "band95": {"low", "high"}, "agrees"},
//     "perfect_score_chance": {"value", "generator_value", "agrees"}
//   },
//   "best_score",               the highest score the step count allows
//   "histogram": [{"score", "songs", "share", "highest_marvelous",
//                  "lowest_marvelous", "aaa_songs"}]   highest score first
// }
// PROPORTION is {"count", "total", "share", "ci95": {"low", "high"}}, the
// interval Wilson's. "value" holds for independent, equally likely draw
// indices; "generator_value" for independent, equally likely generator
// outputs, which make the indices below 7483648 a little more likely (215
// outputs each against 214) and which long runs follow. "agrees" is true
// when the estimate's 95% interval contains the generator value; the run
// keeps no per-song squares of marvelous counts, so for the marvelous mean
// it is true when the estimate lies in band95, where 95% of runs' means
// fall (see exact_agreement.h). Each is false in 1 run in 20 by chance alone.

#include <string>

#include "output/simulation_record.h"

namespace quorvex::output {

std::string simulationJson(const SimulationRecord& run);

} // namespace quorvex::output
