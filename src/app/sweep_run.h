#pragma once

#include <cstdint>
#include <memory>

#include "app/option_reader.h"
#include "app/prepared_run.h"

namespace quorvex::app {

// `sweep`: the same seeded songs at every ratio, one row each, with the
// exact P(AAA) curve (output::SweepRecord).
std::unique_ptr<PreparedRun> prepareSweep(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
