#include "stats/quotient_comparison.h"

#include <bit>
#include <cmath>

namespace quorvex::stats {

bool quotientAtLeast(std::int64_t numerator, std::int64_t denominator, double value) {
    if (value == 0)
        return true;
    if (numerator == 0)
        return false;
    // 1. value = m 2^(x - 53) with m a whole number in [2^52, 2^53), so that
    //    2^(x - 1) <= value < 2^x.
    int x = 0;
    const double fraction = std::frexp(value, &x);
    const auto m = static_cast<unsigned __int128>(std::ldexp(fraction, 53));
    // 2. With d the difference of the bit lengths, 2^(d - 1) < n / q < 2^(d + 1):
    //    that settles every x but d and d + 1.
    const int d = std::bit_width(static_cast<std::uint64_t>(numerator)) -
                  std::bit_width(static_cast<std::uint64_t>(denominator));
    if (d - 1 >= x)
        return true;
    if (d + 1 <= x - 1)
        return false;
    // 3. n 2^(53 - x) against m q, in 128 bits: for those two x neither side
    //    needs more than 117.
    const auto n = static_cast<unsigned __int128>(numerator);
    const auto q = static_cast<unsigned __int128>(denominator);
    const int shift = 53 - x;
    if (shift >= 0)
        return (n << shift) >= m * q;
    return n >= ((m * q) << -shift);
}

} // namespace quorvex::stats
