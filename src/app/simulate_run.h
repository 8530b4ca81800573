#pragma once

#include <cstdint>
#include <memory>

#include "app/option_reader.h"
#include "app/prepared_run.h"

namespace quorvex::app {

// `simulate`: one seeded run of songs, summarised with the draw census and
// the exact values for independent draws (output::SimulationRecord).
std::unique_ptr<PreparedRun> prepareSimulate(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
