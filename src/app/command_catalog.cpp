#include "app/command_catalog.h"

#include "app/option_reader.h"
#include "app/sweep_ratios.h"
#include "app/target_request.h"

namespace quorvex::app {

namespace {

constexpr OptionEntry stepsOption{"steps", "S", "steps per song, 1 to 2147483647 (required)", countDomain};
constexpr OptionEntry atLeastOption{"at-least", "SCORE,...",
                                    "also P(score >= SCORE) for each SCORE from 0 to 1000\n"
                                    "(a score given twice counts once)",
                                    scoresDomain};

constexpr OptionEntry simulateOptions[] = {
    {"songs", "N", "songs to play, 1 to 2147483647 (required)", countDomain},
    stepsOption,
    {"perfect", "R",
     "the chance that a step is judged perfect or better,\n"
     "in (0, 1], read as the dialogue reads it (required)",
     "a ratio in (0, 1]"},
    {"seed", "SECONDS",
     "the clock second to seed from, 0 to 4294967295\n"
     "(default: the current second)",
     seedDomain},
    atLeastOption,
};

constexpr OptionEntry sweepOptions[] = {
    {"songs", "N", "songs per ratio, 1 to 2147483647 (required)", countDomain},
    stepsOption,
    {"perfect", "RATIOS",
     "perfect ratios in (0, 1]: a range A:B:STEP or a list\n"
     "R1,R2,..., at most 10000 (required)",
     sweepRatiosDomain},
    {"seed", "SECONDS",
     "the clock second to seed every ratio from, 0 to\n"
     "4294967295 (default: the current second)",
     seedDomain},
    atLeastOption,
};

constexpr OptionEntry targetOptions[] = {
    stepsOption,
    {"aaa-chance", "Q", "goal: P(AAA) >= Q, Q from 0 to 1", chanceDomain},
    {"score", "X", "goal: P(score >= X) >= Q with --chance Q,\nX from 0 to 1000", scoreDomain},
    {"chance", "Q", "the Q of --score, from 0 to 1", chanceDomain},
    {"mean", "M", "goal: mean score >= M, M from 0 to 1000", meanDomain},
    {"songs", "N", "songs played at each ratio tried, 1 to 2147483647\n(default: 100000)", countDomain},
    {"seed", "SECONDS",
     "the clock second to seed from, 0 to 4294967295\n"
     "(default: the current second)",
     seedDomain},
    {"resolution", "R",
     "score and mean goals: the bracket's width, in\n"
     "(0, 0.5] (default: 0.0001)",
     resolutionDomain},
};

} // namespace

std::span<const CommandEntry> commandCatalog() {
    static const CommandEntry commands[] = {
        {CommandName::simulate, "simulate", "play seeded songs and summarise their scores", simulateOptions,
         output::simulationFormats()},
        {CommandName::sweep, "sweep", "play the same seeded songs at many perfect ratios", sweepOptions,
         output::sweepFormats()},
        {CommandName::target, "target", "find the smallest perfect ratio that meets a goal", targetOptions,
         output::targetFormats()},
    };
    return commands;
}

const CommandEntry* findCommand(std::string_view name) {
    for (const CommandEntry& command : commandCatalog())
        if (command.name == name)
            return &command;
    return nullptr;
}

const CommandEntry& commandEntry(CommandName command) {
    for (const CommandEntry& entry : commandCatalog())
        if (entry.command == command)
            return entry;
    return commandCatalog().front(); // not reached: every name stands in the catalogue
}

} // namespace quorvex::app
