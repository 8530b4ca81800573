#pragma once

#include <memory>

#include "cli/command.h"

namespace quorvex::cli {

// `quorvex target --steps S (--aaa-chance Q | --score X --chance Q | --mean M)
// [--songs N] [--seed SECONDS] [--resolution R] [--threads T]
// [--format text|json] [--output FILE] [--quiet]`: the smallest perfect
// ratio that meets the goal.
std::unique_ptr<Command> makeTargetCommand();

} // namespace quorvex::cli
