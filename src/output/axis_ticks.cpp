#include "output/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace quorvex::output {

namespace {

// 10^n for 0 <= n <= 22, exact: products of 10 stay exact that far, and no
// C library's pow is trusted to be (the ticks must be the same everywhere).
double powerOfTen(int n) {
    double power = 1;
    for (int i = 0; i < n; ++i)
        power *= 10;
    return power;
}

// A round step as mantissa * 10^exponent, so that tick values are formed
// from whole multiples without the rounding error of repeated addition.
struct RoundStep {
    int mantissa; // 1, 2 or 5
    int exponent;

    double value() const { return multiple(1); }
    // The multiple k of the step, as near to exact as a double allows: one
    // rounding of an exact product or quotient (0.15 is 15 / 100, not 3 * 0.05).
    double multiple(double k) const {
        return exponent >= 0 ? k * mantissa * powerOfTen(exponent) : k * mantissa / powerOfTen(-exponent);
    }
    RoundStep next() const {
        return mantissa == 5 ? RoundStep{1, exponent + 1} : RoundStep{mantissa == 1 ? 2 : 5, exponent};
    }
};

// The round steps from a little below `span / maxTicks` upwards (an empty
// span is measured by its position instead).
RoundStep firstCandidate(double low, double high, int maxTicks) {
    const double span = high > low ? high - low : std::max(std::abs(high), 1.0);
    return {1, static_cast<int>(std::floor(std::log10(span / maxTicks))) - 1};
}

AxisTicks ticksFrom(RoundStep step, double firstIndex, double lastIndex) {
    AxisTicks ticks;
    ticks.step = step.value();
    ticks.decimals = step.exponent < 0 ? -step.exponent : 0;
    for (double k = firstIndex; k <= lastIndex; ++k)
        ticks.values.push_back(step.multiple(k));
    return ticks;
}

} // namespace

AxisTicks ticksWithin(double low, double high, int maxTicks, double minStep) {
    for (RoundStep step = firstCandidate(low, high, maxTicks);; step = step.next()) {
        if (step.value() < minStep * (1 - 1e-9))
            continue;
        // Index bounds from the step as mantissa and exponent, nudged so that
        // a tick on an end of the interval is not lost to rounding.
        const double first = std::ceil(low / step.value() - 1e-9);
        const double last = std::floor(high / step.value() + 1e-9);
        if (last - first + 1 <= maxTicks)
            return ticksFrom(step, first, last);
    }
}

AxisTicks ticksCovering(double low, double high, int maxTicks) {
    for (RoundStep step = firstCandidate(low, high, maxTicks);; step = step.next()) {
        const double first = std::floor(low / step.value() + 1e-9);
        const double last = std::ceil(high / step.value() - 1e-9);
        if (last - first + 1 <= maxTicks)
            return ticksFrom(step, first, last);
    }
}

} // namespace quorvex::output
