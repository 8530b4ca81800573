#include "platform/console_screen.h"

#include "platform/windows/windows_handles.h"

// The console's screen buffer through the console functions. Their results
// are ignored: on a handle that failed they do nothing.

namespace quorvex::platform {

namespace {

HANDLE screenHandle = INVALID_HANDLE_VALUE;

void fillCells(DWORD count, long column, long row, WORD attribute) {
    const COORD first{static_cast<SHORT>(column), static_cast<SHORT>(row)};
    DWORD done = 0;
    ::FillConsoleOutputCharacterA(screenHandle, ' ', count, first, &done);
    ::FillConsoleOutputAttribute(screenHandle, attribute, count, first, &done);
}

} // namespace

const char* consoleDevice() {
    return "CONOUT$";
}

bool openScreen(const char* device) {
    closeScreen();
    // Read and write, shared, an existing object only, not inherited.
    const HANDLE handle =
        ::CreateFileA(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) == 0)
        ::CloseHandle(handle); // a file or device, not a console
    else
        screenHandle = handle;
    return screenHandle != INVALID_HANDLE_VALUE;
}

void closeScreen() {
    if (screenHandle != INVALID_HANDLE_VALUE)
        ::CloseHandle(screenHandle);
    screenHandle = INVALID_HANDLE_VALUE;
}

bool screenOpen() {
    return screenHandle != INVALID_HANDLE_VALUE;
}

ScreenBufferSize measureScreen() {
    ScreenBufferSize measured;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (screenHandle != INVALID_HANDLE_VALUE && ::GetConsoleScreenBufferInfo(screenHandle, &info) != 0) {
        measured.columns = info.dwSize.X;
        measured.rows = info.dwSize.Y;
        measured.attribute = info.wAttributes;
    }
    return measured;
}

void blankWindow(const TextWindow& window) {
    if (screenHandle == INVALID_HANDLE_VALUE)
        return;
    // 1. The window is the whole screen (width - 1 and height - 1 as full
    //    integers, so a dimension of 0 never matches): one fill of each kind
    //    over width x height consecutive cells from the first.
    const long width = window.screenWidth;
    const long height = window.screenHeight;
    if (window.left == 0 && window.top == 0 && window.right == width - 1 && window.bottom == height - 1) {
        fillCells(static_cast<DWORD>(width * height), 0, 0, window.attribute);
        return;
    }
    // 2. Otherwise row by row, the window's columns in each.
    const DWORD columns = static_cast<DWORD>(window.right) - window.left + 1;
    for (long row = window.top; row <= window.bottom; ++row)
        fillCells(columns, window.left, row, window.attribute);
}

void placeCursor(long column, long row) {
    if (screenHandle == INVALID_HANDLE_VALUE)
        return;
    ::SetConsoleCursorPosition(screenHandle, COORD{static_cast<SHORT>(column), static_cast<SHORT>(row)});
}

} // namespace quorvex::platform
