#include "output/svg_histogram.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "numbers/number_text.h"
#include "output/axis_ticks.h"
#include "output/histogram_bins.h"
#include "output/proportion_text.h"
#include "output/svg_axes.h"
#include "output/svg_canvas.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

constexpr double canvasWidth = 900, canvasHeight = 560;
constexpr PlotArea plotArea{90, 104, 780, 356};
constexpr double narrowestBar = 4;
constexpr int narrowestDomain = 10;    // scores across the x axis at the least
constexpr double labelCharWidth = 7.2; // a generous width of one 13px character, for keeping labels inside
constexpr std::size_t longestRatioText = 32;

constexpr std::string_view styles =
    ".caption { font: 14px sans-serif; fill: #222; }\n"
    ".bar { fill: #4a78b5; }\n"
    ".marker-halo { stroke: #fff; stroke-width: 4; stroke-opacity: 0.8; }\n"
    ".mean { stroke: #d1495b; stroke-width: 2; stroke-dasharray: 6 3; }\n"
    ".median { stroke: #2a9d4b; stroke-width: 2; stroke-dasharray: 2 2; }\n"
    ".mean-label { font: 13px sans-serif; fill: #b02e40; }\n"
    ".mean-label, .median-label { paint-order: stroke; stroke: #fff; stroke-width: 3px; }\n"
    ".median-label { font: 13px sans-serif; fill: #1f7a39; }";

// The run in one line; a very long ratio text is cut short with "…".
std::string subtitle(const SimulationRecord& run) {
    const std::string ratio = shortened(run.perfectRatioText, longestRatioText, "\u2026");
    return countedText(run.songs, "song", "songs") + " \u00D7 " + countedText(run.steps, "step", "steps") +
           " \u00B7 perfect ratio " + ratio + " \u00B7 seed " + integerText(run.seed);
}

std::string caption(const SimulationRecord& run) {
    const stats::Proportion& aaa = run.summary.aaa;
    const int d = percentDecimals(aaa);
    return "P(AAA) " + percentText(aaa.share, d) + " (95% CI " + percentText(aaa.wilson95.low, d) +
           " \u2026 " + percentText(aaa.wilson95.high, d) + "; " + integerText(aaa.count) + " of " +
           countedText(aaa.total, "song", "songs") + ") \u00B7 exact " +
           exactPercentText(run.exact.aaaChance, d) + " for independent draws";
}

// The scores across the x axis: the bins' outer edges (a bin of scores
// a..b spans a - 0.5 .. b + 0.5), widened to at least `narrowestDomain`
// scores so that one score is a bar, not a wall; evenly, unless that would
// reach below 0 or above the best score, when it grows on the other side.
LinearScale scoreScale(const std::vector<ScoreBin>& bins, std::int32_t bestScore) {
    double low = bins.front().low - 0.5, high = bins.back().high + 0.5;
    const double missing = narrowestDomain - (high - low);
    if (missing > 0) {
        const double floor = std::min(-0.5, low), ceiling = std::max(bestScore + 0.5, high);
        low = std::max(floor, low - missing / 2);
        high = std::min(ceiling, low + narrowestDomain);
        low = high - narrowestDomain;
    }
    return {low, high, plotArea.left, plotArea.right()};
}

// A vertical line across the area at `score`, labelled just above the area
// beside the line: on its `side` (-1 left, +1 right) on the lower row, or,
// when that would leave the area's width, on the other side one row higher.
struct Marker {
    double score;
    std::string label;
    int side;
    std::string_view lineClass, labelClass;
};

// The lower of two markers goes left and the higher right, so their labels
// never meet: at most one of them can be turned, and it moves up a row. The
// white halos under both lines go first, so that where the lines meet
// neither hides the other, and both stand out over the bars.
void drawMarkers(SvgCanvas& canvas, const LinearScale& x, const std::array<Marker, 2>& markers) {
    constexpr double offset = 5, lowerRow = 6, upperRow = 22, textHeight = 11;
    struct Placed {
        double at, top, baseline;
        int side;
    };
    std::array<Placed, 2> placed{};
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const Marker& marker = markers[i];
        const double at = x(marker.score);
        const double width = static_cast<double>(marker.label.size()) * labelCharWidth;
        const bool fits =
            marker.side < 0 ? at - offset - width >= plotArea.left : at + offset + width <= plotArea.right();
        const double baseline = plotArea.top - (fits ? lowerRow : upperRow);
        placed[i] = {at, baseline - textHeight, baseline, fits ? marker.side : -marker.side};
        canvas.line(at, placed[i].top, at, plotArea.bottom(), "marker-halo");
    }
    for (std::size_t i = 0; i < markers.size(); ++i) {
        canvas.line(placed[i].at, placed[i].top, placed[i].at, plotArea.bottom(), markers[i].lineClass);
        canvas.text(placed[i].at + placed[i].side * offset, placed[i].baseline, markers[i].label,
                    markers[i].labelClass, placed[i].side < 0 ? TextAnchor::end : TextAnchor::start);
    }
}

} // namespace

std::string histogramSvg(const SimulationRecord& run) {
    SvgCanvas canvas =
        headedPlotCanvas(canvasWidth, canvasHeight, plotArea, styles, "Song scores", subtitle(run));

    const int maxBins = static_cast<int>(plotArea.width / narrowestBar);
    const std::vector<ScoreBin> bins = binScores(run.histogram, maxBins);
    if (bins.empty())
        return canvas.finish();
    const std::int32_t binWidth = bins.front().high - bins.front().low + 1;

    // 1. Scales: scores across, the share of songs per bin (in percent) up.
    std::int64_t total = 0, fullest = 0;
    for (const ScoreBin& bin : bins) {
        total += bin.songs;
        fullest = std::max(fullest, bin.songs);
    }
    const LinearScale x = scoreScale(bins, run.bestScore);
    const double tallest = 100.0 * static_cast<double>(fullest) / static_cast<double>(total);
    const AxisTicks shareTicks = ticksCovering(0, tallest, 7);
    const LinearScale y{0, shareTicks.values.back(), plotArea.bottom(), plotArea.top};
    const AxisTicks scoreTicks = ticksWithin(x.domainLow, x.domainHigh, 12, 1);

    // 2. Grid and y axis under the bars, the x axis over them.
    drawYAxis(canvas, plotArea, y, shareTicks.values, tickLabels(shareTicks, "%"),
              binWidth == 1 ? "share of songs" : "share of songs per " + integerText(binWidth) + " scores");
    const double barWidth = x(binWidth) - x(0);
    const double gap = barWidth >= 6 ? 1 : 0;
    for (const ScoreBin& bin : bins) {
        if (bin.songs == 0)
            continue;
        const double top = y(100.0 * static_cast<double>(bin.songs) / static_cast<double>(total));
        canvas.rect(x(bin.low - 0.5) + gap / 2, top, barWidth - gap, plotArea.bottom() - top, "bar");
    }
    drawXAxis(canvas, plotArea, x, scoreTicks.values, tickLabels(scoreTicks), "song score");

    // 3. The mean and the median, the lower of them labelled on the left.
    const stats::ScoreSummary& summary = run.summary;
    const int meanDecimals =
        std::isfinite(summary.standardError)
            ? decimalsForSpread((summary.meanInterval95.high - summary.meanInterval95.low) / 2)
            : 0;
    const bool meanFirst = summary.mean < summary.median;
    drawMarkers(canvas, x,
                {Marker{summary.mean, "mean " + fixedText(summary.mean, meanDecimals), meanFirst ? -1 : 1,
                        "mean", "mean-label"},
                 Marker{static_cast<double>(summary.median), "median " + integerText(summary.median),
                        meanFirst ? 1 : -1, "median", "median-label"}});

    // 4. P(AAA) beneath it all.
    canvas.text(plotArea.left, canvasHeight - 18, caption(run), "caption");
    return canvas.finish();
}

} // namespace quorvex::output
