#include "cli/command_list.h"

#include "cli/simulate_command.h"
#include "cli/sweep_command.h"
#include "cli/target_command.h"

namespace quorvex::cli {

std::vector<std::unique_ptr<Command>> makeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeSimulateCommand());
    commands.push_back(makeSweepCommand());
    commands.push_back(makeTargetCommand());
    return commands;
}

} // namespace quorvex::cli
