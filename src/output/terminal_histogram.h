#pragma once

// The histogram of song scores drawn in a terminal with horizontal bars.

#include <string>
#include <vector>

#include "output/simulation_record.h"
#include "sim/score_group.h"

namespace quorvex::output {

// Lines of "  range  share  bar", highest scores first, in bins chosen by
// binScores (at most 25 rows). The longest bar fills what the columns leave
// (style.columns, 80 when 0; a terminal narrower than 40 is drawn as 40).
// Unicode: full blocks and an eighth-block end; otherwise "#" and ASCII
// only. A bin with songs always shows some bar. No line ends, no colour.
std::vector<std::string> terminalHistogram(const std::vector<ScoreGroup>& groups, const TextStyle& style);

// The width the histogram draws in for a style (see above).
int histogramColumns(const TextStyle& style);

} // namespace quorvex::output
