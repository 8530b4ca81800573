#pragma once

namespace quorvex::platform {

// Start-up of the standard descriptors, before anything is read or written:
// a descriptor among 0, 1 and 2 that the program was started without is
// filled with the null device, so that no file opened later (the results
// file) can take its number and receive console text or messages meant for
// standard error; then all three carry bytes unchanged (passBytesUnchanged).
void prepareStandardDescriptors();

// From now on the descriptor carries bytes as they are, in both directions:
// "\n" is never written as "\r\n", carriage returns are delivered and 0x1A
// does not end the input. POSIX descriptors always do; on Windows this puts
// the C library's descriptor into binary mode.
void passBytesUnchanged(int fd);

// True when output on the descriptor reaches a person at once, so the console
// output stream is unit-buffered: a terminal on POSIX; a character device on
// Windows (the console, as its file type tells).
bool isCharacterDevice(int fd);

} // namespace quorvex::platform
