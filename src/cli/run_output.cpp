#include "cli/run_output.h"

#include "app/usage_error.h"
#include "output/file_output.h"
#include "platform/terminal.h"
#include "runtime/write_fully.h"

namespace quorvex::cli {

namespace {
constexpr int standardError = 2;
} // namespace

ProgressDisplay progressOnStandardError(bool quiet, std::int64_t totalSongs, std::int32_t steps,
                                        const std::atomic<std::int64_t>* songsDone) {
    return {standardError, !quiet && platform::isTerminal(standardError), totalSongs, steps, songsDone};
}

void tell(std::string_view command, std::string_view message) {
    std::string line = "quorvex ";
    line.append(command).append(": ").append(message).append("\n");
    (void)writeFully(standardError, line.data(), line.size());
}

int writeRendered(std::string_view command, const std::vector<Rendered>& texts) {
    int status = app::exitSuccess;
    for (const Rendered& rendered : texts) {
        const output::WriteResult written = output::writeWholeFile(rendered.file, rendered.text);
        if (!written.ok) {
            tell(command, written.error);
            status = app::exitFailure;
        }
    }
    return status;
}

} // namespace quorvex::cli
