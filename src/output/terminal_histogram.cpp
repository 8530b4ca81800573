#include "output/terminal_histogram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "numbers/number_text.h"
#include "output/histogram_bins.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

constexpr int maxRows = 25;
constexpr int narrowest = 40;

// U+2588 FULL BLOCK, then the left one to seven eighths (U+258F down to U+2589).
constexpr std::string_view fullBlock = "\u2588";
constexpr std::array<std::string_view, 8> eighthBlocks{"",       "\u258F", "\u258E", "\u258D",
                                                       "\u258C", "\u258B", "\u258A", "\u2589"};

std::string rangeLabel(const ScoreBin& bin, bool unicode) {
    if (bin.low == bin.high)
        return integerText(bin.low);
    return integerText(bin.low) + (unicode ? "\u2013" : "-") + integerText(bin.high);
}

std::string shareLabel(std::int64_t songs, std::int64_t total) {
    if (songs == 0)
        return "0%";
    const double percent = 100.0 * static_cast<double>(songs) / static_cast<double>(total);
    if (percent < 0.05)
        return "<0.1%";
    if (percent >= 99.95 && songs < total)
        return ">99.9%";
    return fixedText(percent, 1) + "%";
}

// A bar `fraction` (0..1] of `width` columns long, in eighths of a column
// with Unicode, whole columns without; never empty for a fraction above 0.
std::string bar(double fraction, int width, bool unicode) {
    if (fraction <= 0)
        return {};
    std::string drawn;
    if (!unicode) {
        const long cells = std::max(1L, std::lround(fraction * width));
        return drawn.assign(static_cast<std::size_t>(cells), '#');
    }
    const long eighths = std::max(1L, std::lround(fraction * width * 8));
    for (long i = 0; i < eighths / 8; ++i)
        drawn.append(fullBlock);
    return drawn.append(eighthBlocks[static_cast<std::size_t>(eighths % 8)]);
}

} // namespace

int histogramColumns(const TextStyle& style) {
    const int columns = style.columns == 0 ? 80 : style.columns;
    return std::max(columns, narrowest);
}

std::vector<std::string> terminalHistogram(const std::vector<ScoreGroup>& groups, const TextStyle& style) {
    std::vector<ScoreBin> bins = binScores(groups, maxRows);
    std::reverse(bins.begin(), bins.end());
    std::int64_t total = 0, fullest = 0;
    for (const ScoreBin& bin : bins) {
        total += bin.songs;
        fullest = std::max(fullest, bin.songs);
    }

    // 1. The label and share columns, as wide as their widest entries.
    std::vector<std::string> ranges, shares;
    int rangeWidth = 0, shareWidth = 0;
    for (const ScoreBin& bin : bins) {
        ranges.push_back(rangeLabel(bin, style.unicode));
        shares.push_back(shareLabel(bin.songs, total));
        rangeWidth = std::max(rangeWidth, displayWidth(ranges.back()));
        shareWidth = std::max(shareWidth, displayWidth(shares.back()));
    }
    // 2. The bars share what is left: "  range  share  bar".
    const int barWidth = std::max(1, histogramColumns(style) - (2 + rangeWidth + 2 + shareWidth + 2));

    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const double fraction = static_cast<double>(bins[i].songs) / static_cast<double>(fullest);
        std::string line = "  " + padLeft(ranges[i], rangeWidth) + "  " + padLeft(shares[i], shareWidth);
        const std::string drawn = bar(fraction, barWidth, style.unicode);
        if (!drawn.empty())
            line.append("  ").append(drawn);
        lines.push_back(line);
    }
    return lines;
}

} // namespace quorvex::output
