#include "platform/descriptor_io.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace quorvex::platform {

namespace {

// One write(2) during which SIGPIPE is held back: if the write meets a closed
// pipe it fails with EPIPE, and the signal it raised is taken off the pending
// set before the mask is restored, so the process carries on whatever its
// disposition for SIGPIPE. A SIGPIPE that was already pending is left alone.
ssize_t writeWithoutBrokenPipeSignal(int fd, const char* data, std::size_t size) {
    sigset_t brokenPipe, previousMask, pendingBefore;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previousMask);
    sigpending(&pendingBefore);
    const bool alreadyPending = sigismember(&pendingBefore, SIGPIPE) == 1;

    const ssize_t written = ::write(fd, data, size);
    const int writeError = errno;

    if (written < 0 && writeError == EPIPE && !alreadyPending) {
        const timespec noWait{0, 0};
        while (sigtimedwait(&brokenPipe, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    errno = writeError;
    return written;
}

// Blocks until the descriptor is ready for `events`; false when even the
// wait fails.
bool waitUntilReady(int fd, short events) {
    pollfd waitFor{fd, events, 0};
    return ::poll(&waitFor, 1, -1) >= 0 || errno == EINTR;
}

} // namespace

long readSome(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitUntilReady(fd, POLLIN))
            continue;
        return -1;
    }
}

int writeFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = writeWithoutBrokenPipeSignal(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written == 0)
            return EIO; // no progress and no reason: give up rather than spin
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitUntilReady(fd, POLLOUT))
            continue;
        return errno;
    }
    return 0;
}

} // namespace quorvex::platform
