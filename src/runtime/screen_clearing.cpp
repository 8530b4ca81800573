#include "runtime/screen_clearing.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/write_fully.h"

namespace quorvex {

namespace {

int consoleHandle = -1;
TextWindow window;

// Results are ignored, as for every console call.
void writeToConsole(const char* text, std::size_t size) {
    (void)writeFully(consoleHandle, text, size);
}

TextWindow measureWindow(int handle) {
    TextWindow measured;
    winsize size{};
    if (::ioctl(handle, TIOCGWINSZ, &size) == 0) {
        measured.screenWidth = static_cast<std::uint8_t>(size.ws_col % 256);
        measured.screenHeight = static_cast<std::uint8_t>(size.ws_row % 256);
    }
    measured.left = 0;
    measured.top = 0;
    measured.right = static_cast<std::uint8_t>(measured.screenWidth - 1);
    measured.bottom = static_cast<std::uint8_t>(measured.screenHeight - 1);
    return measured;
}

} // namespace

bool openConsoleScreen(const char* device) {
    closeConsoleScreen();
    const int handle = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (handle >= 0 && ::isatty(handle) != 1) {
        ::close(handle);
        consoleHandle = -1;
    } else {
        consoleHandle = handle;
    }
    // Without a handle nothing can be measured: width, height and attribute 0.
    window = measureWindow(consoleHandle);
    return consoleHandle >= 0;
}

void closeConsoleScreen() {
    if (consoleHandle >= 0)
        ::close(consoleHandle);
    consoleHandle = -1;
}

bool consoleScreenOpen() {
    return consoleHandle >= 0;
}

const TextWindow& textWindow() {
    return window;
}

void clearScreen() {
    if (consoleHandle < 0)
        return;
    // 1.-2. Erase the whole display; a terminal has no cells beyond it.
    constexpr char eraseDisplay[] = "\x1b[2J";
    writeToConsole(eraseDisplay, sizeof eraseDisplay - 1);
    // 3. Home the cursor.
    moveCursor(1, 1);
}

void moveCursor(int x, int y) {
    if (consoleHandle < 0)
        return;
    const long long column = static_cast<long long>(window.left) + x - 1;
    const long long row = static_cast<long long>(window.top) + y - 1;
    if (column < window.left || column > window.right || row < window.top || row > window.bottom)
        return;
    char sequence[32];
    const int length = std::snprintf(sequence, sizeof sequence, "\x1b[%lld;%lldH", row + 1, column + 1);
    writeToConsole(sequence, static_cast<std::size_t>(length));
}

} // namespace quorvex
