// Arbitrary bytes typed at the three prompts: the song count (readLong), the
// step count (readInt) and the perfect ratio (readReal), in the dialogue's
// order, on a stream over the bytes in memory.
//
// Checked after every read, against the stream as it stood before it:
// - the state only gains bits, and only end-of-file, failure and bad;
// - a read on a stream with any state bit gains failure and nothing else,
//   consumes nothing and leaves its target as it was;
// - readInt leaves its target as it was when the stream ends in error;
// - a read consumes from the front only: what is left is a suffix of what
//   was left before;
// - a real read that succeeds agrees with the C library's strtod on the text
//   it consumed, within the rounding that digit accumulation and powers of
//   ten by repeated squaring allow (one double rounding per digit and per
//   product), for results well inside the normal double range; and where the
//   decimal exponent counted from the text (exponent less fraction digits)
//   lies below the reader's range even after its 1e-154 step, the value is
//   0, whatever the digits are worth.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/input_stream.h"
#include "runtime/typed_reading.h"

namespace {

using quorvex::ios;
using quorvex::istream;

// Targets start with values no read stores by accident (a failed readLong
// stores 0, a failed readReal 0.0).
constexpr std::int32_t untouchedInteger = 0x5A5A5A5A;
constexpr double untouchedReal = -12345.678;

struct AfterReads {
    ios::iostate state = 0;
    std::int32_t songs = untouchedInteger;
    std::int32_t steps = untouchedInteger;
    double ratio = untouchedReal;
    std::string unread;
};

// The first `reads` reads of the dialogue's three, on a fresh stream.
AfterReads readFirst(std::string_view bytes, int reads) {
    istream in(bytes);
    AfterReads after;
    if (reads >= 1)
        quorvex::readLong(in, after.songs);
    if (reads >= 2)
        quorvex::readInt(in, after.steps);
    if (reads >= 3)
        quorvex::readReal(in, after.ratio);
    after.state = in.rdstate();
    for (int c = in.get(); c != istream::endOfInput; c = in.get())
        after.unread += static_cast<char>(c);
    return after;
}

[[noreturn]] void violated(const char* what, int read) {
    std::fprintf(stderr, "invariant broken at read %d: %s\n", read, what);
    std::abort();
}

void check(bool holds, const char* what, int read) {
    if (!holds)
        violated(what, read);
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The text a read consumed, without the white space skipped before it.
std::string consumedToken(const AfterReads& before, const AfterReads& after) {
    std::string token = before.unread.substr(0, before.unread.size() - after.unread.size());
    const std::size_t start = token.find_first_not_of("\t\n\v\f\r ");
    return start == std::string::npos ? std::string() : token.substr(start);
}

// The decimal exponent the reader forms from a token it accepted: the
// exponent's digits (those met from 3080 on ignored), less one for each
// fraction digit, limited to +-30800.
long decimalExponentOf(const std::string& token) {
    std::size_t i = token.find_first_not_of("+-");
    long fractionDigits = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
    }
    if (i < token.size() && token[i] == '.')
        for (++i; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
            ++fractionDigits;
    long exponent = 0;
    bool minus = false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            minus = token[i++] == '-';
        for (; i < token.size(); ++i)
            if (exponent < 3080)
                exponent = exponent * 10 + (token[i] - '0');
    }
    const long n = (minus ? -exponent : exponent) - fractionDigits;
    return n < -30800 ? -30800 : n > 30800 ? 30800 : n;
}

void checkRealAgainstLibrary(const std::string& token, double value) {
    long n = decimalExponentOf(token);
    if (n <= -307)
        n += 154;
    if (n < -307) {
        if (value != 0.0)
            violated("a real below the range limits did not read as 0", 3);
        return;
    }
    if (!std::isfinite(value))
        return; // saturated digits and range errors are the reader's own rules
    const double library = std::strtod(token.c_str(), nullptr);
    if (!(std::fabs(library) >= 1e-290 && std::fabs(library) <= 1e300))
        return; // near the ends of the range the 1e-154 step and subnormals decide
    // One rounding to a double per accumulated digit and at most 31 per power
    // of ten and final scaling, each within half a double unit, relative.
    const double allowed = (static_cast<double>(token.size()) + 40.0) * 0x1p-53;
    if (!(std::fabs(value - library) <= allowed * std::fabs(library))) {
        std::fprintf(stderr, "\"%s\" read as %a, strtod %a\n", token.c_str(), value, library);
        violated("a real read disagrees with strtod beyond the reader's rounding", 3);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AfterReads before = readFirst(bytes, 0);
    for (int read = 1; read <= 3; ++read) {
        const AfterReads after = readFirst(bytes, read);
        check((after.state & before.state) == before.state, "a state bit was cleared", read);
        check((after.state & ~(ios::eofbit | ios::failbit | ios::badbit)) == 0, "an unknown state bit", read);
        check(before.unread.size() >= after.unread.size() &&
                  before.unread.compare(before.unread.size() - after.unread.size(), std::string::npos,
                                        after.unread) == 0,
              "what is left is not what was left before, less a front part", read);
        const bool skipped = before.state != 0;
        if (skipped) {
            check(after.state == (before.state | ios::failbit), "a skipped read changed more than failure",
                  read);
            check(after.unread == before.unread, "a read on a marked stream consumed input", read);
        }
        switch (read) {
        case 1:
            if (skipped)
                check(after.songs == before.songs, "a skipped readLong wrote its target", read);
            break;
        case 2:
            if (skipped || (after.state & (ios::failbit | ios::badbit)) != 0)
                check(after.steps == before.steps, "readInt wrote its target although in error", read);
            break;
        case 3:
            if (skipped)
                check(sameBits(after.ratio, before.ratio), "a skipped readReal wrote its target", read);
            else if ((after.state & ~ios::eofbit) == 0)
                checkRealAgainstLibrary(consumedToken(before, after), after.ratio);
            break;
        }
        before = after;
    }
    return 0;
}
