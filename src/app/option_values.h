#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvex::app {

// Readers of option values from their command-line text. Each takes the
// whole text or nothing: a reader returns no value for any text it does not
// consume entirely, so "12x", " 12" and "" are refused alike. None of them
// reports why; the caller names the option and what it accepts.

// A decimal whole number in [low, high]: ASCII digits with an optional
// leading "+", leading zeros allowed and meaning nothing ("010" is ten: no
// octal, no "0x"), any number of digits without wrapping around.
std::optional<std::int64_t> readWholeNumber(std::string_view text, std::int64_t low, std::int64_t high);

// A number read by the program's own typed-value reader exactly as the
// dialogue reads a ratio typed at its prompt, whatever its value: infinity
// for "1e999", 0 for "1e-999". The text must start with the number and end
// with it.
std::optional<double> readRealNumber(std::string_view text);

// A perfect ratio in (0, 1], read by the program's own typed-value reader
// exactly as the dialogue reads a ratio typed at its prompt, so that a text
// gives the same double on both faces. The reader's white-space skipping
// does not apply: the text must start with the number and end with it.
// Refuses 0, negatives, values above 1, infinities and NaN (whatever text
// yields them, "1e999" included).
std::optional<double> readPerfectRatio(std::string_view text);

// Scores separated by commas, each a whole number in [0, 1000] as
// readWholeNumber reads it; no empty items, no spaces. A score given more
// than once is kept once, at its first place.
std::optional<std::vector<std::int32_t>> readScoreList(std::string_view text);

} // namespace quorvex::app
