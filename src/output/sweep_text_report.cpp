#include "output/sweep_text_report.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "numbers/number_text.h"
#include "output/exact_agreement.h"
#include "output/proportion_text.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

constexpr int defaultColumns = 80;
constexpr std::size_t longestPerfectText = 40;

// A column of the table: its title and one cell per ratio.
struct Column {
    std::string title;
    bool alignRight;
    std::vector<std::string> cells;
};

// The widest of a title and the cells of a column.
int widthOf(const Column& column) {
    int width = displayWidth(column.title);
    for (const std::string& cell : column.cells)
        width = std::max(width, displayWidth(cell));
    return width;
}

// Two columns as one, a space apart, under the first's title and `words`:
// "mean ± 95% CI" over "809.80 ± 0.09", the numbers still aligned.
Column joined(const Column& left, const Column& right, const std::string& words) {
    const Column cellsOnly[] = {{"", false, left.cells}, {"", false, right.cells}};
    const int leftWidth = widthOf(cellsOnly[0]), rightWidth = widthOf(cellsOnly[1]);
    Column both{left.title + " " + words, false, {}};
    for (std::size_t r = 0; r < left.cells.size(); ++r)
        both.cells.push_back(padLeft(left.cells[r], leftWidth) + " " + padRight(right.cells[r], rightWidth));
    return both;
}

// The columns side by side, two spaces apart, no trailing blanks.
std::string tableText(const std::vector<Column>& columns, std::size_t rows) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const Column& column : columns)
        widths.push_back(widthOf(column));
    const auto line = [&](auto cellOf) {
        std::string text;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& cell = cellOf(columns[c]);
            text += (c == 0 ? "" : "  ") +
                    (columns[c].alignRight ? padLeft(cell, widths[c]) : padRight(cell, widths[c]));
        }
        text.erase(text.find_last_not_of(' ') + 1);
        return text + "\n";
    };
    std::string table = line([](const Column& column) -> const std::string& { return column.title; });
    for (std::size_t r = 0; r < rows; ++r)
        table += line([r](const Column& column) -> const std::string& { return column.cells[r]; });
    return table;
}

class SweepWriter {
  public:
    SweepWriter(const SweepRecord& sweep, const TextStyle& style)
        : sweep_(sweep), glyphs_(style.unicode ? unicodeGlyphs : asciiGlyphs),
          columns_(style.columns > 0 ? style.columns : defaultColumns) {}

    std::string write() {
        header();
        text_ += "\n";
        text_ += tableText(table(), sweep_.rows.size());
        notes();
        return text_;
    }

  private:
    const SweepRecord& sweep_;
    TextGlyphs glyphs_;
    int columns_;
    std::string text_;
    std::size_t missedIntervals_ = 0;

    void paragraph(const std::vector<std::string>& items, std::string_view glue) {
        for (const std::string& line : joinWrapped(items, glue, columns_, 0, 0))
            text_ += line + "\n";
    }

    // Words, for wrapping between any two.
    void sentence(std::string_view text) {
        for (const std::string& line : joinWrapped(wordsOf(text), columns_, 0, 0))
            text_ += line + "\n";
    }

    // 1. What was run, then how it ran.
    void header() {
        const std::string perfect = shortened(sweep_.perfectText, longestPerfectText, glyphs_.ellipsis);
        const std::string run =
            countedText(sweep_.songs, "song", "songs") + " " + std::string(glyphs_.times) + " " +
            countedText(sweep_.steps, "step", "steps") + " at " +
            countedText(static_cast<std::int64_t>(sweep_.rows.size()), "perfect ratio", "perfect ratios");
        for (const std::string& line :
             joinWrapped({{"", run},
                          {" ", "(" + perfect + ")"},
                          {std::string(glyphs_.separator), "seed " + integerText(sweep_.seed)}},
                         columns_, 0, 0))
            text_ += line + "\n";
        std::vector<std::string> how;
        if (sweep_.threads > 0)
            how.push_back(countedText(sweep_.threads, "thread", "threads"));
        if (sweep_.elapsedSeconds > 0) {
            const double steps =
                static_cast<double>(sweep_.songs) * sweep_.steps * static_cast<double>(sweep_.rows.size());
            how.push_back(secondsText(sweep_.elapsedSeconds));
            how.push_back(scientificText(steps / sweep_.elapsedSeconds, 2) + " steps/s");
        }
        paragraph(how, glyphs_.separator);
    }

    static std::string share(const stats::Proportion& p) { return percentText(p.share, percentDecimals(p)); }

    // 2. One line per ratio.
    std::vector<Column> table() {
        const bool perfectReachable = sweep_.bestScore >= 1000;
        std::vector<Column> columns = {{"ratio", false, {}}, {"mean", true, {}},      {"", false, {}},
                                       {"SD", true, {}},     {"p5", true, {}},        {"median", true, {}},
                                       {"p95", true, {}},    {"P(AAA)", true, {}},    {"95% CI", false, {}},
                                       {"exact", true, {}},  {"generator", true, {}}, {"P(1000)", true, {}}};
        for (const std::int32_t score : sweep_.atLeast)
            columns.push_back({"P(" + std::string(glyphs_.atLeast) + integerText(score) + ")", true, {}});

        for (const SweepRow& row : sweep_.rows) {
            const stats::ScoreSummary& s = row.run.summary;
            std::vector<std::string> cells = {row.label};
            // The mean to the precision of its interval.
            const double halfWidth = (s.meanInterval95.high - s.meanInterval95.low) / 2;
            if (std::isfinite(halfWidth)) {
                const int d = decimalsForSpread(halfWidth);
                cells.push_back(fixedText(s.mean, d));
                cells.push_back(std::string(glyphs_.plusMinus) + " " + fixedText(halfWidth, d));
                cells.push_back(fixedText(s.standardDeviation, decimalsForSpread(s.standardDeviation / 100)));
            } else {
                cells.push_back(fixedText(s.mean, 0));
                cells.emplace_back(); // one song: no interval
                cells.emplace_back(glyphs_.none);
            }
            cells.push_back(integerText(s.p5));
            cells.push_back(integerText(s.median));
            cells.push_back(integerText(s.p95));
            // P(AAA), its interval ("*" when it misses the generator's exact
            // value) and both exact values.
            const int d = percentDecimals(s.aaa);
            const bool agrees = exactAgreementOf(row.run).aaaChance;
            missedIntervals_ += agrees ? 0 : 1;
            cells.push_back(percentText(s.aaa.share, d));
            cells.push_back(percentText(s.aaa.wilson95.low, d) + " " + std::string(glyphs_.ellipsis) + " " +
                            percentText(s.aaa.wilson95.high, d) + (agrees ? "" : "*"));
            cells.push_back(exactPercentText(row.run.exact.aaaChance, d));
            cells.push_back(exactPercentText(row.run.exact.generatorAaaChance, d));
            cells.push_back(perfectReachable ? share(s.perfectScore) : std::string(glyphs_.none));
            for (const stats::ScoreThreshold& threshold : s.atLeast)
                cells.push_back(threshold.reachable ? share(threshold.songs) : std::string(glyphs_.none));
            for (std::size_t c = 0; c < columns.size() && c < cells.size(); ++c)
                columns[c].cells.push_back(cells[c]);
        }
        // The interval's half width follows its mean closely, under one title.
        columns[1] = joined(columns[1], columns[2], std::string(glyphs_.plusMinus) + " 95% CI");
        columns.erase(columns.begin() + 2);
        return columns;
    }

    // 3. What the exact values are, and what the marks say.
    void notes() {
        text_ += "\n";
        sentence("exact: P(AAA) for independent, equally likely draws; generator: for independent, equally "
                 "likely generator outputs (215 or 214 of its 2^31 give each draw), which long runs follow.");
        if (missedIntervals_ > 0)
            sentence("*: the interval misses the generator's exact value, in " +
                     integerText(static_cast<std::int64_t>(missedIntervals_)) + " of " +
                     countedText(static_cast<std::int64_t>(sweep_.rows.size()), "ratio", "ratios") +
                     "; by chance alone about 1 ratio in 20 does.");
        const bool unreachable = sweep_.bestScore < 1000 ||
                                 std::any_of(sweep_.atLeast.begin(), sweep_.atLeast.end(),
                                             [this](std::int32_t score) { return score > sweep_.bestScore; });
        if (unreachable)
            sentence(std::string(glyphs_.none) + ": no song of " +
                     countedText(sweep_.steps, "step", "steps") + " reaches that score; the best is " +
                     integerText(sweep_.bestScore) + ".");
    }
};

} // namespace

std::string sweepText(const SweepRecord& sweep, const TextStyle& style) {
    return SweepWriter(sweep, style).write();
}

} // namespace quorvex::output
