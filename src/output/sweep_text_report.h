#pragma once

#include <string>

#include "output/simulation_record.h"
#include "output/sweep_record.h"

namespace quorvex::output {

// A sweep for people: what was run and how (songs, steps, ratios, seed;
// threads, time taken, steps per second), then one line per ratio in the
// order given, in aligned columns:
//   ratio, mean score with its 95% interval, SD, p5, median, p95,
//   P(AAA) with its 95% Wilson interval and its exact values (independent
//   draws; independent generator outputs), P(score = 1000), P(score >= X)
// each share to the precision its interval supports; then notes on what the
// exact values are, on intervals that miss them (marked "*"), and on scores
// no song can reach (marked "–"). The header wraps at the terminal's width;
// the table does not. ASCII unless the style allows Unicode.
std::string sweepText(const SweepRecord& sweep, const TextStyle& style);

} // namespace quorvex::output
