#include "app/sweep_request.h"

#include "app/sweep_ratios.h"

namespace quorvex::app {

SweepRequestRead readSweepRequest(const OptionReader& options, std::uint32_t currentSecond) {
    SweepRequestRead request;
    SweepRequest& sweep = request.sweep;
    sweep.songs = static_cast<std::int32_t>(options.requiredWholeNumber("songs", 1, countLimit));
    sweep.steps = static_cast<std::int32_t>(options.requiredWholeNumber("steps", 1, countLimit));
    request.perfectText = options.required("perfect");
    sweep.ratios = readSweepRatios(request.perfectText);
    sweep.seed = options.seedSecond(currentSecond);
    sweep.atLeast = options.scoreList();
    return request;
}

} // namespace quorvex::app
