#pragma once

namespace quorvex {

// Start-up of the console layer, before the program's own code runs: any
// closed standard descriptor is filled with the null device and all three
// carry bytes unchanged (binary mode on Windows); then the console handle on
// the controlling terminal (the console's screen buffer on Windows) and the
// window measured on it; then the two console streams over descriptors 0 and
// 1 (tied, unit-buffered when standard output is a terminal or console).
void openConsole();

// Normal program end: the pending console output is written out, then the
// console handle is closed.
void closeConsole();

} // namespace quorvex
