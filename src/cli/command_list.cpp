#include "cli/command_list.h"

#include "cli/simulate_command.h"

namespace quorvex::cli {

std::vector<std::unique_ptr<Command>> makeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeSimulateCommand());
    return commands;
}

} // namespace quorvex::cli
