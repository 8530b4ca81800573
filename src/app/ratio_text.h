#pragma once

#include <string>

namespace quorvex::app {

// A text for a perfect ratio in (0, 1] to show beside it, for people and
// for `simulate --perfect`. That option reads as the dialogue does, which
// rounds the digits' quotient twice: past five decimals a text can land on
// the double next to the one it was written from, and some doubles no
// decimal text reaches at all (about one in sixty at random).
struct RatioText {
    std::string text;
    bool readsBack; // readPerfectRatio(text) gives the ratio itself
};

// The first text that reads back: the shortest round-trip text, then
// 17- and 18-digit texts at and next to the ratio (up to 40 units of their
// last digit either side), written with a decimal point, or with an
// exponent below 1e-4. When none does, the shortest, with readsBack false.
RatioText ratioTextFor(double ratio);

} // namespace quorvex::app
