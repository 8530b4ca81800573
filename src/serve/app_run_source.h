#pragma once

#include <memory>

#include "serve/run_source.h"

namespace quorvex::serve {

// The program's runs: the run layer every face shares reads the options
// with the command line's rules and messages, plays, and renders each format
// as the command line writes it.
std::unique_ptr<RunSource> makeAppRunSource();

} // namespace quorvex::serve
