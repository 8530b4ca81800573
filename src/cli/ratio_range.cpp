#include "cli/ratio_range.h"

#include "cli/dyadic.h"

namespace quorvex::cli {

double rangePoint(double start, double step, std::uint32_t i) {
    return (Dyadic::of(start) + Dyadic::of(step).times(i)).rounded();
}

RangePoints expandRange(const RatioRange& range, std::size_t limit) {
    RangePoints result;
    if (range.step == 0) {
        result.fault = RangeFault::zeroStep;
        return result;
    }
    // 1. The distance to cover and the stride, exactly; the step must lead
    //    from A towards B (any step will do when they are equal).
    const Dyadic distance = Dyadic::of(range.stop) - Dyadic::of(range.start);
    if (!distance.isZero() && distance.isNegative() != (range.step < 0)) {
        result.fault = RangeFault::stepAwayFromB;
        return result;
    }
    const Dyadic span = distance.magnitude();
    const Dyadic stride = Dyadic::of(range.step).magnitude();

    // 2. q = floor(span / stride) by bisection over [0, limit): a range with
    //    q >= limit has more than `limit` points whatever its end.
    const auto bound = static_cast<std::uint32_t>(limit);
    if (stride.times(bound) <= span) {
        result.fault = RangeFault::tooManyPoints;
        return result;
    }
    std::uint32_t low = 0, high = bound; // stride * low <= span < stride * high
    while (high - low > 1) {
        const std::uint32_t middle = low + (high - low) / 2;
        (stride.times(middle) <= span ? low : high) = middle;
    }
    const std::uint32_t q = low;

    // 3. The nearest whole n, and whether B lies on the grid there.
    const Dyadic remainder = span - stride.times(q);
    const std::uint32_t n = remainder.times(2) <= stride ? q : q + 1;
    const Dyadic miss = (stride.times(n) - span).magnitude();
    const Dyadic tolerance = Dyadic::unitInLastPlace(range.start) + Dyadic::unitInLastPlace(range.stop) +
                             Dyadic::unitInLastPlace(range.step).times(n);
    const bool endsAtB = miss <= tolerance;

    // 4. The points; B in place of the n-th when it lies on the grid.
    const std::uint32_t count = endsAtB ? n + 1 : q + 1;
    if (count > limit) {
        result.fault = RangeFault::tooManyPoints;
        return result;
    }
    result.points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        result.points.push_back(endsAtB && i == n ? range.stop : rangePoint(range.start, range.step, i));

    // 5. Every point a new double, moving the step's way.
    for (std::size_t i = 1; i < result.points.size(); ++i) {
        const bool moves = range.step > 0 ? result.points[i] > result.points[i - 1]
                                          : result.points[i] < result.points[i - 1];
        if (!moves) {
            result.points.clear();
            result.fault = RangeFault::pointsRepeat;
            return result;
        }
    }
    return result;
}

} // namespace quorvex::cli
