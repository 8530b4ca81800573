#pragma once

// Song scores grouped into bins of a round width, for a histogram whose shape
// reads at a glance: one bin per score while the scores fit, else the
// narrowest of 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000 that does.

#include <cstdint>
#include <vector>

#include "sim/score_group.h"

namespace quorvex::output {

// The scores low..high (both included) and the songs that scored them.
struct ScoreBin {
    std::int32_t low;
    std::int32_t high;
    std::int64_t songs;
};

// The narrowest bin width from the list above for which the bins that cover
// lowest..highest, each starting at a multiple of the width, number at most
// `maxBins` (the widest width when none does). Needs lowest <= highest.
std::int32_t binWidthFor(std::int32_t lowest, std::int32_t highest, int maxBins);

// Every bin from the one holding the lowest score to the one holding the
// highest, empty ones included, lowest first; none for no groups. The groups
// may come in any order.
std::vector<ScoreBin> binScores(const std::vector<ScoreGroup>& groups, int maxBins);

} // namespace quorvex::output
