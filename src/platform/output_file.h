#pragma once

#include <cstdint>
#include <string>

namespace quorvex::platform {

// A file opened for writing, or the reason it could not be.
struct OpenedFile {
    int descriptor = -1; // -1 when it could not be opened
    int error = 0;       // the errno that stopped it, or 0
};

// Creates the file, readable and writable (less the umask on POSIX), or
// empties an existing one, and opens it for writing from its start; the
// descriptor is not inherited by child processes and carries bytes unchanged
// (binary mode on Windows: the writer puts its own line ends). A directory in
// the file's place fails with EISDIR on every platform.
OpenedFile createOrEmptyFile(const std::string& path);

// Cuts the file back to its first `size` bytes. Returns 0 or the errno.
int truncateFile(int fd, std::uint64_t size);

// Closes the descriptor. Returns 0, or the errno of a failure the system
// reports only at closing.
int closeFile(int fd);

} // namespace quorvex::platform
