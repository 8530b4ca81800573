#pragma once

// The frame of a plot on an SvgCanvas: the plotting area, its axes with tick
// marks, tick labels and titles, and grid lines. A plot chooses the scales
// and ticks (axis_ticks.h) and the labels' text; this draws them the same way
// for every plot.

#include <string>
#include <string_view>
#include <vector>

#include "output/axis_ticks.h"
#include "output/svg_canvas.h"

namespace quorvex::output {

// Where the data is drawn, in canvas units; axes and labels go outside it.
struct PlotArea {
    double left, top, width, height;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// The CSS rules for the frame's classes (axis, grid, tick-label,
// axis-title), to add to the canvas once.
std::string_view plotFrameStyles();

// A plot's canvas with its heading: the document's <title> is "<title>:
// <subtitle>"; the heading's styles go first, then the plot's own `styles`,
// then the frame's; the title and the subtitle stand one under the other
// above the area, from its left edge.
SvgCanvas headedPlotCanvas(double width, double height, const PlotArea& area, std::string_view styles,
                           const std::string& title, const std::string& subtitle);

// Labels for ticks: each value with the ticks' decimals, then `suffix`.
std::vector<std::string> tickLabels(const AxisTicks& ticks, std::string_view suffix = "");

// The x axis along the bottom of the area: a base line, a tick mark and a
// label under each tick that falls on the axis, and the title centred below.
void drawXAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& x,
               const std::vector<double>& ticks, const std::vector<std::string>& labels,
               std::string_view title);

// The y axis along the left of the area: a grid line across the area and a
// label left of the axis at each tick, and the title turned upright beside.
void drawYAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& y,
               const std::vector<double>& ticks, const std::vector<std::string>& labels,
               std::string_view title);

// A second y axis along the right of the area, for a second quantity: a
// tick mark and a label right of the axis at each tick (no grid lines, which
// belong to the left axis), and the title turned to read downwards beside.
// The classes style the axis line and marks, the labels and the title, so
// that they can take the colour of what they measure.
void drawRightYAxis(SvgCanvas& canvas, const PlotArea& area, const LinearScale& y,
                    const std::vector<double>& ticks, const std::vector<std::string>& labels,
                    std::string_view title, std::string_view axisClass, std::string_view labelClass,
                    std::string_view titleClass);

} // namespace quorvex::output
