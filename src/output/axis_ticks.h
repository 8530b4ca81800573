#pragma once

// Round tick values for a plot's axes and the map from data to drawing units.

#include <vector>

namespace quorvex::output {

// Ticks 1, 2 or 5 times a power of ten apart, each a whole multiple of the step.
struct AxisTicks {
    double step = 1;
    int decimals = 0; // the decimals that write every tick exactly (0 for steps of 1 and more)
    std::vector<double> values;
};

// The finest round step that puts at most
// `maxTicks` (>= 2) ticks within [low, high] (low < high), never finer than
// `minStep` (a round step itself, e.g. 1 for whole scores; 0 for none); the
// ticks that fall within, ascending.
AxisTicks ticksWithin(double low, double high, int maxTicks, double minStep = 0);

// The finest round step whose ticks from a multiple at or below `low` to one
// at or above `high` number at most `maxTicks` (>= 2); the first tick is at
// or below `low`, the last at or above `high`. For an axis that should end
// on a tick (a bar chart's height from 0, say).
AxisTicks ticksCovering(double low, double high, int maxTicks);

// The affine map from a data interval onto a drawing interval (the drawing
// interval may run backwards, as a y axis drawn downwards does).
struct LinearScale {
    double domainLow, domainHigh, rangeLow, rangeHigh;
    double operator()(double x) const {
        return rangeLow + (x - domainLow) / (domainHigh - domainLow) * (rangeHigh - rangeLow);
    }
};

} // namespace quorvex::output
