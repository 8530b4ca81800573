#include "output/histogram_bins.h"

#include <algorithm>
#include <array>

namespace quorvex::output {

namespace {

constexpr std::array<std::int32_t, 12> roundWidths{1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000};

// The start of the bin of width `width` that holds `score` (rounding towards
// minus infinity, so that bins stay aligned for negative scores too).
std::int64_t binStart(std::int64_t score, std::int64_t width) {
    const std::int64_t quotient = score / width;
    return (score % width < 0 ? quotient - 1 : quotient) * width;
}

std::int64_t binCount(std::int32_t lowest, std::int32_t highest, std::int32_t width) {
    return (binStart(highest, width) - binStart(lowest, width)) / width + 1;
}

} // namespace

std::int32_t binWidthFor(std::int32_t lowest, std::int32_t highest, int maxBins) {
    for (const std::int32_t width : roundWidths) {
        if (binCount(lowest, highest, width) <= maxBins)
            return width;
    }
    return roundWidths.back();
}

std::vector<ScoreBin> binScores(const std::vector<ScoreGroup>& groups, int maxBins) {
    if (groups.empty())
        return {};
    const auto [lowestGroup, highestGroup] =
        std::minmax_element(groups.begin(), groups.end(), [](const ScoreGroup& a, const ScoreGroup& b) {
            return a.songScore < b.songScore;
        });
    const std::int32_t width = binWidthFor(lowestGroup->songScore, highestGroup->songScore, maxBins);
    const std::int64_t first = binStart(lowestGroup->songScore, width);

    std::vector<ScoreBin> bins(
        static_cast<std::size_t>(binCount(lowestGroup->songScore, highestGroup->songScore, width)));
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const std::int64_t low = first + static_cast<std::int64_t>(i) * width;
        bins[i] = {static_cast<std::int32_t>(low), static_cast<std::int32_t>(low + width - 1), 0};
    }
    for (const ScoreGroup& group : groups)
        bins[static_cast<std::size_t>((binStart(group.songScore, width) - first) / width)].songs +=
            group.frequency;
    return bins;
}

} // namespace quorvex::output
