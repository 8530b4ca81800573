#pragma once

#include <memory>
#include <vector>

#include "cli/command.h"

namespace quorvex::cli {

// Every command of the run layer's catalogue that has a layout on the
// command line (command_layouts.cpp), in the catalogue's order, which
// `quorvex --help` lists.
std::vector<std::unique_ptr<Command>> makeCommands();

} // namespace quorvex::cli
