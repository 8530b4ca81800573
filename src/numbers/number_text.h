#pragma once

// Numbers as text for the writers. Everything goes through std::to_chars, so
// a number is the same bytes on every platform and C library (printf and
// iostreams round differently from one library to the next).

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// The shortest text that reads back as the same double: 0.1, 1e-05, 123456.
std::string shortestText(double x);

std::string integerText(std::int64_t n);

// `n` and the noun that goes with it: "1 song", "0 songs", "2 songs".
std::string countedText(std::int64_t n, std::string_view one, std::string_view many);

// A time in seconds (> 0) to two significant digits below 10 s, whole
// seconds from there, and at most nine decimals: "0.0042 s", "3.1 s", "125 s".
std::string secondsText(double seconds);

// `decimals` digits after the point, rounded to nearest; -0 is written as 0.
std::string fixedText(double x, int decimals);

// fixedText without trailing zeros or a bare point: 12.5 for 12.50, 3 for 3.00.
std::string trimmedText(double x, int maxDecimals);

// `significant` digits in scientific form with a bare exponent: 1.0e9, 2.5e-7.
std::string scientificText(double x, int significant);

// The decimals that show an uncertainty `spread` (> 0) to one significant
// digit, or two when it starts with 1 or 2 (0.048 -> 2: "0.05"; 0.15 -> 2:
// "0.15"; 3 -> 0). Never below 0; 0 for a spread that is 0, NaN or infinite.
int decimalsForSpread(double spread);

} // namespace quorvex
