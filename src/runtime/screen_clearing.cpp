#include "runtime/screen_clearing.h"

#include <cstdint>

namespace quorvex {

namespace {

TextWindow window;

// The window of a screen buffer: its size modulo 256, edges in 8 bits.
TextWindow windowOf(const platform::ScreenBufferSize& screen) {
    TextWindow measured;
    measured.screenWidth = static_cast<std::uint8_t>(screen.columns % 256);
    measured.screenHeight = static_cast<std::uint8_t>(screen.rows % 256);
    measured.attribute = static_cast<std::uint16_t>(screen.attribute & 0xFF);
    measured.left = 0;
    measured.top = 0;
    measured.right = static_cast<std::uint8_t>(measured.screenWidth - 1);
    measured.bottom = static_cast<std::uint8_t>(measured.screenHeight - 1);
    return measured;
}

} // namespace

bool openConsoleScreen(const char* device) {
    platform::openScreen(device);
    // Without a handle nothing can be measured: width, height and attribute 0.
    window = windowOf(platform::measureScreen());
    return platform::screenOpen();
}

void closeConsoleScreen() {
    platform::closeScreen();
}

const TextWindow& textWindow() {
    return window;
}

void clearScreen() {
    if (!platform::screenOpen())
        return;
    // Blank the window, then put the cursor in its top-left cell.
    platform::blankWindow(window);
    moveCursor(1, 1);
}

void moveCursor(int x, int y) {
    if (!platform::screenOpen())
        return;
    const long long column = static_cast<long long>(window.left) + x - 1;
    const long long row = static_cast<long long>(window.top) + y - 1;
    if (column < window.left || column > window.right || row < window.top || row > window.bottom)
        return;
    platform::placeCursor(static_cast<long>(column), static_cast<long>(row));
}

} // namespace quorvex
