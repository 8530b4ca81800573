#pragma once

#include <cstdint>

namespace quorvex::stats {

// A closed interval of reals.
struct Interval {
    double low;
    double high;
    constexpr bool contains(double x) const { return low <= x && x <= high; }
};

// k of n songs, with the 95% Wilson score interval (z = 1.959963984540054).
// For n = 0 the share is NaN and the interval [0, 1].
struct Proportion {
    std::int64_t count; // k
    std::int64_t total; // n
    double share;       // k / n
    Interval wilson95;
};

Proportion proportionOf(std::int64_t count, std::int64_t total);

} // namespace quorvex::stats
