#pragma once

// A pipe the test owns: both ends closed when it goes out of scope, and a way
// to see what has reached the read end without waiting.

#include <string>

namespace quorvex::testing {

// Whatever can be read from `fd` right now (never waits).
std::string arrivedOn(int fd);

// True when the read end `fd` has bytes (or its end) to read within
// `milliseconds` (0: right now).
bool readableWithin(int fd, int milliseconds);

// A pipe as two bare descriptors, ends[0] to read and ends[1] to write, for
// a test that hands the ends around itself (binary and not inherited on
// Windows). True when it was made.
bool openPipe(int ends[2]);

struct Pipe {
    // Owns descriptors: never copied, so never closed twice.
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int readEnd = -1;  // -1 once closed, or if the pipe could not be made
    int writeEnd = -1; // likewise

    Pipe();
    ~Pipe();
    bool opened() const { return readEnd >= 0 && writeEnd >= 0; }
    void closeWriteEnd();
    // Whatever has reached the pipe so far (never waits).
    std::string arrived() const { return arrivedOn(readEnd); }
};

} // namespace quorvex::testing
