#include "platform/descriptor_io.h"

#include <algorithm>

#include "platform/windows/windows_handles.h"

// The C library's own _read and _write would translate line ends on a
// descriptor left in text mode; the system calls on the descriptor's handle
// never do, so the bytes are the same as on POSIX whatever the mode.

namespace quorvex::platform {

namespace {
// The most one system call is asked to move (its count is 32 bits).
constexpr std::size_t largestCall = std::size_t{1} << 30;
} // namespace

long readSome(int fd, void* buffer, std::size_t size) {
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    DWORD got = 0;
    if (::ReadFile(handle, buffer, static_cast<DWORD>(std::min(size, largestCall)), &got, nullptr) != 0)
        return static_cast<long>(got); // 0: the end of a file, or the console's end-of-input key
    const DWORD error = ::GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
        return 0; // every writer has closed the pipe
    errno = errnoOf(error);
    return -1;
}

int writeToHandle(HANDLE handle, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (::WriteFile(handle, data, static_cast<DWORD>(std::min(size, largestCall)), &written, nullptr) ==
            0)
            return errnoOf(::GetLastError());
        if (written == 0)
            return EIO; // no progress and no reason: give up rather than spin
        data += written;
        size -= written;
    }
    return 0;
}

int writeFully(int fd, const char* data, std::size_t size) {
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    return writeToHandle(handle, data, size);
}

} // namespace quorvex::platform
