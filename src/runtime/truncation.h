#pragma once

#include <cstdint>

namespace quorvex {

// Truncates an extended value toward zero to a signed 64-bit integer and keeps
// its low 32 bits. Values outside the 64-bit range (and NaN) give what the x87
// store gives there, the integer indefinite 0x8000000000000000, whose low word
// is 0.
inline std::int32_t truncateToInt(long double x) {
    constexpr long double limit = 0x1p63L;
    if (!(x > -limit - 1.0L && x < limit)) // also catches NaN
        return 0;
    const auto wide = static_cast<std::int64_t>(x);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

} // namespace quorvex
