#include "output/format_registry.h"

#include <algorithm>
#include <stdexcept>

#include "output/classic_results.h"
#include "output/csv_report.h"
#include "output/json_report.h"
#include "output/svg_histogram.h"
#include "output/sweep_csv_report.h"
#include "output/sweep_json_report.h"
#include "output/sweep_svg_plot.h"
#include "output/sweep_text_report.h"
#include "output/target_json.h"
#include "output/target_text.h"
#include "output/text_report.h"

namespace quorvex::output {

namespace {

struct FormatFacts {
    Format format;
    std::string_view name;
    std::string_view contentType;
    std::string_view extension;
};

constexpr FormatFacts formatTable[] = {
    {Format::text, "text", "text/plain; charset=utf-8", "txt"},
    {Format::csv, "csv", "text/csv; charset=utf-8", "csv"},
    {Format::json, "json", "application/json", "json"},
    {Format::svg, "svg", "image/svg+xml", "svg"},
    {Format::results, "results", "text/plain; charset=utf-8", "txt"},
};

const FormatFacts& factsOf(Format format) {
    for (const FormatFacts& facts : formatTable)
        if (facts.format == format)
            return facts;
    return formatTable[0]; // not reached: every format stands in the table
}

constexpr Format simulationList[] = {Format::text, Format::csv, Format::json, Format::svg, Format::results};
constexpr Format sweepList[] = {Format::text, Format::csv, Format::json, Format::svg};
constexpr Format targetList[] = {Format::text, Format::json};

// One writer per format a record has; null where it has none.
template <typename Record> struct Writers {
    std::string (*text)(const Record&, const TextStyle&);
    std::string (*csv)(const Record&);
    std::string (*json)(const Record&);
    std::string (*svg)(const Record&);
    std::string (*results)(const Record&);
};

// The one switch over formats.
template <typename Record>
std::string renderWith(const Writers<Record>& writers, const Record& record, Format format,
                       const TextStyle& style) {
    std::string (*writer)(const Record&) = nullptr;
    switch (format) {
    case Format::text:
        if (writers.text != nullptr)
            return writers.text(record, style);
        break;
    case Format::csv:
        writer = writers.csv;
        break;
    case Format::json:
        writer = writers.json;
        break;
    case Format::svg:
        writer = writers.svg;
        break;
    case Format::results:
        writer = writers.results;
        break;
    }
    if (writer == nullptr)
        throw std::invalid_argument("this record has no " + std::string(formatName(format)) + " format");
    return writer(record);
}

} // namespace

std::string_view formatName(Format format) {
    return factsOf(format).name;
}

std::optional<Format> formatNamed(std::string_view name) {
    for (const FormatFacts& facts : formatTable)
        if (facts.name == name)
            return facts.format;
    return std::nullopt;
}

std::string_view contentType(Format format) {
    return factsOf(format).contentType;
}

std::string_view fileExtension(Format format) {
    return factsOf(format).extension;
}

std::span<const Format> simulationFormats() {
    return simulationList;
}

std::span<const Format> sweepFormats() {
    return sweepList;
}

std::span<const Format> targetFormats() {
    return targetList;
}

std::string render(const SimulationRecord& run, Format format, const TextStyle& style) {
    static constexpr Writers<SimulationRecord> writers{simulationText, simulationCsv, simulationJson,
                                                       histogramSvg, classicResultsText};
    return renderWith(writers, run, format, style);
}

std::string render(const SweepRecord& sweep, Format format, const TextStyle& style) {
    static constexpr Writers<SweepRecord> writers{sweepText, sweepCsv, sweepJson, sweepSvg, nullptr};
    return renderWith(writers, sweep, format, style);
}

std::string render(const TargetRecord& target, Format format, const TextStyle& style) {
    static constexpr Writers<TargetRecord> writers{targetText, nullptr, targetJson, nullptr, nullptr};
    return renderWith(writers, target, format, style);
}

} // namespace quorvex::output
