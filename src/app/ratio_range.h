#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::app {

// The most decimals a range's numbers may need: 30 reach far below any
// ratio the model tells apart, and keep every point an exact integer of
// units of 10^-30 (in 128 bits, 10^4 steps of at most 1 included).
inline constexpr int mostRangeDecimals = 30;

// A number written in decimal, exactly: units / 10^decimals.
struct DecimalNumber {
    __int128 units;
    int decimals; // 0..mostRangeDecimals
};

// The exact value of a number text as the program's reader takes it
// ([+-] digits [. digits] [e [+-] digits], at least one digit before the
// exponent), or nothing when it is not such a text, needs more than
// mostRangeDecimals decimals, or reaches 10^7 in magnitude. Zeros after
// the last nonzero digit cost no decimals ("0.50" and "5e-1" are 5 / 10).
std::optional<DecimalNumber> exactDecimal(std::string_view text);

// A range A:B:STEP of ratios, as its three texts.
struct RangeTexts {
    std::string_view start, stop, step;
};

enum class RangeFault {
    none,
    zeroStep,      // STEP is 0
    stepAwayFromB, // STEP's sign leads away from B (A < B with STEP < 0, or A > B with STEP > 0)
    stepBeyondOne, // |STEP| > 1: no two ratios are that far apart
    tooFine,       // A, B or STEP needs more than mostRangeDecimals decimals
    tooManyPoints, // more than the limit
};

// One point of a range: its text, which the program's reader reads as the
// point's ratio, and its label, written with the range's decimals.
struct RangePoint {
    std::string text;
    std::string label;
};

struct RangePoints {
    std::vector<RangePoint> points;
    RangeFault fault = RangeFault::none;
};

// The points of a range, in order: the exact decimal A + i STEP for i = 0,
// 1, ... while it has not passed B, each written out once (never summed in
// floating point, so no rounding piles up), with B among them exactly when
// B - A is a whole multiple of STEP: 0.9:0.99:0.01 ends at 0.99 and
// 0.1:0.3:0.1 at 0.3, as written. A and, when reached, B keep the texts as
// given, so each reads as the same ratio as in a list; the points between
// are written shortest ("0.95", "1"). Labels carry the most decimals of A,
// B and STEP ("0.90" ... "1.00" for 0.9:1:0.01). A = B gives the one point B
// whatever the step's sign.
//
// A and B must be ratios in (0, 1] and STEP a number whose double is at
// most 1 in magnitude, all as the program's reader reads them (the caller
// names the one that is not). Faults leave no points; a range of more than
// `limit` points (at most 10^6) is a fault whatever its size.
RangePoints expandRange(const RangeTexts& range, std::size_t limit);

} // namespace quorvex::app
