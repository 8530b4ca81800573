#include "stats/proportion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvex::stats {

namespace {

// The standard normal quantile at 0.975.
constexpr double z95 = 1.959963984540054;

} // namespace

Proportion proportionOf(std::int64_t count, std::int64_t total) {
    if (total <= 0)
        return {count, total, std::numeric_limits<double>::quiet_NaN(), {0.0, 1.0}};
    // Wilson (1927): the p whose normal test against k/n sits exactly at z.
    const double n = static_cast<double>(total);
    const double share = static_cast<double>(count) / n;
    const double zz = z95 * z95;
    const double scale = 1.0 + zz / n;
    const double centre = (share + zz / (2.0 * n)) / scale;
    const double half = z95 / scale * std::sqrt(share * (1.0 - share) / n + zz / (4.0 * n * n));
    // The ends are exactly 0 and 1 at k = 0 and k = n, where rounding could
    // otherwise leave a hair outside [0, 1].
    const double low = count <= 0 ? 0.0 : std::max(0.0, centre - half);
    const double high = count >= total ? 1.0 : std::min(1.0, centre + half);
    return {count, total, share, {low, high}};
}

} // namespace quorvex::stats
