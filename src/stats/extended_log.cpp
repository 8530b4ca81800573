#include "stats/extended_log.h"

namespace quorvex::stats {

namespace {

// ln 2 = 0.B17217F7D1CF79AB C9E3...(hex): rounded up to a 64-bit significand.
constexpr long double ln2 = 0xB17217F7D1CF79ACp-64L;

} // namespace

long double naturalLog(long double x) {
    // FYL2X: st(1) <- st(1) * log2(st(0)), then pops, leaving the result on top.
    long double result;
    asm("fyl2x" : "=t"(result) : "0"(x), "u"(ln2) : "st(1)");
    return result;
}

long double naturalLogOnePlus(long double x) {
    // FYL2XP1: st(1) <- st(1) * log2(st(0) + 1), then pops.
    long double result;
    asm("fyl2xp1" : "=t"(result) : "0"(x), "u"(ln2) : "st(1)");
    return result;
}

} // namespace quorvex::stats
