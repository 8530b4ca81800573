#pragma once

#include <cstdint>
#include <string>

#include "app/option_reader.h"
#include "output/target_record.h"

namespace quorvex::app {

// What the options of target alone accept, as messages say it.
inline constexpr const char* chanceDomain = "a chance from 0 to 1";
inline constexpr const char* scoreDomain = "a whole number from 0 to 1000";
inline constexpr const char* meanDomain = "a mean score from 0 to 1000";
inline constexpr const char* resolutionDomain = "a ratio step in (0, 0.5]";

// `target` as asked: every option read and checked.
struct TargetRequest {
    output::TargetGoal goal;
    std::int32_t steps = 0;
    std::int32_t songs = 100000; // played at each ratio tried
    std::uint32_t seed = 0;
    double resolution = 1e-4; // score and mean goals: the bracket's width at most
    std::string resolutionText = "0.0001";
};

// Reads steps, the goal (exactly one: --aaa-chance, --score with --chance,
// or --mean), then resolution, which applies to the goal read, songs and
// seed; the first one wrong throws UsageError.
TargetRequest readTargetRequest(const OptionReader& options, std::uint32_t currentSecond);

} // namespace quorvex::app
