#include "runtime/output_stream.h"

#include <algorithm>

#include "runtime/write_fully.h"

namespace quorvex {

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
    const int error = writeFully(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (error == 0)
        return true;
    lastError_ = error;
    setstate(badbit);
    return false;
}

ostream& writeText(ostream& out, std::string_view text) {
    // Into the buffer, unless the stream is in error.
    out.write(text);
    // Unit buffering passes the text on at once.
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
