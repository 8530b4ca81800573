#pragma once

#include <cstdint>
#include <string>

#include "app/option_reader.h"
#include "app/seeded_sweep.h"

namespace quorvex::app {

// `sweep` as asked: every option read and checked.
struct SweepRequestRead {
    SweepRequest sweep;      // songs, steps, seed, ratios, thresholds
    std::string perfectText; // --perfect as given
};

// Reads songs, steps, perfect, seed and at-least in that order (the help's);
// the first one wrong throws UsageError.
SweepRequestRead readSweepRequest(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
