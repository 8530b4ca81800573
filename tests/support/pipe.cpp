#include "pipe.h"

#include <poll.h>
#include <unistd.h>

namespace quorvex::testing {

std::string arrivedOn(int fd) {
    std::string bytes;
    char buffer[65536];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool readableWithin(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) == 1 && (p.revents & (POLLIN | POLLHUP)) != 0;
}

bool openPipe(int ends[2]) {
    return ::pipe(ends) == 0;
}

Pipe::Pipe() {
    int ends[2];
    if (::pipe(ends) == 0) {
        readEnd = ends[0];
        writeEnd = ends[1];
    }
}

Pipe::~Pipe() {
    closeWriteEnd();
    if (readEnd >= 0)
        ::close(readEnd);
}

void Pipe::closeWriteEnd() {
    if (writeEnd >= 0)
        ::close(writeEnd);
    writeEnd = -1;
}

} // namespace quorvex::testing
