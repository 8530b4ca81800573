#include "platform/console_screen.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

#include "platform/descriptor_io.h"

namespace quorvex::platform {

namespace {

int screenHandle = -1;

// Results are ignored, as for every console call.
void writeToScreen(const char* text, std::size_t size) {
    (void)writeFully(screenHandle, text, size);
}

} // namespace

const char* consoleDevice() {
    return "/dev/tty";
}

bool openScreen(const char* device) {
    closeScreen();
    const int handle = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (handle >= 0 && ::isatty(handle) != 1)
        ::close(handle);
    else
        screenHandle = handle;
    return screenHandle >= 0;
}

void closeScreen() {
    if (screenHandle >= 0)
        ::close(screenHandle);
    screenHandle = -1;
}

bool screenOpen() {
    return screenHandle >= 0;
}

ScreenBufferSize measureScreen() {
    ScreenBufferSize measured;
    winsize size{};
    if (screenHandle >= 0 && ::ioctl(screenHandle, TIOCGWINSZ, &size) == 0) {
        measured.columns = size.ws_col;
        measured.rows = size.ws_row;
    }
    return measured;
}

void blankWindow(const TextWindow& /*window*/) {
    if (screenHandle < 0)
        return;
    constexpr char eraseDisplay[] = "\x1b[2J";
    writeToScreen(eraseDisplay, sizeof eraseDisplay - 1);
}

void placeCursor(long column, long row) {
    if (screenHandle < 0)
        return;
    // "ESC [ row ; column H", both 1-based. Two longs fit with room to
    // spare; should the text ever not fit, nothing is sent rather than a
    // sequence cut short.
    char sequence[64];
    const int length = std::snprintf(sequence, sizeof sequence, "\x1b[%lld;%lldH",
                                     static_cast<long long>(row) + 1, static_cast<long long>(column) + 1);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof sequence)
        writeToScreen(sequence, static_cast<std::size_t>(length));
}

} // namespace quorvex::platform
