#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvex::cli {

// start + i * step, computed exactly and rounded once to the nearest double
// (ties to even), for finite start and step and i >= 0: what a correctly
// rounded fma(i, step, start) gives, without depending on a C library's fma.
// Never formed by repeated addition, whose roundings pile up (ten steps of
// 0.1 from 0.1 reach 1.0999999999999999; 0.1 + 10 * 0.1 rounded once is 1.1).
double rangePoint(double start, double step, std::uint32_t i);

// A range A:B:STEP of ratios: from `start` towards `stop` by `step`.
struct RatioRange {
    double start;
    double stop;
    double step;
};

enum class RangeFault {
    none,
    zeroStep,      // STEP is 0
    stepAwayFromB, // STEP's sign leads away from B (A < B with STEP < 0, or A > B with STEP > 0)
    tooManyPoints, // more than the limit
    pointsRepeat,  // STEP is finer than the doubles between A and B: two points round alike
};

struct RangePoints {
    std::vector<double> points;
    RangeFault fault = RangeFault::none;
};

// The points of a range, in order: A + i STEP for i = 0, 1, ... (each
// rounded once, see rangePoint) while its exact value has not passed B, and
// B itself when B lies on the grid. For start, stop and step finite.
//
// B lies on the grid when, for the whole n nearest to (B - A) / STEP, the
// exact A + n STEP is within ulp(A) + ulp(B) + n ulp(STEP) of B (ulp: the
// spacing of the doubles at that number). That is the most the three
// numbers can have moved when their decimal texts were read, at most one
// unit in the last place each, so a range whose decimal texts land on B
// always ends at B: 0.9:0.99:0.01 ends at 0.99 although the doubles 0.9 +
// 9 * 0.01 exceed the double 0.99, and 0.1:0.3:0.1 ends at 0.3 although
// 0.1 + 2 * 0.1 rounds to 0.30000000000000004. The last point is then B
// itself, the double the user's B reads as, in place of A + n STEP.
//
// A = B gives the one point B, whatever the step's sign. Faults leave no
// points; a range of more than `limit` points is a fault however many it
// would have (0:1:1e-300 is decided without counting them).
RangePoints expandRange(const RatioRange& range, std::size_t limit);

} // namespace quorvex::cli
