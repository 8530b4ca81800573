#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "pipe.h"

// The Windows side of the test pipe: a C library pipe in binary mode, with a
// buffer large enough that a test can write several stream buffers into it
// before reading.

namespace quorvex::testing {

namespace {
constexpr unsigned pipeBuffer = 1U << 20;
} // namespace

std::string arrivedOn(int fd) {
    std::string bytes;
    auto* const handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    char buffer[65536];
    DWORD available = 0;
    while (::PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) != 0 && available > 0) {
        const int n = ::_read(fd, buffer, available < sizeof buffer ? available : sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool readableWithin(int fd, int milliseconds) {
    auto* const handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        DWORD available = 0;
        if (::PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) == 0)
            return true; // the writer has gone: the end of the input is there to read
        if (available > 0)
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(1);
    }
}

bool openPipe(int ends[2]) {
    return ::_pipe(ends, pipeBuffer, _O_BINARY | _O_NOINHERIT) == 0;
}

Pipe::Pipe() {
    int ends[2];
    if (openPipe(ends)) {
        readEnd = ends[0];
        writeEnd = ends[1];
    }
}

Pipe::~Pipe() {
    closeWriteEnd();
    if (readEnd >= 0)
        ::_close(readEnd);
}

void Pipe::closeWriteEnd() {
    if (writeEnd >= 0)
        ::_close(writeEnd);
    writeEnd = -1;
}

} // namespace quorvex::testing
