#pragma once

#include <memory>

#include "app/command_catalog.h"
#include "cli/command.h"
#include "cli/command_layouts.h"

namespace quorvex::cli {

// One command of the run layer on the command line: declares its run options
// (from the catalogue) and the command line's own (threads, format, files,
// quiet) under the layout's headings; reads and checks them all in the
// order the help lists them; plays the run with a progress line on a
// terminal; renders each text asked for through the format registry and
// writes each file whole or not at all.
std::unique_ptr<Command> makeRunCommand(const app::CommandEntry& entry, const CommandLayout& layout);

} // namespace quorvex::cli
