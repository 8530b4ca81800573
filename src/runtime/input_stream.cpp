#include "runtime/input_stream.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex {

istream::istream(int fd) : fd_(fd) {
    buffer_.reserve(chunkSize);
}

istream::istream(std::string_view bytes) : fd_(-1), buffer_(bytes.begin(), bytes.end()) {}

int istream::peek() {
    if (next_ >= buffer_.size() && !refill())
        return endOfInput;
    return buffer_[next_];
}

void istream::consume() {
    if (next_ < buffer_.size())
        ++next_;
}

int istream::get() {
    const int c = peek();
    consume();
    return c;
}

bool istream::refill() {
    buffer_.clear();
    next_ = 0;
    if (ended_ || fd_ < 0) {
        ended_ = true;
        return false;
    }
    buffer_.resize(chunkSize);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), chunkSize);
        if (got > 0) {
            buffer_.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waitFor{fd_, POLLIN, 0};
            if (::poll(&waitFor, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        // 0 is the end of the input; any other failure counts as its end too.
        buffer_.clear();
        ended_ = true;
        return false;
    }
}

} // namespace quorvex
