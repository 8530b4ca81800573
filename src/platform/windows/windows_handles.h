#pragma once

// What the Windows side shares: the system handle behind a C library
// descriptor, the errno that stands for a system error code, and writing
// every byte to a handle.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <io.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace quorvex::platform {

// The system handle of the descriptor, or INVALID_HANDLE_VALUE when the
// descriptor is not open or has no handle (a process started without one).
inline HANDLE handleOf(int fd) {
    const std::intptr_t handle = ::_get_osfhandle(fd);
    return handle < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

// The errno for a system error code, so that messages read the same as on
// POSIX ("No space left on device", "Broken pipe"); EIO for codes without a
// closer match.
inline int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EIO;
    }
}

// Writes all `size` bytes to the handle, as they are, continuing partial
// writes. Returns 0, or the errno that stopped it (EIO for a write that made
// no progress and gave no reason). In descriptor_io.cpp.
int writeToHandle(HANDLE handle, const char* data, std::size_t size);

} // namespace quorvex::platform
