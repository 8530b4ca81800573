#pragma once

#include <cstdint>
#include <memory>

#include "app/option_reader.h"
#include "app/prepared_run.h"

namespace quorvex::app {

// `target`: the smallest perfect ratio that meets the goal, exactly for
// P(AAA), by a seeded bisection for a score or mean goal
// (output::TargetRecord). Its play() throws RunFailure when no ratio can be
// named: a goal every ratio meets (a chance, score or mean of 0), one no
// ratio meets (a score or mean above the best the steps allow, or short of
// the goal even at ratio 1).
std::unique_ptr<PreparedRun> prepareTarget(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
