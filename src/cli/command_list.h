#pragma once

#include <memory>
#include <vector>

#include "cli/command.h"

namespace quorvex::cli {

// Every command, in the order `quorvex --help` lists them. A new command is
// its own file and one line here.
std::vector<std::unique_ptr<Command>> makeCommands();

} // namespace quorvex::cli
