#include "platform/stream_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex::platform {

void prepareStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd)
            ::close(opened); // fd was taken meanwhile: nothing to fill
    }
}

void passBytesUnchanged(int /*fd*/) {}

bool isCharacterDevice(int fd) {
    return ::isatty(fd) == 1;
}

} // namespace quorvex::platform
