#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "runtime/stream_state.h"

namespace quorvex {

// Byte input with one character of look-ahead, from a descriptor or from a
// byte string held in memory.
//
// A descriptor is read in chunks of at most `chunkSize` bytes into the
// stream's own buffer, so input of any length is read in bounded memory.
// Every byte is delivered as it is: no carriage return is dropped and 0x1A is
// an ordinary byte. End of input is a read that returns 0 (the end of a file
// or pipe, the terminal's end-of-input key) or fails; once met it is final,
// and the descriptor is not read again. Interrupted reads are retried; a
// non-blocking descriptor is waited on. The stream never closes its
// descriptor.
class istream : public ios {
  public:
    static constexpr int endOfInput = -1;
    static constexpr std::size_t chunkSize = 4096;

    explicit istream(int fd);
    explicit istream(std::string_view bytes);

    istream(istream&&) noexcept = default;
    istream& operator=(istream&&) noexcept = default;
    istream(const istream&) = delete;
    istream& operator=(const istream&) = delete;
    ~istream() = default;

    // The next byte (0..255) without consuming it, or endOfInput. Blocks only
    // when every buffered byte has been consumed.
    int peek();
    // Consumes the byte the last peek returned; nothing at end of input.
    void consume();
    // peek, then consume.
    int get();

    // The descriptor read, or -1 for a stream over bytes in memory.
    int descriptor() const { return fd_; }

  private:
    bool refill();

    int fd_;
    std::vector<unsigned char> buffer_;
    std::size_t next_ = 0;
    bool ended_ = false;
};

} // namespace quorvex
