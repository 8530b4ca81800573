#pragma once

#include "platform/console_screen.h"

namespace quorvex {

// The console layer's record of the screen (platform/console_screen.h).
using platform::TextWindow;

// Opens the console handle on `device`, by default the device that plays the
// part of the console (the controlling terminal on POSIX, the console's
// active screen buffer on Windows): read and write, never becoming the
// controlling terminal, not inherited; then measures the window. A device
// that cannot be opened or is not a terminal or console leaves an invalid
// handle, on which clearing and cursor moves do nothing, and a window
// measured as 0 x 0. An open handle is closed first. True when the handle is
// valid.
bool openConsoleScreen(const char* device = platform::consoleDevice());

// Closes the console handle (normal program end).
void closeConsoleScreen();

// The window as openConsoleScreen measured it.
const TextWindow& textWindow();

// Blanks the window and puts the cursor in the window's top-left cell,
// through the console handle, whatever standard output is bound to: on a
// terminal by erasing the whole display in its current colours; on a Windows
// console by filling cells with blanks and the window's attribute, the whole
// screen in one fill when the window is the whole screen (left = top = 0,
// right = width - 1, bottom = height - 1 computed as full integers, so a
// dimension that is a multiple of 256 never matches), else row by row. Does
// nothing without a valid handle. The console output stream is not touched.
void clearScreen();

// Moves the cursor to window-relative column x, row y (1-based): the screen
// cell (left + x - 1, top + y - 1). Does nothing when that cell lies outside
// the window or the handle is invalid.
void moveCursor(int x, int y);

} // namespace quorvex
