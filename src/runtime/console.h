#pragma once

namespace quorvex {

// Start-up of the console layer, before the program's own code runs: any
// closed standard descriptor is filled with /dev/null, then the console handle on the controlling terminal
// and the window measured on it, then the two console streams over descriptors 0 and 1 (tied, unit-buffered
// when standard output is a terminal).
void openConsole();

// Normal program end: the pending console output is written out, then the
// console handle is closed.
void closeConsole();

} // namespace quorvex
