#pragma once

// Laying out lines of UTF-8 text in a terminal's columns. Every character
// the writers use (letters, digits, "×", "±", "…", "·", "≥", "–", block
// elements) takes one column, so a width is a count of code points.

#include <string>
#include <string_view>
#include <vector>

namespace quorvex::output {

// The columns `text` takes: its code points (bytes that do not continue a UTF-8 sequence).
int displayWidth(std::string_view text);

// `text` padded with spaces on the right, or on the left, to `width` columns.
std::string padRight(std::string_view text, int width);
std::string padLeft(std::string_view text, int width);

// A piece of a line that may start a new line: `glue` goes before it
// unless it does, then `text`.
struct WrapItem {
    std::string glue;
    std::string text;
};

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
