#include "sim/engine/kernel_constants.h"

#include <cmath>

#include "sim/engine/draw_thresholds.h"

namespace quorvex {

bool kernelsCoverRun(std::int32_t steps, const RunConstants& constants) {
    const double absScale = std::fabs(constants.deviationScale);
    if (steps < 1 || !(absScale >= 1e-250 && absScale <= 1e250))
        return false;
    const long double whole = std::floor(constants.stepValue);
    return constants.stepValue - whole <= 1.0L - static_cast<long double>(carryBand);
}

std::optional<KernelConstants> kernelConstantsFor(std::int32_t steps, const RunConstants& constants) {
    if (!kernelsCoverRun(steps, constants))
        return std::nullopt;
    const double absScale = std::fabs(constants.deviationScale);
    const long double whole = std::floor(constants.stepValue);
    const DrawInterval marvelous = drawsWithDeviationAtMost(0.25, constants);
    const DrawInterval aaa = drawsWithDeviationAtMost(1.0, constants);
    return KernelConstants{absScale,
                           static_cast<double>(constants.stepValue) * 0.25,
                           static_cast<std::int64_t>(whole),
                           static_cast<double>(marvelous.low),
                           static_cast<double>(marvelous.high),
                           static_cast<double>(aaa.low),
                           static_cast<double>(aaa.high)};
}

} // namespace quorvex
