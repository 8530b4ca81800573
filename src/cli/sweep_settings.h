#pragma once

#include <optional>
#include <string>

#include "cli/seeded_sweep.h"
#include "cli/simulate_settings.h"

namespace quorvex::cli {

// `quorvex sweep` as asked, every option read and checked.
struct SweepSettings {
    SweepRequest request;    // songs, steps, seed, ratios, thresholds
    std::string perfectText; // --perfect as given
    int threads = 1;         // 1..1024
    ReportFormat format = ReportFormat::text;
    std::string outputFile = "-";        // "-": standard output
    std::optional<std::string> plotFile; // the SVG plot, when asked
    bool quiet = false;                  // no progress line
};

} // namespace quorvex::cli
