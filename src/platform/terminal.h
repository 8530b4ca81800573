#pragma once

namespace quorvex::platform {

// True when the descriptor is an interactive terminal (a console on Windows).
bool isTerminal(int fd);

// The width in columns of the terminal on `fd`, or 0 when it is not a
// terminal or cannot be measured.
int terminalColumns(int fd);

// True when text written to the terminal is shown as UTF-8: on POSIX the
// locale's character set as the environment names it (LC_ALL, then
// LC_CTYPE, then LANG); the program's own locale is never changed. On
// Windows: the console's output code page is UTF-8 (65001).
bool terminalShowsUtf8();

} // namespace quorvex::platform
