#pragma once

#include <cstdint>

namespace quorvex {

// Where pending console output is written out before an index failure is
// reported (the console streams register it at start-up).
using PendingOutputFlush = void (*)();
void setIndexFailureFlush(PendingOutputFlush flush);

// Reports a bad index and ends the process at once with status 3, running no
// clean-up. `kind` is "vector" or "matrix"; `maxIndex` is the length minus one.
[[noreturn]] void failIndex(const char* kind, std::int32_t index, std::int32_t maxIndex);

} // namespace quorvex
