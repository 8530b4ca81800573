#include "runtime/numeric_mode.h"

namespace quorvex {

namespace {
// Precision control 11 (64-bit significand), rounding control 00 (nearest),
// all six exception masks set.
constexpr unsigned short extendedNearestAllMasked = 0x037F;
} // namespace

void setNumericMode() {
    unsigned short word = extendedNearestAllMasked;
    asm volatile("fldcw %0" : : "m"(word));
}

} // namespace quorvex
