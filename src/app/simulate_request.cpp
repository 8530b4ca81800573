#include "app/simulate_request.h"

#include <optional>

#include "app/option_values.h"

namespace quorvex::app {

SimulateRequest readSimulateRequest(const OptionReader& options, std::uint32_t currentSecond) {
    SimulateRequest request;
    request.run.songs = static_cast<std::int32_t>(options.requiredWholeNumber("songs", 1, countLimit));
    request.run.steps = static_cast<std::int32_t>(options.requiredWholeNumber("steps", 1, countLimit));
    request.perfectRatioText = options.required("perfect");
    const std::optional<double> ratio = readPerfectRatio(request.perfectRatioText);
    if (!ratio)
        options.refuse("perfect", request.perfectRatioText);
    request.run.perfectRatio = *ratio;
    request.run.seed = options.seedSecond(currentSecond);
    request.atLeast = options.scoreList();
    return request;
}

} // namespace quorvex::app
