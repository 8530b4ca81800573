#pragma once

#include <memory>

#include "cli/command.h"

namespace quorvex::cli {

// `quorvex serve`: the command line declares and reads the server's options
// and hands over to the server (src/serve).
std::unique_ptr<Command> makeServeCommand();

} // namespace quorvex::cli
