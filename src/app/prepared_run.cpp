#include "app/prepared_run.h"

#include "app/option_reader.h"
#include "app/simulate_run.h"
#include "app/sweep_run.h"
#include "app/target_run.h"
#include "app/usage_error.h"
#include "runtime/numeric_mode.h"

namespace quorvex::app {

std::unique_ptr<PreparedRun> prepareRun(std::string_view command, const OptionTexts& texts,
                                        std::uint32_t currentSecond) {
    const CommandEntry* const entry = findCommand(command);
    if (entry == nullptr)
        throw UsageError("unknown command " + quoteForMessage(command));
    // Ratios are read in the mode the dialogue reads them in, on whatever
    // thread the face calls from.
    setNumericMode();
    const OptionReader reader(*entry, texts);
    switch (entry->command) {
    case CommandName::simulate:
        return prepareSimulate(reader, currentSecond);
    case CommandName::sweep:
        return prepareSweep(reader, currentSecond);
    case CommandName::target:
        return prepareTarget(reader, currentSecond);
    }
    throw UsageError("unknown command " + quoteForMessage(command));
}

} // namespace quorvex::app
