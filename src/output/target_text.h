#pragma once

// The answer of `quorvex target` for people: the ratio first, then what it
// rests on, in a few aligned lines.

#include <string>

#include "output/simulation_record.h"
#include "output/target_record.h"

namespace quorvex::output {

// The whole text, each line ended by "\n", within the style's columns (80
// when 0). With style.unicode it uses "≥", "…", "±", "×" and "·"; without,
// ASCII only (">=", "...", "+/-", "x", ",").
std::string targetText(const TargetRecord& record, const TextStyle& style);

} // namespace quorvex::output
