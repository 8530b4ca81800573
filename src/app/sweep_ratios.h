#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::app {

// One perfect ratio of a sweep.
struct SweepRatio {
    double value;      // the double it is played with
    std::string text;  // a text the program's reader reads as `value`: as given, or a range's point
    std::string label; // how a table shows it to people
};

// The most ratios one sweep plays.
inline constexpr std::size_t sweepRatioLimit = 10000;

// What `sweep --perfect` accepts, as messages say it.
inline constexpr const char* sweepRatiosDomain =
    "a ratio in (0, 1], a list R1,R2,... of them or a range A:B:STEP";

// The ratios of `quorvex sweep --perfect TEXT`, in order, each in (0, 1]:
// - a list R1,R2,... of ratios read as `simulate --perfect` reads one; each
//   keeps its text as given, as text and label;
// - a range A:B:STEP (see expandRange): A and B ratios, STEP a number
//   other than 0 from -1 to 1. Each point is its exact decimal, read as
//   `simulate --perfect` reads it; its label has the most decimals of A, B
//   and STEP ("0.90", "0.95", "1.00" for 0.9:1:0.01). Points that read as
//   the same double (a step finer than the doubles there) are refused.
// At most sweepRatioLimit of them. Throws UsageError naming "--perfect",
// the text and what is wrong with it.
std::vector<SweepRatio> readSweepRatios(std::string_view text);

} // namespace quorvex::app
