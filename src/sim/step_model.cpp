#include "sim/step_model.h"

#include <cmath>

#include "runtime/random_source.h"
#include "runtime/tangent.h"
#include "runtime/truncation.h"

namespace quorvex {

namespace {

// One generator step on the caller's state, as nextRandom takes one on the
// process-wide state.
std::int32_t nextOutput(std::uint64_t& state) {
    state = stepRandomState(state);
    return randomOutput(state);
}

} // namespace

RunConstantsOutcome deriveRunConstants(std::int32_t steps, double perfectRatio) {
    RunConstantsOutcome outcome{};
    // pi * 0.5 * ratio is formed in extended precision, then rounded to the
    // double that the tangent takes.
    const long double angle =
        static_cast<long double>(modelPi) * 0.5L * static_cast<long double>(perfectRatio);
    outcome.constants.deviationScale = static_cast<double>(quorvex::tan(static_cast<double>(angle)));
    if (steps == 0) {
        outcome.fault = ModelFault::zeroStepCount;
        return outcome;
    }
    outcome.constants.stepValue = 100000000.0L / static_cast<long double>(steps);
    outcome.fault = ModelFault::none;
    return outcome;
}

bool deviationScaleUnusable(const RunConstants& constants) {
    return constants.deviationScale == 0.0 || std::isnan(constants.deviationScale);
}

StepJudgement judgeStep(std::int32_t t, const RunConstants& constants) {
    // 2. u = t * 1e-7 with both roundings.
    const double u = uniformFromIndex(t);
    // 3. x = (u - 0.5) * pi in extended, rounded to the tangent's double.
    const double x =
        static_cast<double>((static_cast<long double>(u) - 0.5L) * static_cast<long double>(modelPi));
    // 4. w = tan(x) / deviationScale in extended, stored as a double. A
    //    quotient beyond the double range becomes infinity here.
    double w = static_cast<double>(quorvex::tan(x) / static_cast<long double>(constants.deviationScale));
    // 5. Absolute deviation.
    if (!(w >= 0.0))
        w = 0.0 - w;
    return {w, !(w > 0.25), w > 1.0};
}

std::int32_t pointsAfterStep(std::int32_t points, const StepJudgement& step, const RunConstants& constants) {
    // 6.-7. The running total is truncated after every step.
    if (step.marvelous)
        return truncateToInt(static_cast<long double>(points) + constants.stepValue);
    const long double earned = constants.stepValue / (4.0L * static_cast<long double>(step.deviation));
    return truncateToInt(static_cast<long double>(points) + earned);
}

SongOutcome simulateSong(std::int32_t steps, const RunConstants& constants) {
    return simulateSongFrom(randomState, steps, constants);
}

SongOutcome simulateSongFrom(std::uint64_t& state, std::int32_t steps, const RunConstants& constants) {
    SongOutcome outcome{{0, 0, true}, ModelFault::none};
    if (steps <= 0)
        return outcome;
    if (deviationScaleUnusable(constants)) {
        outcome.fault = ModelFault::unusableDeviationScale;
        return outcome;
    }
    std::int32_t points = 0;
    std::int32_t marvelous = 0;
    bool aaa = true;
    for (std::int32_t step = 0; step < steps; ++step) {
        const StepJudgement judged = judgeStep(drawIndex(nextOutput(state)), constants);
        points = pointsAfterStep(points, judged, constants);
        if (judged.marvelous)
            ++marvelous;
        else if (judged.breaksAaa)
            aaa = false;
    }
    outcome.result = {points / scoreDivisor, marvelous, aaa};
    return outcome;
}

} // namespace quorvex
