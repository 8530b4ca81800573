#pragma once

// The report of a simulation for people: the results first, in a few aligned
// lines read at a glance, then the detail, then a histogram of the scores.

#include <string>

#include "output/simulation_record.h"

namespace quorvex::output {

// The whole report, each line ended by "\n". With style.unicode it uses
// "×", "±", "…", "·", "≥" and block characters; without, ASCII only ("x",
// "+/-", "...", ",", ">=", "#"). Wrapped lines and the histogram keep within
// the style's columns (80 when 0); no colour codes.
std::string simulationText(const SimulationRecord& run, const TextStyle& style);

} // namespace quorvex::output
