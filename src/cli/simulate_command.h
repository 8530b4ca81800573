#pragma once

#include <memory>

#include "cli/command.h"

namespace quorvex::cli {

// `quorvex simulate --songs N --steps S --perfect R [--seed SECONDS]
// [--threads T] [--format text|csv|json] [--output FILE] [--results FILE]
// [--plot FILE.svg] [--at-least SCORE,...] [--quiet]`: one seeded run,
// summarised.
std::unique_ptr<Command> makeSimulateCommand();

} // namespace quorvex::cli
