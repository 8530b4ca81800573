#include "sim/engine/step_code.h"

namespace quorvex {

StepOutcome applyStepCode(std::int32_t code, std::int32_t points, const RunConstants& constants) {
    if (stepcode::unsettled(code)) {
        const StepJudgement judged = judgeStep(stepcode::drawIndexOf(code), constants);
        return {pointsAfterStep(points, judged, constants), judged.marvelous,
                judged.breaksAaa && !judged.marvelous};
    }
    const auto bits = static_cast<std::uint32_t>(code);
    return {points + stepcode::increment(code), (bits & stepcode::marvelousBit) != 0,
            (bits & stepcode::breaksAaaBit) != 0};
}

} // namespace quorvex
