#pragma once

#include <cstdint>

namespace quorvex::stats {

// Whether numerator / denominator >= value, decided exactly: no rounding of
// the quotient can make a share of songs, or a mean score, meet a goal it
// falls short of by less than a rounding. For numerator >= 0, denominator
// >= 1 and a finite value >= 0 (the double as it is, not the decimal it was
// read from).
bool quotientAtLeast(std::int64_t numerator, std::int64_t denominator, double value);

} // namespace quorvex::stats
