#include "cli/command_list.h"

#include "app/command_catalog.h"
#include "cli/command_layouts.h"
#include "cli/run_command.h"

#ifdef QUORVEX_SERVE
#include "cli/serve_command.h"
#endif

namespace quorvex::cli {

std::vector<std::unique_ptr<Command>> makeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    for (const app::CommandEntry& entry : app::commandCatalog())
        if (const CommandLayout* layout = layoutOf(entry.name))
            commands.push_back(makeRunCommand(entry, *layout));
#ifdef QUORVEX_SERVE
    commands.push_back(makeServeCommand());
#endif
    return commands;
}

} // namespace quorvex::cli
