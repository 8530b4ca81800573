#include "runtime/output_stream.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace quorvex {

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

// Writes all bytes; on failure returns the errno that stopped it, else 0.
int writeAll(int fd, const char* data, std::size_t size) {
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
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd waitFor{fd, POLLOUT, 0};
            if (::poll(&waitFor, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        return errno;
    }
    return 0;
}

} // namespace

ostream::ostream(int fd) : fd_(fd) {
    buffer_.reserve(bufferSize);
}

ostream::~ostream() {
    flush();
}

ostream::ostream(ostream&& other) noexcept
    : ios(other), fd_(other.fd_), buffer_(std::move(other.buffer_)), lastError_(other.lastError_) {
    other.buffer_.clear();
}

ostream& ostream::operator=(ostream&& other) noexcept {
    if (this != &other) {
        flush();
        ios::operator=(other);
        fd_ = other.fd_;
        buffer_ = std::move(other.buffer_);
        lastError_ = other.lastError_;
        other.buffer_.clear();
    }
    return *this;
}

void ostream::write(std::string_view bytes) {
    if (inError())
        return;
    while (!bytes.empty()) {
        if (buffer_.size() >= bufferSize && !writeOut())
            return; // bad is set: the rest is dropped
        const std::size_t room = bufferSize - buffer_.size();
        const std::size_t taken = std::min(room, bytes.size());
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
        bytes.remove_prefix(taken);
    }
}

void ostream::flush() {
    if ((rdstate() & badbit) != 0) {
        buffer_.clear();
        return;
    }
    if (!buffer_.empty())
        writeOut();
}

bool ostream::writeOut() {
    const int error = writeAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (error == 0)
        return true;
    lastError_ = error;
    setstate(badbit);
    return false;
}

ostream& writeText(ostream& out, std::string_view text) {
    // 1.-2. Into the buffer, unless the stream is in error.
    out.write(text);
    // 3. Unit buffering passes the text on at once.
    if ((out.flags() & ios::unitbuf) != 0 && !out.inError())
        out.flush();
    return out;
}

ostream& endLine(ostream& out) {
    out.write("\n");
    out.flush();
    return out;
}

} // namespace quorvex
