#include "platform/terminal.h"

#include "platform/windows/windows_handles.h"

namespace quorvex::platform {

bool isTerminal(int fd) {
    DWORD mode = 0;
    const HANDLE handle = handleOf(fd);
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

int terminalColumns(int fd) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE || ::GetConsoleScreenBufferInfo(handle, &info) == 0)
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1; // the visible window, not the buffer
}

bool terminalShowsUtf8() {
    return ::GetConsoleOutputCP() == CP_UTF8;
}

} // namespace quorvex::platform
