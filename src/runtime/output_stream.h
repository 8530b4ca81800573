#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "runtime/stream_state.h"

namespace quorvex {

// Byte output to a descriptor through the stream's own buffer of
// `bufferSize` bytes. Bytes are written as they are ("\n" stays "\n").
//
// A write that fails (a closed pipe, a full device, a bad descriptor) sets
// bad, discards what was buffered and records the reason; from then on every
// byte is dropped without notice. Such a write never raises SIGPIPE, whatever
// the process's disposition for it, so a closed pipe cannot end the process.
// Interrupted and partial writes are continued. The stream never closes its
// descriptor; destroying it writes out what is pending.
class ostream : public ios {
  public:
    static constexpr std::size_t bufferSize = 4096;

    explicit ostream(int fd);
    ~ostream();

    // The moved-from stream is left with nothing pending. Assignment first
    // writes out what the assigned-to stream holds.
    ostream(ostream&& other) noexcept;
    ostream& operator=(ostream&& other) noexcept;
    ostream(const ostream&) = delete;
    ostream& operator=(const ostream&) = delete;

    // Appends the bytes unless the stream is in error. A full buffer is
    // written out on the way; if that fails, the rest of the bytes is dropped.
    void write(std::string_view bytes);
    // Writes out the buffered bytes (nothing after a failed write).
    void flush();

    int descriptor() const { return fd_; }
    // Bytes waiting in the buffer.
    std::size_t pending() const { return buffer_.size(); }
    // The errno of the write that set bad, or 0.
    int lastError() const { return lastError_; }

  private:
    bool writeOut();

    int fd_;
    std::vector<char> buffer_;
    int lastError_ = 0;
};

// Writes the text to the stream, and flushes it when unit buffering is set
// and the stream is not in error. Returns the stream.
ostream& writeText(ostream& out, std::string_view text);

// Writes a newline, then flushes the stream. Returns the stream.
ostream& endLine(ostream& out);

} // namespace quorvex
