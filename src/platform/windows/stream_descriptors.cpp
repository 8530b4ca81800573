#include "platform/stream_descriptors.h"

#include <fcntl.h>

#include "platform/windows/windows_handles.h"

namespace quorvex::platform {

void prepareStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        // A process started without a standard handle has none behind the
        // descriptor: the null device takes its place.
        if (handleOf(fd) != INVALID_HANDLE_VALUE)
            continue;
        const int opened = ::_open("NUL", _O_RDWR | _O_BINARY);
        if (opened >= 0 && opened != fd) {
            ::_dup2(opened, fd);
            ::_close(opened);
        }
    }
    for (int fd = 0; fd <= 2; ++fd)
        passBytesUnchanged(fd);
}

void passBytesUnchanged(int fd) {
    // Text mode would write "\n" as "\r\n" (so "\r\n" as "\r\r\n"), drop
    // carriage returns on input and end the input at 0x1A.
    (void)::_setmode(fd, _O_BINARY);
}

bool isCharacterDevice(int fd) {
    const HANDLE handle = handleOf(fd);
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR;
}

} // namespace quorvex::platform
