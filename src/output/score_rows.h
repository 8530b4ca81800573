#pragma once

// The histogram rows of a run as the machine-readable writers list them.

#include <cstdint>
#include <vector>

#include "sim/score_group.h"

namespace quorvex::output {

// The groups highest score first, whatever order they came in.
std::vector<ScoreGroup> highestScoreFirst(std::vector<ScoreGroup> groups);

// The songs of all groups together.
std::int64_t songsIn(const std::vector<ScoreGroup>& groups);

} // namespace quorvex::output
