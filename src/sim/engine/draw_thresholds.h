#pragma once

#include <cstdint>

#include "sim/step_model.h"

namespace quorvex {

// The draw index of the step with no deviation: u = 0.5, x = 0, w = 0.
inline constexpr std::int32_t centreDrawIndex = 5000000;

// An inclusive range of draw indices.
struct DrawInterval {
    std::int32_t low;
    std::int32_t high;
    constexpr bool contains(std::int32_t t) const { return low <= t && t <= high; }
};

// The draw indices whose deviation w (as judgeStep stores it) is at most
// `limit`, for a usable deviationScale and limit >= 0.
//
// |tan(x(t))| does not increase on [0, 5000000] and does not decrease on
// [5000000, 9999999] (a slow test checks all 10^7 draws); dividing by
// |deviationScale| and the roundings to extended and to double keep that
// order, so the set is one interval around 5000000, where w = 0. Its ends are
// found by bisection with judgeStep itself: some 48 exact evaluations.
DrawInterval drawsWithDeviationAtMost(double limit, const RunConstants& constants);

} // namespace quorvex
