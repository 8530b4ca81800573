#pragma once

// The commands every face offers, with the options that decide each run's
// result and record. A face adds its own options (threads, files, ...) and
// hands the texts of these to prepareRun (prepared_run.h).

#include <span>
#include <string_view>

#include "output/format_registry.h"

namespace quorvex::app {

enum class CommandName { simulate, sweep, target };

// One option of a run.
struct OptionEntry {
    std::string_view name;      // without dashes: "songs"
    std::string_view valueName; // "N"
    std::string_view help;      // the line(s) of the command's help
    std::string_view accepts;   // as messages say it: "a whole number from 1 to 2147483647"
};

struct CommandEntry {
    CommandName command;
    std::string_view name;                   // "simulate"
    std::string_view summary;                // its line in the program's help
    std::span<const OptionEntry> options;    // the run's options, in the order the help lists them
    std::span<const output::Format> formats; // every format its record renders to
};

// simulate, sweep, target, in the order the program's help lists them.
std::span<const CommandEntry> commandCatalog();

// The command of that name; nullptr when there is none.
const CommandEntry* findCommand(std::string_view name);

// The command itself.
const CommandEntry& commandEntry(CommandName command);

} // namespace quorvex::app
