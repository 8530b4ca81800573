#pragma once

#include <cstdint>
#include <string>

#include "output/target_record.h"

namespace quorvex::cli {

enum class TargetFormat { text, json };

// `quorvex target` as asked, every option read and checked.
struct TargetSettings {
    output::TargetGoal goal;
    std::int32_t steps = 0;
    std::int32_t songs = 100000; // played at each ratio tried
    std::uint32_t seed = 0;
    double resolution = 1e-4; // score and mean goals: the bracket's width at most
    std::string resolutionText = "0.0001";
    int threads = 1; // 1..1024
    TargetFormat format = TargetFormat::text;
    std::string outputFile = "-"; // "-": standard output
    bool quiet = false;           // no progress line
};

} // namespace quorvex::cli
