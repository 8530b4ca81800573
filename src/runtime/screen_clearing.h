#pragma once

#include <cstdint>

namespace quorvex {

// The console layer's record of the screen, filled once when the console is
// opened. On a terminal the screen is the terminal's display: width and
// height are its columns and rows modulo 256; left = top = 0 and right,
// bottom = width - 1, height - 1 in 8 bits (a size of 0, or one that cannot
// be measured, gives an edge of 255). A terminal has no colour attribute to
// read: attribute stays 0, and clearing uses the terminal's current colours.
struct TextWindow {
    std::uint8_t left = 0;
    std::uint8_t top = 0;
    std::uint8_t right = 0;
    std::uint8_t bottom = 0;
    std::uint16_t attribute = 0;
    std::uint8_t screenHeight = 0;
    std::uint8_t screenWidth = 0;
};

// The controlling terminal, which plays the part of the console.
inline constexpr const char* controllingTerminal = "/dev/tty";

// Opens the console handle on `device` (read and write, never becoming the
// controlling terminal, closed on exec) and measures the window. A device
// that cannot be opened or is not a terminal leaves an invalid handle, on
// which clearing and cursor moves do nothing. An open handle is closed first.
// True when the handle is valid.
bool openConsoleScreen(const char* device = controllingTerminal);

// Closes the console handle (normal program end).
void closeConsoleScreen();

bool consoleScreenOpen();
const TextWindow& textWindow();

// Blanks the terminal's whole display in its current colours and puts the
// cursor in the window's top-left cell, by terminal control sequences written
// to the console handle, whatever standard output is bound to. Does nothing
// without a valid handle. The console output stream is not touched.
void clearScreen();

// Moves the cursor to window-relative column x, row y (1-based): the screen
// cell (left + x - 1, top + y - 1). Does nothing when that cell lies outside
// the window or the handle is invalid.
void moveCursor(int x, int y);

} // namespace quorvex
