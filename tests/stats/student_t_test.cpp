// The 0.975 quantile of Student's t against published tables, closed forms
// and a quadrature of the density that shares nothing with the code.
#include "stats/student_t.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace quorvex::stats {
namespace {

constexpr long double pi = 3.141592653589793238462643383279502884L;

TEST(StudentT975, MatchesPublishedTablesToTheirPrintedDigits) {
    struct Row {
        std::int64_t df;
        double t;
        double lastPlace;
    };
    // R's qt(0.975, df) and the tables that print nine significant digits.
    const Row table[] = {
        {1, 12.7062047, 1e-7},  {2, 4.30265273, 1e-8},   {5, 2.57058184, 1e-8},    {10, 2.22813885, 1e-8},
        {30, 2.04227246, 1e-8}, {100, 1.98397152, 1e-8}, {1000, 1.96233908, 1e-8},
    };
    for (const Row& row : table)
        EXPECT_NEAR(studentT975(row.df), row.t, row.lastPlace / 2) << "df " << row.df;
}

TEST(StudentT975, MatchesTheClosedFormsOfOneAndTwoDegrees) {
    // df 1 is the Cauchy law: tan(pi (0.975 - 1/2)). df 2: F(t) = 1/2 + t / (2 sqrt(2 + t^2)),
    // so t = a sqrt(2 / (1 - a^2)) with a = 0.95.
    const long double cauchy = std::tan(0.475L * pi);
    const long double two = 0.95L * std::sqrt(2.0L / (1.0L - 0.95L * 0.95L));
    EXPECT_NEAR(studentT975(1), static_cast<double>(cauchy), 1e-15 * 12.7);
    EXPECT_NEAR(studentT975(2), static_cast<double>(two), 1e-15 * 4.3);
}

// P(|T| <= t) for df degrees of freedom by Simpson's rule in theta, where
// t = sqrt(df) tan(theta) turns the density into cos^(df-1)(theta) on
// (-pi/2, pi/2). The tail past cos^(df-1) < e^-70 is left out.
long double centralShareByQuadrature(std::int64_t df, long double t) {
    const long double v = static_cast<long double>(df);
    const auto density = [&](long double theta) {
        if (df == 1)
            return 1.0L; // cos^0, also at pi/2
        const long double s = std::sin(theta);
        return std::exp((v - 1.0L) * std::log1p(-s * s) / 2.0L);
    };
    const auto simpson = [&](long double to) {
        constexpr int intervals = 4000;
        const long double h = to / intervals;
        long double sum = density(0.0L) + density(to);
        for (int i = 1; i < intervals; ++i)
            sum += (i % 2 == 1 ? 4.0L : 2.0L) * density(h * i);
        return sum * h / 3.0L;
    };
    const long double reach = df > 1 ? std::min(pi / 2, std::sqrt(140.0L / (v - 1.0L))) : pi / 2;
    return simpson(std::atan(t / std::sqrt(v))) / simpson(reach);
}

TEST(StudentT975, IsWithinOnePartInTenToTheNineOfTheQuadrature) {
    // Both sides of the switch from the exact sums to the expansion (1000,
    // 1001), small odd and even df, and df far beyond any run.
    const std::int64_t degrees[] = {
        1,  2,   3,   4,    5,    6,    7,    8,      9,        15,         30,
        31, 101, 999, 1000, 1001, 1002, 5000, 100000, 10000000, 2147483646, std::int64_t{1} << 40};
    for (const std::int64_t df : degrees) {
        const long double t = studentT975(df);
        EXPECT_LT(centralShareByQuadrature(df, t * (1.0L - 1e-9L)), 0.95L) << "df " << df;
        EXPECT_GT(centralShareByQuadrature(df, t * (1.0L + 1e-9L)), 0.95L) << "df " << df;
    }
}

TEST(StudentT975, TendsToTheNormalQuantile) {
    // (z^3 + z) / (4 df) above z = 1.959963984540054: 1.2e-9 at df 2^31.
    EXPECT_NEAR(studentT975(std::int64_t{1} << 31), 1.959963984540054, 2e-9);
    EXPECT_GT(studentT975(std::int64_t{1} << 31), 1.959963984540054);
    EXPECT_NEAR(studentT975(std::int64_t{1} << 62), 1.959963984540054, 1e-15);
}

TEST(StudentT975, IsUndefinedBelowOneDegree) {
    for (const std::int64_t df :
         {std::int64_t{0}, std::int64_t{-1}, std::numeric_limits<std::int64_t>::min()})
        EXPECT_TRUE(std::isnan(studentT975(df))) << "df " << df;
}

} // namespace
} // namespace quorvex::stats
