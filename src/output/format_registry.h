#pragma once

// Every format a command's record renders to, in one place: the formats'
// names and media types, which formats each record has, and the one
// function per record that renders it to a format. The faces look formats
// up here; none keeps a switch of its own.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "output/simulation_record.h"
#include "output/sweep_record.h"
#include "output/target_record.h"

namespace quorvex::output {

enum class Format {
    text,    // the report for people (80 columns unless a terminal says otherwise)
    csv,     // the figures as a table
    json,    // the figures for programs
    svg,     // a plot
    results, // the dialogue's results table, byte for byte
};

std::string_view formatName(Format format);               // "text", "csv", "json", "svg", "results"
std::optional<Format> formatNamed(std::string_view name); // nothing for a name not above
std::string_view contentType(Format format);              // the media type, for a server
std::string_view fileExtension(Format format);            // "txt", "csv", "json", "svg", "txt"

// The formats each record renders to, in the order above.
std::span<const Format> simulationFormats(); // text, csv, json, svg, results
std::span<const Format> sweepFormats();      // text, csv, json, svg
std::span<const Format> targetFormats();     // text, json

// The record in a format of its list; `style` applies to text alone.
// Throws std::invalid_argument for a format the record does not have.
std::string render(const SimulationRecord& run, Format format, const TextStyle& style);
std::string render(const SweepRecord& sweep, Format format, const TextStyle& style);
std::string render(const TargetRecord& target, Format format, const TextStyle& style);

} // namespace quorvex::output
