#pragma once

#include <string_view>

#include "runtime/input_stream.h"
#include "runtime/output_stream.h"

namespace quorvex {

inline constexpr int standardInputDescriptor = 0;
inline constexpr int standardOutputDescriptor = 1;

// The console input stream's type: an istream over standard input unless
// given another descriptor or the bytes to deliver. Assigning one rebinds it.
class istream_withassign : public istream {
  public:
    explicit istream_withassign(int fd = standardInputDescriptor) : istream(fd) {}
    explicit istream_withassign(std::string_view bytes) : istream(bytes) {}
};

// The console output stream's type: an ostream over standard output unless
// given another descriptor. Assigning one rebinds it, writing out first what
// the old binding holds.
class ostream_withassign : public ostream {
  public:
    explicit ostream_withassign(int fd = standardOutputDescriptor) : ostream(fd) {}
};

// The two console streams of the process. Until openConsoleStreams binds
// them they are plain streams over descriptors 0 and 1, untied and without
// unit buffering.
istream_withassign& consoleInput();
ostream_withassign& consoleOutput();

// Start-up of the console streams: both descriptors carry bytes unchanged
// (binary mode on Windows: "\n" stays "\n"), binds the input stream to `inputFd` and
// the output stream to `outputFd`, ties the input stream to the output stream
// (every numeric read flushes it first), switches unit buffering on for the
// output stream when `outputFd` is a terminal (a character device, the
// console, on Windows), and has an index failure write
// out the pending console output before its message. Both streams start with
// a clean state and only the skip-white-space flag besides.
void openConsoleStreams(int inputFd = standardInputDescriptor, int outputFd = standardOutputDescriptor);

// Normal end: writes out the pending console output. (The console output
// stream also does so when it is destroyed at exit, so output is not lost
// when this is not reached; this makes the moment explicit.)
void closeConsoleStreams();

} // namespace quorvex
