#include "sim/results_table.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "numbers/general_real.h"
#include "platform/output_file.h"
#include "runtime/write_fully.h"

namespace quorvex {

namespace {

constexpr std::string_view lineEnd = "\r\n";
constexpr std::string_view columnHeading =
    "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA";
constexpr std::string_view separator = " | ";

constexpr int countPrecision = 6;
constexpr int ratioPrecision = 3;
constexpr std::size_t scoreWidth = 4;
constexpr std::size_t countWidth = 5;

// Right-aligned in a field of `width`, padded with spaces; a longer text is
// written whole.
void appendField(std::string& line, const std::string& text, std::size_t width) {
    if (text.size() < width)
        line.append(width - text.size(), ' ');
    line += text;
}

} // namespace

std::string ratioHeadingLine(double perfectRatio) {
    // The ratio, a double, is widened exactly.
    return "Expected scores for: " + formatGeneral(static_cast<long double>(perfectRatio), ratioPrecision);
}

std::string runSizeHeadingLine(std::int32_t songs, std::int32_t steps) {
    return std::to_string(songs) + " songs | " + std::to_string(steps) + " steps";
}

std::string columnHeadingLine() {
    return std::string(columnHeading);
}

std::string tableLine(const ScoreTally& tally, std::int32_t row) {
    // The AAA share of the row's songs, not a percentage despite "%AAA".
    const long double aaaRatio =
        tally.cell(row, ScoreTally::aaaCountColumn) / tally.cell(row, ScoreTally::frequencyColumn);
    std::string line;
    appendField(line, formatGeneral(tally.cell(row, ScoreTally::scoreColumn), countPrecision), scoreWidth);
    for (std::int32_t column = ScoreTally::frequencyColumn; column <= ScoreTally::aaaCountColumn; ++column) {
        line += separator;
        appendField(line, formatGeneral(tally.cell(row, column), countPrecision), countWidth);
    }
    line += separator;
    line += formatGeneral(aaaRatio, ratioPrecision);
    return line;
}

std::string resultsFileText(double perfectRatio, std::int32_t songs, std::int32_t steps,
                            const ScoreTally& tally) {
    std::string text;
    const auto append = [&text](const std::string& line) {
        text += line;
        text += lineEnd;
    };
    append(ratioHeadingLine(perfectRatio));
    append(runSizeHeadingLine(songs, steps));
    append(columnHeadingLine());
    append("");
    for (std::int32_t row = 0; row < tally.rowCount(); ++row)
        append(tableLine(tally, row));
    return text;
}

ResultsTableFile::ResultsTableFile(std::string path) : path_(std::move(path)) {}

ResultsTableFile::~ResultsTableFile() {
    close();
}

void ResultsTableFile::fail(const char* action, int error) {
    if (failed_)
        return; // the first failure is the one worth telling
    failed_ = true;
    failureMessage_ = std::string("Cannot ") + action + " " + path_ + ": " + std::strerror(error);
}

bool ResultsTableFile::open(double perfectRatio, std::int32_t songs, std::int32_t steps) {
    close();
    if (failed_)
        return false;
    // Created readable and writable (less the umask), or emptied if present.
    const platform::OpenedFile file = platform::createOrEmptyFile(path_);
    descriptor_ = file.descriptor;
    if (descriptor_ < 0) {
        fail("create", file.error);
        return false;
    }
    bytesWritten_ = 0;
    writeLine(ratioHeadingLine(perfectRatio));
    writeLine(runSizeHeadingLine(songs, steps));
    return !failed_;
}

bool ResultsTableFile::writeTable(const ScoreTally& tally) {
    writeLine(columnHeadingLine());
    writeLine("");
    for (std::int32_t row = 0; row < tally.rowCount() && !failed_; ++row)
        writeLine(tableLine(tally, row));
    return !failed_;
}

bool ResultsTableFile::close() {
    if (descriptor_ >= 0) {
        const int descriptor = std::exchange(descriptor_, -1);
        if (const int error = platform::closeFile(descriptor); error != 0)
            fail("write", error);
    }
    return !failed_;
}

void ResultsTableFile::writeLine(std::string line) {
    if (failed_ || descriptor_ < 0)
        return;
    line += lineEnd;
    // One write per line, repeated only for what a short write left over.
    const int error = writeFully(descriptor_, line.data(), line.size());
    if (error != 0) {
        // Take back any part of the line that did get in, so the file ends
        // with the last whole line (a device that cannot be cut stays as is).
        // (If even that fails, nothing more can be done: the error below is
        // the one to tell.)
        (void)platform::truncateFile(descriptor_, bytesWritten_);
        fail("write", error);
        return;
    }
    bytesWritten_ += line.size();
}

} // namespace quorvex
