#pragma once

// The parts of the json documents that several of them hold, built with
// nlohmann's ordered json so that keys keep the order they are given in.
// For the writers only: nothing outside src/output sees nlohmann.

#include <nlohmann/json.hpp>

#include "output/simulation_record.h"
#include "stats/proportion.h"
#include "stats/score_summary.h"

namespace quorvex::output {

using Json = nlohmann::ordered_json;

// {"low", "high"}
Json intervalJson(const stats::Interval& interval);

// Adds a proportion's "count", "total", "share" and "ci95" to `object`.
void addProportion(Json& object, const stats::Proportion& p);

// {"count", "total", "share", "ci95": {"low", "high"}}
Json proportionJson(const stats::Proportion& p);

// Every field of a score summary, as simulate's "statistics" (json_report.h).
Json statisticsJson(const stats::ScoreSummary& s);

// The census and the exact values of a run with their agreement, as
// simulate's "exact" (json_report.h).
Json exactJson(const SimulationRecord& run);

} // namespace quorvex::output
