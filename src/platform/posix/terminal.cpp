#include "platform/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace quorvex::platform {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

int terminalColumns(int fd) {
    winsize size{};
    if (!isTerminal(fd) || ::ioctl(fd, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

bool terminalShowsUtf8() {
    // The first of these that is set and not empty names the locale in force.
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0')
            continue;
        const std::string_view locale(value);
        return locale.find("UTF-8") != std::string_view::npos ||
               locale.find("utf-8") != std::string_view::npos ||
               locale.find("UTF8") != std::string_view::npos || locale.find("utf8") != std::string_view::npos;
    }
    return false;
}

} // namespace quorvex::platform
