#pragma once

#include <cstdint>

namespace quorvex::platform {

// The console layer's record of the screen, filled once when the console is
// opened: screen width and height are the screen buffer's columns and rows
// modulo 256; left = top = 0 and right, bottom = width - 1, height - 1 in 8
// bits (a size of 0, or one that cannot be measured, gives an edge of 255);
// attribute is the low 8 bits of the console's current text attribute (a
// terminal has none to read: 0, and it is cleared in its current colours).
struct TextWindow {
    std::uint8_t left = 0;
    std::uint8_t top = 0;
    std::uint8_t right = 0;
    std::uint8_t bottom = 0;
    std::uint16_t attribute = 0;
    std::uint8_t screenHeight = 0;
    std::uint8_t screenWidth = 0;
};

// The screen buffer as measured through the handle: all 0 when there is no
// handle or it cannot be measured.
struct ScreenBufferSize {
    long columns = 0;
    long rows = 0;
    std::uint16_t attribute = 0;
};

// The device that plays the part of the console whatever standard output is
// bound to: the controlling terminal ("/dev/tty") on POSIX, the console's
// active screen buffer ("CONOUT$") on Windows.
const char* consoleDevice();

// Opens the process's one screen handle on `device` (read and write, shared,
// an existing device only, never becoming the controlling terminal, not
// inherited by child processes). A device that cannot be opened or is not a
// terminal or console leaves no handle, and every call below then does
// nothing. An open handle is closed first. True when the handle is open.
bool openScreen(const char* device);
void closeScreen();
bool screenOpen();

ScreenBufferSize measureScreen();

// Blanks the window: on Windows by the console's fill functions, in the
// window's attribute (see the Windows side for the rules); on a terminal by
// erasing the whole display in its current colours, since a terminal has no
// cells beyond its display. The cursor does not move.
void blankWindow(const TextWindow& window);

// Puts the cursor at the 0-based screen cell (column, row).
void placeCursor(long column, long row);

} // namespace quorvex::platform
