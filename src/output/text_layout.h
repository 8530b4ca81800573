#pragma once

// Laying out lines of UTF-8 text in a terminal's columns. Every character
// the writers use (letters, digits, "×", "±", "…", "·", "≥", "–", block
// elements) takes one column, so a width is a count of code points.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::output {

// The few characters that differ between a UTF-8 terminal and plain ASCII.
struct TextGlyphs {
    std::string_view times, plusMinus, ellipsis, separator, atLeast, none;
};

inline constexpr TextGlyphs unicodeGlyphs{"\u00D7", "\u00B1", "\u2026", " \u00B7 ", "\u2265", "\u2013"};
inline constexpr TextGlyphs asciiGlyphs{"x", "+/-", "...", ", ", ">=", "-"};

// The columns `text` takes: its code points (bytes that do not continue a UTF-8 sequence).
int displayWidth(std::string_view text);

// `text` padded with spaces on the right, or on the left, to `width` columns.
std::string padRight(std::string_view text, int width);
std::string padLeft(std::string_view text, int width);

// `text` whole when it has at most `longest` bytes (longest >= 1); else its
// first bytes, fewer than `longest` and never ending inside a UTF-8
// sequence, then `ellipsis`.
std::string shortened(std::string_view text, std::size_t longest, std::string_view ellipsis);

// A piece of a line that may start a new line: `glue` goes before it
// unless it does, then `text`.
struct WrapItem {
    std::string glue;
    std::string text;
};

// The words of a sentence (split at spaces), each glued with a space, for
// wrapping between any two.
std::vector<WrapItem> wordsOf(std::string_view sentence);

// The items in lines of at most `columns` columns, breaking only between
// items. Every line but the first starts with `indent` spaces; the first has
// `firstWidth` columns in use before it (a label, say). An item wider than a
// line stands alone on its line.
std::vector<std::string> joinWrapped(const std::vector<WrapItem>& items, int columns, int firstWidth,
                                     int indent);

// The same with `separator` as every item's glue.
std::vector<std::string> joinWrapped(const std::vector<std::string>& items, std::string_view separator,
                                     int columns, int firstWidth, int indent);

} // namespace quorvex::output
