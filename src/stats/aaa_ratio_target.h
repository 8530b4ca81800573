#pragma once

#include <cstdint>
#include <stdexcept>

#include "stats/draw_census.h"

namespace quorvex::stats {

// The smallest perfect ratio at which at least a given number of the 10^7
// draws keep a song AAA.
struct AaaRatioTarget {
    double ratio = 0;               // the smallest double r in (0, 1] with a(r) >= the count asked
    DrawCensus census;              // at r
    double ratioBelow = 0;          // the double just below r; 0 when r is the least positive double
    std::int32_t aaaDrawsBelow = 0; // a at ratioBelow, below the count asked (0 at ratio 0)
    double deviationScale = 0;      // the run constant at r
    double deviationScaleBelow = 0; // and at ratioBelow (0 at ratio 0)
    int probes = 0;                 // censuses taken
};

// The order the search relies on was found broken at the ratios it probed.
class BrokenOrder : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// The answer for 1 <= aaaDraws <= 10^7, by bisection over the bit patterns
// of the doubles in (0, 1] (about 62 censuses of some 48 judged steps).
//
// It relies on a(r) never falling as r grows: a step's deviation is
// |tan(x)| / deviationScale, rounded, so a(r) grows with deviationScale, and
// deviationScale = tan(pi 0.5 r) must grow with r over the doubles. The
// angle does (products and roundings keep order). The model's tangent does
// within each octant: one step of a double angle x moves tan x by at least
// dx / x >= 2^-53 of itself, some 2^10 units of its extended last place,
// while FPTAN errs by less than one (the reciprocal of the odd octant
// likewise, its argument 2P - x exact). Across the octant boundary near
// pi/4 and up to the double nearest pi/2 a test checks every double. Here
// the claim is checked where it is used: over every ratio probed, in
// order, neither deviationScale nor a falls (BrokenOrder otherwise), and
// the answer holds its count while the double below it does not.
AaaRatioTarget smallestRatioKeepingAaa(std::int32_t aaaDraws);

} // namespace quorvex::stats
