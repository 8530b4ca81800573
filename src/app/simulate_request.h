#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/option_reader.h"
#include "app/seeded_run.h"

namespace quorvex::app {

// `simulate` as asked: every option read and checked.
struct SimulateRequest {
    RunRequest run;                    // songs, steps, ratio, seed
    std::string perfectRatioText;      // the ratio as written, for the report
    std::vector<std::int32_t> atLeast; // P(score >= X) for each X, first occurrences in order
};

// Reads songs, steps, perfect, seed and at-least in that order (the help's);
// the first one wrong throws UsageError.
SimulateRequest readSimulateRequest(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
