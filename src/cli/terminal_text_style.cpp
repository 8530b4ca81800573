#include "cli/terminal_text_style.h"

#include "platform/terminal.h"

namespace quorvex::cli {

output::TextStyle textStyleFor(const std::string& file) {
    constexpr int standardOutput = 1;
    output::TextStyle style;
    if (file == "-" && platform::isTerminal(standardOutput))
        style.columns = platform::terminalColumns(standardOutput);
    style.unicode = platform::terminalShowsUtf8();
    return style;
}

} // namespace quorvex::cli
