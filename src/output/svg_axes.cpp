#include "output/svg_axes.h"

#include "numbers/number_text.h"

namespace quorvex::output {

namespace {

constexpr double tickLength = 5;
constexpr double slack = 0.5; // a tick this close outside the area is still on it

} // namespace

std::string_view plotFrameStyles() {
    return ".axis { stroke: #333; stroke-width: 1; fill: none; }\n"
           ".grid { stroke: #ddd; stroke-width: 1; }\n"
           ".tick-label { font: 12px sans-serif; fill: #333; }\n"
           ".axis-title { font: 14px sans-serif; fill: #222; }";
}

SvgCanvas headedPlotCanvas(double width, double height, const PlotArea& area, std::string_view styles,
                           const std::string& title, const std::string& subtitle) {
    SvgCanvas canvas(width, height, title + ": " + subtitle);
    canvas.addStyle(".title { font: bold 20px sans-serif; fill: #111; }\n"
                    ".subtitle { font: 14px sans-serif; fill: #444; }");
    canvas.addStyle(styles);
    canvas.addStyle(plotFrameStyles());
    canvas.text(area.left, 34, title, "title");
    canvas.text(area.left, 58, subtitle, "subtitle");
    return canvas;
}

std::vector<std::string> tickLabels(const AxisTicks& ticks, std::string_view suffix) {
    std::vector<std::string> labels;
    for (const double value : ticks.values)
        labels.push_back(fixedText(value, ticks.decimals).append(suffix));
    return labels;
}

void drawXAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& x,
               const std::vector<double>& ticks, const std::vector<std::string>& labels,
               std::string_view title) {
    canvas.line(area.left, area.bottom(), area.right(), area.bottom(), "axis");
    for (std::size_t i = 0; i < ticks.size() && i < labels.size(); ++i) {
        const double at = x(ticks[i]);
        if (at < area.left - slack || at > area.right() + slack)
            continue;
        canvas.line(at, area.bottom(), at, area.bottom() + tickLength, "axis");
        canvas.text(at, area.bottom() + tickLength + 14, labels[i], "tick-label", TextAnchor::middle);
    }
    canvas.text(area.left + area.width / 2, area.bottom() + tickLength + 38, title, "axis-title",
                TextAnchor::middle);
}

void drawYAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& y,
               const std::vector<double>& ticks, const std::vector<std::string>& labels,
               std::string_view title) {
    for (std::size_t i = 0; i < ticks.size() && i < labels.size(); ++i) {
        const double at = y(ticks[i]);
        if (at < area.top - slack || at > area.bottom() + slack)
            continue;
        canvas.line(area.left, at, area.right(), at, "grid");
        canvas.line(area.left - tickLength, at, area.left, at, "axis");
        canvas.text(area.left - tickLength - 4, at + 4, labels[i], "tick-label", TextAnchor::end);
    }
    canvas.line(area.left, area.top, area.left, area.bottom(), "axis");
    canvas.text(area.left - 52, area.top + area.height / 2, title, "axis-title", TextAnchor::middle, -90);
}

void drawRightYAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& y,
                    const std::vector<double>& ticks, const std::vector<std::string>& labels,
                    std::string_view title, std::string_view axisClass, std::string_view labelClass,
                    std::string_view titleClass) {
    for (std::size_t i = 0; i < ticks.size() && i < labels.size(); ++i) {
        const double at = y(ticks[i]);
        if (at < area.top - slack || at > area.bottom() + slack)
            continue;
        canvas.line(area.right(), at, area.right() + tickLength, at, axisClass);
        canvas.text(area.right() + tickLength + 4, at + 4, labels[i], labelClass);
    }
    canvas.line(area.right(), area.top, area.right(), area.bottom(), axisClass);
    canvas.text(area.right() + 52, area.top + area.height / 2, title, titleClass, TextAnchor::middle, 90);
}

} // namespace quorvex::output
