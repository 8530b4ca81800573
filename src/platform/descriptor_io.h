#pragma once

#include <cstddef>

namespace quorvex::platform {

// Reads at most `size` bytes from the descriptor, waiting until some are
// there: interrupted reads are retried and a non-blocking descriptor is waited
// on. Returns the count read (at least 1), 0 at the end of the input, or -1
// when the read failed. Bytes are delivered as they are: no carriage return
// is dropped and 0x1A is an ordinary byte.
long readSome(int fd, void* buffer, std::size_t size);

// Writes all `size` bytes to the descriptor, continuing interrupted and
// partial writes and waiting on a non-blocking descriptor. Bytes are written
// as they are: "\n" is never turned into "\r\n". Returns 0, or the errno that
// stopped it (EIO for a write that made no progress and gave no reason). A
// write that meets a closed pipe fails with EPIPE and never ends the process,
// whatever its disposition for SIGPIPE (POSIX).
int writeFully(int fd, const char* data, std::size_t size);

} // namespace quorvex::platform
