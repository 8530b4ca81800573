#pragma once

#include <string>
#include <vector>

namespace quorvex::app {

// An option of a request as a face received it: its name without dashes
// ("songs", "at-least") and its value's text, unread.
struct OptionText {
    std::string name;
    std::string text;
};

// A request's options in the order given; an option given twice stands
// twice (the reader refuses it, naming both texts).
using OptionTexts = std::vector<OptionText>;

} // namespace quorvex::app
