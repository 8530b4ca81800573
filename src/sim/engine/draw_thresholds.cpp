#include "sim/engine/draw_thresholds.h"

#include "runtime/random_source.h"

namespace quorvex {

DrawInterval drawsWithDeviationAtMost(double limit, const RunConstants& constants) {
    const auto within = [&](std::int32_t t) { return !(judgeStep(t, constants).deviation > limit); };
    // 1. The lowest index of [0, centre] within the limit: below it none is,
    //    from it on every one is. The centre always is.
    std::int32_t outside = -1, inside = centreDrawIndex;
    while (inside - outside > 1) {
        const std::int32_t middle = outside + (inside - outside) / 2;
        (within(middle) ? inside : outside) = middle;
    }
    const std::int32_t low = inside;
    // 2. The highest index of [centre, 9999999] within the limit, likewise.
    inside = centreDrawIndex;
    outside = drawModulus;
    while (outside - inside > 1) {
        const std::int32_t middle = inside + (outside - inside) / 2;
        (within(middle) ? inside : outside) = middle;
    }
    return {low, inside};
}

} // namespace quorvex
