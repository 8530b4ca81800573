// The fact the draw intervals rest on, over all 10^7 draw indices: |tan(x(t))|
// with the model's u, x and tangent does not increase up to t = 5000000 and
// does not decrease from there on. w is that magnitude divided by
// |deviationScale| and rounded (to extended, then to double), and both keep a
// weak order, so for any ratio {t : w(t) <= limit} is one interval.
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "runtime/tangent.h"
#include "sim/engine/draw_thresholds.h"
#include "sim/engine/engine.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

long double tangentMagnitude(std::int32_t t) {
    const double u = uniformFromIndex(t);
    const double x =
        static_cast<double>((static_cast<long double>(u) - 0.5L) * static_cast<long double>(modelPi));
    return std::fabs(quorvex::tan(x));
}

struct Breaks {
    std::int64_t count = 0;
    std::int32_t first = -1;
};

// Pairs (t - 1, t) for t in (begin, end] out of order.
Breaks checkRange(std::int32_t begin, std::int32_t end) {
    setNumericMode();
    Breaks breaks;
    long double previous = tangentMagnitude(begin);
    for (std::int32_t t = begin + 1; t <= end; ++t) {
        const long double current = tangentMagnitude(t);
        const bool ordered = t <= centreDrawIndex ? current <= previous : current >= previous;
        if (!ordered && breaks.count++ == 0)
            breaks.first = t;
        previous = current;
    }
    return breaks;
}

TEST(DrawIntervalsExhaustive, TangentMagnitudeFallsToTheCentreAndRisesAfter) {
    const int threads = std::max(1, affinityThreadCount());
    std::vector<Breaks> parts(static_cast<std::size_t>(threads));
    std::vector<std::thread> pool;
    for (int k = 0; k < threads; ++k) {
        // Overlapping by one index, so that every neighbouring pair is compared.
        const auto begin = static_cast<std::int32_t>(std::int64_t{drawModulus - 1} * k / threads);
        const auto end = static_cast<std::int32_t>(std::int64_t{drawModulus - 1} * (k + 1) / threads);
        pool.emplace_back(
            [&, k, begin, end] { parts[static_cast<std::size_t>(k)] = checkRange(begin, end); });
    }
    for (std::thread& thread : pool)
        thread.join();
    for (const Breaks& part : parts)
        EXPECT_EQ(part.count, 0) << "first out-of-order draw index " << part.first;
    setNumericMode();
    EXPECT_EQ(tangentMagnitude(centreDrawIndex), 0.0L);
}

} // namespace
} // namespace quorvex
