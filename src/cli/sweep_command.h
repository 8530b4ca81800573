#pragma once

#include <memory>

#include "cli/command.h"

namespace quorvex::cli {

// `quorvex sweep --steps S --songs N --perfect A:B:STEP | --perfect
// R1,R2,... [--seed SECONDS] [--threads T] [--format text|csv|json]
// [--output FILE] [--plot FILE.svg] [--at-least SCORE,...] [--quiet]`: the
// same seeded songs at each ratio, one row of simulate's figures per ratio.
std::unique_ptr<Command> makeSweepCommand();

} // namespace quorvex::cli
