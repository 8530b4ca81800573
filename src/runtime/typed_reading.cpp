#include "runtime/typed_reading.h"

#include <cfloat>
#include <cstdint>
#include <limits>

#include "runtime/output_stream.h"

namespace quorvex {

namespace {

bool isWhiteSpace(int c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20;
}

bool isDecimalDigit(int c) {
    return c >= '0' && c <= '9';
}

// The value of c as a digit of the base, or -1.
int digitValue(int c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// The prefix step of every numeric read. False when the read stops here.
bool prefixStep(istream& in) {
    // 1. A stream already marked: failure, and nothing else happens.
    if (in.rdstate() != 0) {
        in.setstate(ios::failbit);
        return false;
    }
    // 2. The tied output stream is flushed before any character is looked at.
    if (in.tie() != nullptr)
        in.tie()->flush();
    // 3. Leading white space is skipped when skipws is set; the end of input
    //    there fails the read.
    if ((in.flags() & ios::skipws) != 0) {
        int c = in.peek();
        while (isWhiteSpace(c)) {
            in.consume();
            c = in.peek();
        }
        if (c == istream::endOfInput) {
            in.setstate(ios::eofbit | ios::failbit);
            return false;
        }
    }
    // 4. The read goes on with the next character, not yet consumed.
    return true;
}

// A "-" or "+" is consumed; true for a minus.
bool readSign(istream& in) {
    const int c = in.peek();
    if (c == '-' || c == '+') {
        in.consume();
        return c == '-';
    }
    return false;
}

// Digits of the base, accumulated modulo 2^32. When no digit stands at the
// start the value is 0, nothing is consumed, and the state records why.
std::uint32_t readDigits(istream& in, unsigned base) {
    int digit = digitValue(in.peek(), base);
    if (digit < 0) {
        if (in.peek() != istream::endOfInput)
            in.setstate(ios::failbit);
        else if (base == 10)
            in.setstate(ios::eofbit | ios::failbit);
        else
            in.setstate(ios::eofbit | ios::badbit);
        return 0;
    }
    std::uint32_t value = 0;
    do {
        value = value * base + static_cast<std::uint32_t>(digit);
        in.consume();
        digit = digitValue(in.peek(), base);
    } while (digit >= 0);
    return value;
}

// The largest finite double, M.
constexpr double largestDouble = DBL_MAX;

// The decimal exponents a double spans: 10^308 is the largest power of ten it
// holds, 10^-307 the smallest normal one. A number is scaled by the double
// 10^|n| of its decimal exponent n, so n beyond either end is out of range.
constexpr int largestDecimalExponent = DBL_MAX_10_EXP;
constexpr int smallestDecimalExponent = DBL_MIN_10_EXP;
static_assert(largestDecimalExponent == 308 && smallestDecimalExponent == -307);

// A number whose exponent reaches the smallest one is first scaled by
// 10^-preScaleExponent, half the largest exponent: its digits (a whole
// number, at least 1 when not 0) then stay a normal double, and the exponent left,
// n + preScaleExponent, is in range for every n down to -307 - 154 = -461.
// Below that a number reads as 0.0.
constexpr int preScaleExponent = 154;
static_assert(preScaleExponent == (largestDecimalExponent + 1) / 2);

// 10^-154 held with a 64-bit significand: the long double nearest to it.
constexpr long double preScale = 1e-154L;

// The decimal exponent is held to [-exponentCap, exponentCap], a hundred times
// the range a double spans: a number whose exponent reaches the cap reads as
// 0.0 or infinity whatever its true exponent, and the cap keeps the exponent's arithmetic
// inside an int however many digits are typed. The exponent part's digits
// are taken only while its value is below exponentCap / 10, so it ends at
// most at exponentCap - 1 = 30799.
constexpr int exponentCap = 30800;
static_assert(exponentCap >= 100 * largestDecimalExponent);

// Past this many fraction digits the decimal exponent stops counting down.
// Any exponent below it is still below -exponentCap after the exponent part
// adds at most exponentCap - 1, so every such number reads as 0.0 either
// way; the floor only keeps the count inside an int.
constexpr int fractionExponentFloor = -1000000;
static_assert(fractionExponentFloor + exponentCap - 1 < -exponentCap);

// x <- x * 10 + digit, formed in extended precision, stored as a double.
// Past the double range it saturates to +infinity.
double accumulateDigit(double x, int digit) {
    return static_cast<double>(static_cast<long double>(x) * 10.0L + static_cast<long double>(digit));
}

double extendedProduct(double a, double b) {
    return static_cast<double>(static_cast<long double>(a) * static_cast<long double>(b));
}

double extendedQuotient(double a, double b) {
    return static_cast<double>(static_cast<long double>(a) / static_cast<long double>(b));
}

// M / divisor < limit, the quotient held in extended precision.
bool exceedsLargest(double divisor, double limit) {
    return static_cast<long double>(largestDouble) / static_cast<long double>(divisor) <
           static_cast<long double>(limit);
}

} // namespace

istream& readLong(istream& in, std::int32_t& target) {
    // 1. The prefix step every numeric read shares (prefixStep).
    if (!prefixStep(in))
        return in;
    // 2. Sign; nothing may stand between it and the digits.
    const bool minus = readSign(in);
    // 3. The digits, in the base the flags ask for; with none, in the base
    //    the digits' own prefix says ("0x": 16, "0": 8, else 10).
    std::uint32_t value = 0;
    const ios::fmtflags flags = in.flags();
    if ((flags & ios::hex) != 0) {
        value = readDigits(in, 16);
    } else if ((flags & ios::oct) != 0) {
        value = readDigits(in, 8);
    } else if ((flags & ios::dec) != 0 || in.peek() != '0') {
        value = readDigits(in, 10);
    } else {
        in.consume(); // the "0"
        const int c = in.peek();
        if (c == 'x' || c == 'X') {
            in.consume();
            value = readDigits(in, 16);
        } else if (c >= '0' && c <= '7') {
            value = readDigits(in, 8);
        }
        // Anything else, end of input included: the value is 0, no state bit.
    }
    // 4. The store, also for a failed conversion: the value modulo 2^32.
    const std::uint32_t stored = minus ? 0u - value : value;
    target = static_cast<std::int32_t>(stored);
    return in;
}

istream& readInt(istream& in, std::int32_t& target) {
    std::int32_t temporary = 0;
    readLong(in, temporary);
    if (!in.inError())
        target = temporary;
    return in;
}

istream& readReal(istream& in, double& target) {
    // 1. The prefix step every numeric read shares (prefixStep).
    if (!prefixStep(in))
        return in;
    // 2. Sign.
    const bool minus = readSign(in);
    // 3. From here on the target is written, 0.0 unless a number is found.
    double x = 0.0;
    int n = 0;
    bool digitSeen = false;

    // 4. Integer digits, accumulated into x.
    while (isDecimalDigit(in.peek())) {
        x = accumulateDigit(x, in.peek() - '0');
        digitSeen = true;
        in.consume();
    }
    // 5. Fraction digits, accumulated into x as well, each lowering the
    //    decimal exponent n by one; the "." is consumed even when no digit
    //    follows.
    if (in.peek() == '.') {
        in.consume();
        while (isDecimalDigit(in.peek())) {
            x = accumulateDigit(x, in.peek() - '0');
            if (n > fractionExponentFloor)
                --n;
            digitSeen = true;
            in.consume();
        }
    }
    // 6. Exponent part, added to n; an "e" with no digits after it (past a
    //    sign) makes the whole read find no number.
    if (digitSeen && (in.peek() == 'e' || in.peek() == 'E')) {
        in.consume();
        int c = in.peek();
        bool failed = !(isDecimalDigit(c) || c == '-' || c == '+');
        bool exponentMinus = false;
        if (!failed) {
            exponentMinus = readSign(in);
            c = in.peek();
            failed = !isDecimalDigit(c);
        }
        if (failed) {
            x = 0.0;
            digitSeen = false;
        } else {
            int e = 0;
            while (isDecimalDigit(c)) {
                if (e < exponentCap / 10)
                    e = e * 10 + (c - '0');
                in.consume();
                c = in.peek();
            }
            n = exponentMinus ? n - e : n + e;
            if (n < -exponentCap)
                n = -exponentCap;
            else if (n > exponentCap)
                n = exponentCap;
        }
    }
    // 7. Range, on n alone: 0.0 below it, infinity above it.
    bool rangeError = false;
    if (n <= smallestDecimalExponent) {
        x = static_cast<double>(static_cast<long double>(x) * preScale);
        n += preScaleExponent;
    }
    if (n < smallestDecimalExponent) {
        x = 0.0;
        rangeError = true;
    } else if (n > largestDecimalExponent) {
        x = std::numeric_limits<double>::infinity();
        rangeError = true;
    }
    // 8. Scaling by p = 10^|n|, formed by repeated squaring from the lowest bit.
    if (digitSeen && !rangeError) {
        unsigned bits = static_cast<unsigned>(n < 0 ? -n : n);
        double p = 1.0;
        double q = 10.0;
        bool overflow = false;
        while (bits != 0 && !overflow) {
            if ((bits & 1u) != 0) {
                if (exceedsLargest(p, q))
                    overflow = true;
                else
                    p = extendedProduct(p, q);
            }
            bits >>= 1;
            if (bits != 0 && !overflow) {
                if (exceedsLargest(q, q))
                    overflow = true;
                else
                    q = extendedProduct(q, q);
            }
        }
        if (!overflow && p != 1.0) {
            if (n < 0)
                x = extendedQuotient(x, p);
            else if (x > 1.0 && exceedsLargest(x, p))
                overflow = true;
            else
                x = extendedProduct(x, p);
        }
        if (overflow)
            x = n < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    }
    // 9. The store: the signed value, or 0.0 and a failure (with eofbit at
    //    the end of input) when no number was found.
    if (digitSeen) {
        target = minus ? -x : x;
    } else {
        target = 0.0;
        in.setstate(in.peek() == istream::endOfInput ? ios::eofbit | ios::failbit : ios::failbit);
    }
    return in;
}

} // namespace quorvex
