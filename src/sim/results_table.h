#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/score_tally.h"

namespace quorvex {

// The writer of the results file: two heading lines at open, the table at
// the end of the run. Every line ends with carriage return and line feed and
// is handed to the file as soon as it ends, so the headings are in the file
// while the songs run and a run stopped early leaves only whole lines.
//
// A file that cannot be created or written is not silent: the first failure
// is kept, with the file's name and the system's reason, every later write
// is skipped, and each operation returns false from then on. The owner tells
// the user failureMessage(), e.g. "Cannot write QuorvexResults.txt: No space
// left on device" or "Cannot create QuorvexResults.txt: Is a directory". A
// file that cannot be created is left as it was; a line cut short by a
// failing write is taken back, so the file keeps the whole lines before it.
//
// Called in the order open, writeTable, close; before open (or after close)
// writeTable writes nothing.
class ResultsTableFile {
  public:
    static constexpr const char* defaultFileName = "QuorvexResults.txt";

    // `path` is taken relative to the working directory unless absolute.
    explicit ResultsTableFile(std::string path = defaultFileName);
    ~ResultsTableFile(); // closes the file if still open; failures go unseen
    ResultsTableFile(const ResultsTableFile&) = delete;
    ResultsTableFile& operator=(const ResultsTableFile&) = delete;

    // Creates the file or empties an existing one, then writes
    // "Expected scores for: <ratio>" and "<songs> songs | <steps> steps".
    bool open(double perfectRatio, std::int32_t songs, std::int32_t steps);

    // The column heading, an empty line and one line per tally row, in the
    // tally's order. Reads the tally only.
    bool writeTable(const ScoreTally& tally);

    // Closes the file; a failure the system reports only at closing counts.
    bool close();

    bool failed() const { return failed_; }
    const std::string& failureMessage() const { return failureMessage_; }
    const std::string& path() const { return path_; }

  private:
    // Hands one finished line (without its line end) to the file.
    void writeLine(std::string line);
    void fail(const char* action, int error);

    std::string path_;
    int descriptor_ = -1;
    std::size_t bytesWritten_ = 0; // the whole lines in the file
    bool failed_ = false;
    std::string failureMessage_;
};

// The lines of the file, each without its line end; ResultsTableFile writes
// exactly these.
// Line 1: "Expected scores for: <ratio>", the ratio at precision 3.
std::string ratioHeadingLine(double perfectRatio);
// Line 2: "<songs> songs | <steps> steps".
std::string runSizeHeadingLine(std::int32_t songs, std::int32_t steps);
// Line 3, the column heading; an empty line follows it.
std::string columnHeadingLine();
// The text of one table line: the five counts in fields of width 4, 5, 5,
// 5, 5 with precision 6, then the AAA ratio with precision 3, separated by
// " | ".
std::string tableLine(const ScoreTally& tally, std::int32_t row);

// The whole file a complete run writes for an ordered tally, as one text:
// the headings, the table, every line ended with carriage return and line
// feed. The same bytes as open, writeTable and close leave in the file.
std::string resultsFileText(double perfectRatio, std::int32_t songs, std::int32_t steps,
                            const ScoreTally& tally);

} // namespace quorvex
