#include "runtime/input_stream.h"

#include "platform/descriptor_io.h"

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
    const long got = platform::readSome(fd_, buffer_.data(), chunkSize);
    if (got > 0) {
        buffer_.resize(static_cast<std::size_t>(got));
        return true;
    }
    // 0 is the end of the input; a failure counts as its end too.
    buffer_.clear();
    ended_ = true;
    return false;
}

} // namespace quorvex
