#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/seeded_run.h"

namespace quorvex::cli {

enum class ReportFormat { text, csv, json };

// `quorvex simulate` as asked, every option read and checked.
struct SimulateSettings {
    RunRequest request;           // songs, steps, ratio, seed
    std::string perfectRatioText; // the ratio as written, for the report
    int threads = 1;              // 1..1024
    ReportFormat format = ReportFormat::text;
    std::string outputFile = "-";           // "-": standard output
    std::optional<std::string> resultsFile; // the dialogue's results table, when asked
    std::optional<std::string> plotFile;    // the SVG histogram, when asked
    std::vector<std::int32_t> atLeast;      // P(score >= X) for each X, first occurrences in order
    bool quiet = false;                     // no progress line
};

} // namespace quorvex::cli
