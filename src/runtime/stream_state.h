#pragma once

#include <cstdint>

namespace quorvex {

class ostream;

// What every stream shares: the state bits, the format flags and the tie.
// The state only ever gains bits; nothing in the program clears it, and a
// stream with a state bit set skips the operations that check it.
class ios {
  public:
    using iostate = unsigned;
    using fmtflags = std::uint32_t;

    static constexpr iostate eofbit = 0x01;   // input ended where a character was expected
    static constexpr iostate failbit = 0x02;  // no number, or a read on a stream already marked
    static constexpr iostate badbit = 0x04;   // a write failed, or input ended right after "0x"
    static constexpr iostate hardfail = 0x80; // never set by the console layer, kept like the others

    static constexpr fmtflags skipws = 0x0001;  // numeric reads skip leading white space
    static constexpr fmtflags dec = 0x0010;     // integers in decimal, whatever their prefix
    static constexpr fmtflags oct = 0x0020;     // integers in octal
    static constexpr fmtflags hex = 0x0040;     // integers in hexadecimal
    static constexpr fmtflags unitbuf = 0x2000; // flush after every text written

    iostate rdstate() const { return state_; }
    void setstate(iostate bits) { state_ |= bits; }

    // Failure, bad or hard failure. End-of-file alone is not an error.
    bool inError() const { return (state_ & (failbit | badbit | hardfail)) != 0; }

    fmtflags flags() const { return flags_; }
    void setf(fmtflags bits) { flags_ |= bits; }
    void unsetf(fmtflags bits) { flags_ &= ~bits; }

    // The output stream flushed before every numeric read from this stream.
    ostream* tie() const { return tie_; }
    void tie(ostream* out) { tie_ = out; }

  protected:
    ios() = default;
    ios(const ios&) = default;
    ios& operator=(const ios&) = default;
    ~ios() = default;

  private:
    iostate state_ = 0;
    fmtflags flags_ = skipws;
    ostream* tie_ = nullptr;
};

} // namespace quorvex
