#include "output/sweep_svg_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numbers/number_text.h"
#include "output/axis_ticks.h"
#include "output/svg_axes.h"
#include "output/svg_canvas.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

constexpr double canvasWidth = 900, canvasHeight = 560;
constexpr PlotArea plotArea{90, 112, 720, 348};
constexpr double legendBaseline = 88;
constexpr std::size_t mostDots = 60; // more ratios than this draw their estimates as a line only
constexpr std::size_t longestPerfectText = 40;

constexpr std::string_view styles =
    ".legend { font: 13px sans-serif; fill: #222; }\n"
    ".band { fill: #4a78b5; fill-opacity: 0.22; stroke: none; }\n"
    ".mean { fill: none; stroke: #2f5f9e; stroke-width: 2; stroke-linejoin: round; }\n"
    ".mean-dot { fill: #2f5f9e; stroke: #fff; stroke-width: 1; }\n"
    ".aaa { fill: none; stroke: #d1495b; stroke-width: 1.5; stroke-linejoin: round; }\n"
    ".aaa-dot { fill: #d1495b; stroke: #fff; stroke-width: 1; }\n"
    ".aaa-exact { fill: none; stroke: #7a1f2b; stroke-width: 1.5; stroke-dasharray: 6 4; }\n"
    ".aaa-axis { stroke: #b02e40; stroke-width: 1; }\n"
    ".aaa-label { font: 12px sans-serif; fill: #b02e40; }\n"
    ".aaa-title { font: 14px sans-serif; fill: #b02e40; }";

std::string subtitle(const SweepRecord& sweep) {
    const std::string perfect = shortened(sweep.perfectText, longestPerfectText, "\u2026");
    return countedText(sweep.songs, "song", "songs") + " \u00D7 " +
           countedText(sweep.steps, "step", "steps") + " at " +
           countedText(static_cast<std::int64_t>(sweep.rows.size()), "perfect ratio", "perfect ratios") +
           " (" + perfect + ") \u00B7 seed " + integerText(sweep.seed);
}

// A ratio's figures in drawing order.
struct Point {
    double ratio, mean, low, high, aaa, aaaExact;
};

// The band is drawn within the scores a song can have: a t interval around
// a mean near 0 or the best score may reach past them.
std::vector<Point> pointsInOrder(const SweepRecord& sweep) {
    std::vector<Point> points;
    points.reserve(sweep.rows.size());
    const double best = std::max(1, sweep.bestScore);
    for (const SweepRow& row : sweep.rows) {
        const stats::ScoreSummary& s = row.run.summary;
        // A single song has no interval: the band shrinks to the mean.
        const bool banded = std::isfinite(s.meanInterval95.low) && std::isfinite(s.meanInterval95.high);
        points.push_back({row.run.perfectRatio, s.mean,
                          banded ? std::clamp(s.meanInterval95.low, 0.0, best) : s.mean,
                          banded ? std::clamp(s.meanInterval95.high, 0.0, best) : s.mean, s.aaa.share,
                          row.run.exact.aaaChance});
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.ratio < b.ratio; });
    return points;
}

// The ratios across, a little wider than they reach so that the first and
// last dots stand clear of the axes; one ratio gets a span of 0.01.
LinearScale ratioScale(const std::vector<Point>& points) {
    const double low = points.front().ratio, high = points.back().ratio;
    const double margin = high > low ? (high - low) * 0.03 : 0.005;
    return {low - margin, high + margin, plotArea.left, plotArea.right()};
}

// Scores up the left: the band's reach, at least 2 points tall, ending on round ticks.
AxisTicks scoreTicks(const std::vector<Point>& points) {
    double low = points.front().low, high = points.front().high;
    for (const Point& p : points) {
        low = std::min(low, p.low);
        high = std::max(high, p.high);
    }
    if (high - low < 2) {
        const double middle = (low + high) / 2;
        low = middle - 1;
        high = middle + 1;
    }
    return ticksCovering(low, high, 7);
}

// P(AAA) up the right, in percent: from 0 to the highest estimate or exact
// value, at least to 1%.
AxisTicks aaaTicks(const std::vector<Point>& points, const std::vector<ExactAaaPoint>& curve) {
    double highest = 0.01;
    for (const Point& p : points)
        highest = std::max({highest, p.aaa, p.aaaExact});
    for (const ExactAaaPoint& p : curve)
        highest = std::max(highest, p.chance);
    return ticksCovering(0, std::min(highest, 1.0) * 100, 6);
}

// One entry of the legend: a sample of the mark, then its words.
double legendEntry(SvgCanvas& canvas, double x, std::string_view mark, std::string_view words) {
    const double y = legendBaseline - 4;
    if (mark == "band") {
        canvas.rect(x, y - 6, 24, 12, "band");
        canvas.line(x, y, x + 24, y, "mean");
    } else if (mark == "aaa-dot") {
        canvas.circle(x + 12, y, 3.5, "aaa-dot");
    } else {
        canvas.line(x, y, x + 24, y, mark);
    }
    canvas.text(x + 30, legendBaseline, words, "legend");
    return x + 30 + static_cast<double>(words.size()) * 7.0 + 22;
}

} // namespace

std::string sweepSvg(const SweepRecord& sweep) {
    SvgCanvas canvas = headedPlotCanvas(canvasWidth, canvasHeight, plotArea, styles,
                                        "Scores across perfect ratios", subtitle(sweep));
    if (sweep.rows.empty())
        return canvas.finish();

    // 1. Scales: ratios across, scores up the left, P(AAA) up the right.
    const std::vector<Point> points = pointsInOrder(sweep);
    const LinearScale x = ratioScale(points);
    const AxisTicks scores = scoreTicks(points);
    const LinearScale score{scores.values.front(), scores.values.back(), plotArea.bottom(), plotArea.top};
    const AxisTicks chances = aaaTicks(points, sweep.exactAaaCurve);
    const LinearScale percent{0, chances.values.back(), plotArea.bottom(), plotArea.top};
    const AxisTicks ratios = ticksWithin(x.domainLow, x.domainHigh, 10);

    // 2. The score grid, the mean's band and line.
    drawYAxis(canvas, plotArea, score, scores.values, tickLabels(scores), "mean song score");
    std::vector<SvgPoint> band, mean, aaa, aaaExact;
    for (const Point& p : points) {
        band.push_back({x(p.ratio), score(p.high)});
        mean.push_back({x(p.ratio), score(p.mean)});
        aaa.push_back({x(p.ratio), percent(100 * p.aaa)});
        aaaExact.push_back({x(p.ratio), percent(100 * p.aaaExact)});
    }
    if (!sweep.exactAaaCurve.empty()) {
        aaaExact.clear();
        for (const ExactAaaPoint& p : sweep.exactAaaCurve)
            aaaExact.push_back({x(p.ratio), percent(100 * p.chance)});
    }
    // The band's lower edge back from the last ratio to the first.
    for (std::size_t i = points.size(); i-- > 0;)
        band.push_back({x(points[i].ratio), score(points[i].low)});
    if (points.size() == 1) {
        // A lone ratio: a short bar of its interval and a mark at the mean.
        const double at = x(points.front().ratio);
        canvas.rect(at - 6, score(points.front().high), 12,
                    std::max(1.0, score(points.front().low) - score(points.front().high)), "band");
        canvas.line(at - 10, mean.front().y, at + 10, mean.front().y, "mean");
    } else {
        canvas.path(band, true, "band");
        canvas.path(mean, false, "mean");
    }

    // 3. P(AAA): the exact curve under the estimates.
    canvas.path(aaaExact, false, "aaa-exact");
    // Few estimates stand as dots beside the exact curve: a line joining
    // them would suggest a shape between them that only the curve knows.
    const bool dots = points.size() <= mostDots;
    if (dots) {
        for (const SvgPoint& dot : mean)
            canvas.circle(dot.x, dot.y, 3, "mean-dot");
        for (const SvgPoint& dot : aaa)
            canvas.circle(dot.x, dot.y, 3.5, "aaa-dot");
    } else {
        canvas.path(aaa, false, "aaa");
    }

    // 4. The axes over it all, and the legend above.
    drawRightYAxis(canvas, plotArea, percent, chances.values, tickLabels(chances, "%"), "P(AAA)", "aaa-axis",
                   "aaa-label", "aaa-title");
    drawXAxis(canvas, plotArea, x, ratios.values, tickLabels(ratios), "perfect ratio");
    double legendX = plotArea.left;
    legendX = legendEntry(canvas, legendX, "band", "mean score, 95% CI");
    legendX = legendEntry(canvas, legendX, dots ? "aaa-dot" : "aaa", "P(AAA), estimated");
    legendEntry(canvas, legendX, "aaa-exact", "P(AAA), exact for independent draws");
    return canvas.finish();
}

} // namespace quorvex::output
