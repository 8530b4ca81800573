#include "stats/student_t.h"

#include <cmath>
#include <limits>

namespace quorvex::stats {

namespace {

// The standard normal quantile at 0.975, to the precision of the format.
constexpr long double z975 = 1.959963984540054235524594430520551528L;

// Up to this many degrees of freedom the quantile is found from the exact
// distribution function; above it the asymptotic expansion is closer to the
// truth than 1e-13 relative, and its omitted terms shrink as df^-5.
constexpr std::int64_t exactLimit = 1000;

constexpr long double halfPi = 1.570796326794896619231321691639751442L;

// P(|T| <= sqrt(df) tan(theta)) for an integer df >= 1, theta in [0, pi/2]:
// the finite sums of Abramowitz and Stegun 26.7.3 (odd df) and 26.7.4 (even
// df). Every term is positive, so the sum loses nothing to cancellation.
long double centralShare(std::int64_t df, long double theta) {
    const long double s = std::sin(theta);
    const long double c = std::cos(theta);
    const long double cc = c * c;
    // 1 + f_1 c^2 + f_1 f_2 c^4 + ..., each factor j / (j + 1) with j running
    // over 2, 4, ..., df - 3 (odd df) or 1, 3, ..., df - 3 (even df).
    long double term = 1.0L;
    long double sum = 1.0L;
    for (std::int64_t j = df % 2 == 1 ? 2 : 1; j <= df - 3; j += 2) {
        term *= cc * static_cast<long double>(j) / static_cast<long double>(j + 1);
        sum += term;
    }
    if (df % 2 == 0)
        return s * sum;
    if (df == 1)
        return theta / halfPi;
    return (theta + s * c * sum) / halfPi;
}

// Bisects theta in [0, pi/2] until the halves no longer differ (the share
// rises strictly with theta), then t = sqrt(df) tan(theta).
long double exactQuantile(std::int64_t df) {
    long double below = 0.0L;
    long double above = halfPi;
    for (;;) {
        const long double middle = below + (above - below) / 2.0L;
        if (middle <= below || middle >= above)
            break;
        (centralShare(df, middle) < 0.95L ? below : above) = middle;
    }
    const long double theta = below + (above - below) / 2.0L;
    return std::sqrt(static_cast<long double>(df)) * std::tan(theta);
}

// The Cornish-Fisher expansion of the quantile in powers of 1/df, to the
// fourth (Abramowitz and Stegun 26.7.5).
long double asymptoticQuantile(std::int64_t df) {
    const long double x = z975;
    const long double x2 = x * x;
    const long double g1 = (x2 + 1.0L) * x / 4.0L;
    const long double g2 = ((5.0L * x2 + 16.0L) * x2 + 3.0L) * x / 96.0L;
    const long double g3 = (((3.0L * x2 + 19.0L) * x2 + 17.0L) * x2 - 15.0L) * x / 384.0L;
    const long double g4 =
        ((((79.0L * x2 + 776.0L) * x2 + 1482.0L) * x2 - 1920.0L) * x2 - 945.0L) * x / 92160.0L;
    const long double v = 1.0L / static_cast<long double>(df);
    return x + v * (g1 + v * (g2 + v * (g3 + v * g4)));
}

} // namespace

double studentT975(std::int64_t degreesOfFreedom) {
    if (degreesOfFreedom < 1)
        return std::numeric_limits<double>::quiet_NaN();
    if (degreesOfFreedom <= exactLimit)
        return static_cast<double>(exactQuantile(degreesOfFreedom));
    return static_cast<double>(asymptoticQuantile(degreesOfFreedom));
}

} // namespace quorvex::stats
