#include "output/text_report.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "numbers/number_text.h"
#include "output/exact_agreement.h"
#include "output/proportion_text.h"
#include "output/terminal_histogram.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

// One proportion line's parts: the share, then the detail after it as
// pieces the line may break between.
struct ProportionCells {
    std::string label, share;
    std::vector<WrapItem> detail;
};

class ReportWriter {
  public:
    ReportWriter(const SimulationRecord& run, const TextStyle& style)
        : run_(run), glyphs_(style.unicode ? unicodeGlyphs : asciiGlyphs), columns_(histogramColumns(style)),
          style_(style), agreement_(exactAgreementOf(run)) {
        // The labels' column: as wide as the widest label and two spaces, at least 12.
        for (const stats::ScoreThreshold& threshold : run.summary.atLeast)
            labelWidth_ = std::max(labelWidth_, displayWidth(atLeastLabel(threshold.score)) + 2);
    }

    std::string write() {
        header();
        text_ += "\n";
        scoreLines();
        marvelousLine();
        proportionLines();
        censusLine();
        disagreementNotes();
        histogram();
        return text_;
    }

  private:
    const SimulationRecord& run_;
    TextGlyphs glyphs_;
    int columns_;
    TextStyle style_;
    ExactAgreement agreement_;
    int labelWidth_ = 12;
    std::string text_;

    // `items` after a label, wrapped at the columns under the label's end.
    void labelled(std::string_view label, const std::vector<WrapItem>& items) {
        const std::vector<std::string> lines = joinWrapped(items, columns_, labelWidth_, labelWidth_);
        for (std::size_t i = 0; i < lines.size(); ++i)
            text_ += (i == 0 ? padRight(label, labelWidth_) : std::string()) + lines[i] + "\n";
    }

    void labelled(std::string_view label, const std::vector<std::string>& items, std::string_view separator) {
        std::vector<WrapItem> glued;
        glued.reserve(items.size());
        for (const std::string& item : items)
            glued.push_back({std::string(separator), item});
        labelled(label, glued);
    }

    void note(std::string_view sentence) { labelled("Note", wordsOf(sentence)); }

    std::string interval(const std::string& low, const std::string& high) const {
        return low + " " + std::string(glyphs_.ellipsis) + " " + high;
    }

    // 1. What was run, then how it ran.
    void header() {
        const std::string run = countedText(run_.songs, "song", "songs") + " " + std::string(glyphs_.times) +
                                " " + countedText(run_.steps, "step", "steps") + " at perfect ratio " +
                                run_.perfectRatioText;
        for (const std::string& line :
             joinWrapped({run, "seed " + integerText(run_.seed)}, glyphs_.separator, columns_, 0, 0))
            text_ += line + "\n";
        std::vector<std::string> how;
        if (run_.threads > 0)
            how.push_back(countedText(run_.threads, "thread", "threads"));
        if (run_.elapsedSeconds > 0) {
            const double stepsPerSecond = static_cast<double>(run_.songs) * run_.steps / run_.elapsedSeconds;
            how.push_back(secondsText(run_.elapsedSeconds));
            how.push_back(scientificText(stepsPerSecond, 2) + " steps/s");
        }
        for (const std::string& line : joinWrapped(how, glyphs_.separator, columns_, 0, 0))
            text_ += line + "\n";
    }

    // 2. The mean score with its interval, then the quantiles.
    void scoreLines() {
        const stats::ScoreSummary& s = run_.summary;
        const double halfWidth = (s.meanInterval95.high - s.meanInterval95.low) / 2;
        if (std::isfinite(halfWidth)) {
            const int d = decimalsForSpread(halfWidth);
            labelled(
                "Score",
                {fixedText(s.mean, d) + " " + std::string(glyphs_.plusMinus) + " " + fixedText(halfWidth, d),
                 "(95% CI " +
                     interval(fixedText(s.meanInterval95.low, d), fixedText(s.meanInterval95.high, d)) +
                     "; SD " + fixedText(s.standardDeviation, decimalsForSpread(s.standardDeviation / 100)) +
                     ")"},
                "   ");
        } else {
            labelled("Score", {fixedText(s.mean, 0), "(one song: no interval)"}, "   ");
        }
        // The quantiles on one line, or split after the median when that is too wide.
        const std::vector<std::string> low{"min " + integerText(s.min), "p1 " + integerText(s.p1),
                                           "p5 " + integerText(s.p5), "p25 " + integerText(s.p25),
                                           "median " + integerText(s.median)};
        const std::vector<std::string> high{"p75 " + integerText(s.p75), "p95 " + integerText(s.p95),
                                            "p99 " + integerText(s.p99), "max " + integerText(s.max)};
        std::vector<std::string> all = low;
        all.insert(all.end(), high.begin(), high.end());
        if (joinWrapped(all, glyphs_.separator, columns_, labelWidth_, labelWidth_).size() == 1) {
            labelled("", all, glyphs_.separator);
        } else {
            labelled("", low, glyphs_.separator);
            labelled("", high, glyphs_.separator);
        }
    }

    // 3. Marvelous steps per song beside their exact mean.
    void marvelousLine() {
        const stats::ScoreSummary& s = run_.summary;
        const int d = decimalsForSpread(agreement_.marvelousHalfWidth);
        const std::string exact = fixedText(run_.exact.marvelousMean, d);
        const std::string generator = fixedText(run_.exact.generatorMarvelousMean, d);
        std::vector<WrapItem> items{{"", fixedText(s.marvelousMean, d) + " per song"}};
        if (exact == generator) {
            items.push_back({"   ", "(exact " + exact + ")"});
        } else {
            items.push_back({"   ", "(exact " + exact + ","});
            items.push_back({" ", "generator " + generator + ")"});
        }
        items.push_back({std::string(glyphs_.separator), "min " + integerText(s.marvelousMin)});
        items.push_back({std::string(glyphs_.separator), "max " + integerText(s.marvelousMax)});
        labelled("Marvelous", items);
    }

    // The value for equally likely draws, and the generator's beside it
    // where the two differ as shown.
    static std::string bothExactTexts(const std::string& equallyLikely, const std::string& generator) {
        return equallyLikely == generator ? equallyLikely : equallyLikely + ", generator " + generator;
    }

    ProportionCells proportionCells(std::string label, const stats::Proportion& p, const double* exact,
                                    const double* generatorExact) const {
        const int d = percentDecimals(p);
        std::vector<WrapItem> detail{
            {"  ", std::string("(")
                       .append(integerText(p.count))
                       .append(" of ")
                       .append(integerText(p.total))
                       .append(";")},
            {" ",
             "95% CI " + interval(percentText(p.wilson95.low, d), percentText(p.wilson95.high, d)) + ")"}};
        if (exact != nullptr)
            detail.push_back({"  ", "exact " + bothExactTexts(exactPercentText(*exact, d),
                                                              exactPercentText(*generatorExact, d))});
        return {std::move(label), percentText(p.share, d), detail};
    }

    // 4. AAA, score 1000 and each asked threshold, their shares aligned.
    void proportionLines() {
        std::vector<ProportionCells> rows;
        rows.push_back(
            proportionCells("AAA", run_.summary.aaa, &run_.exact.aaaChance, &run_.exact.generatorAaaChance));
        if (run_.bestScore >= 1000)
            rows.push_back(proportionCells("Score 1000", run_.summary.perfectScore,
                                           &run_.exact.perfectScoreChance,
                                           &run_.exact.generatorPerfectScoreChance));
        else
            rows.push_back({"Score 1000", "", unreachable(1000)});
        for (const stats::ScoreThreshold& threshold : run_.summary.atLeast) {
            std::string label = atLeastLabel(threshold.score);
            if (threshold.reachable)
                rows.push_back(proportionCells(std::move(label), threshold.songs, nullptr, nullptr));
            else
                rows.push_back({std::move(label), "", unreachable(threshold.score)});
        }
        int shareWidth = 0;
        for (const ProportionCells& row : rows) {
            shareWidth = std::max(shareWidth, displayWidth(row.share));
        }
        for (ProportionCells& row : rows) {
            if (row.share.empty()) {
                labelled(row.label, row.detail);
                continue;
            }
            row.detail.insert(row.detail.begin(), {"", padRight(row.share, shareWidth)});
            labelled(row.label, row.detail);
        }
    }

    std::string atLeastLabel(std::int32_t score) const {
        return "Score " + std::string(glyphs_.atLeast) + " " + integerText(score);
    }

    std::vector<WrapItem> unreachable(std::int32_t score) const {
        return wordsOf("no song can score " + integerText(score) + ": best is " +
                       integerText(run_.bestScore));
    }

    // 5. Where the exact values come from.
    void censusLine() {
        labelled("Draws",
                 wordsOf(integerText(run_.census.aaaDraws) + " of 10000000 keep a song AAA, " +
                         integerText(run_.census.marvelousDraws) +
                         " are marvelous; exact values assume independent, equally likely draws; "
                         "generator values assume independent, equally likely generator outputs (215 "
                         "or 214 of its 2^31 give each draw)"));
    }

    // 6. An exact value outside its estimate's interval.
    void disagreementNotes() {
        const std::string chance = "rare by chance (1 run in 20), frequent if something is wrong.";
        const int aaaDecimals = percentDecimals(run_.summary.aaa);
        if (!agreement_.aaaChance)
            note("the generator's exact AAA chance " +
                 exactPercentText(run_.exact.generatorAaaChance, aaaDecimals) +
                 " lies outside the run's 95% CI: " + chance);
        const int perfectDecimals = percentDecimals(run_.summary.perfectScore);
        if (!agreement_.perfectScoreChance)
            note("the generator's exact chance of score 1000, " +
                 exactPercentText(run_.exact.generatorPerfectScoreChance, perfectDecimals) +
                 ", lies outside the run's 95% CI: " + chance);
        if (!agreement_.marvelousMean) {
            const int d = decimalsForSpread(agreement_.marvelousHalfWidth);
            note("the marvelous mean lies outside " +
                 interval(fixedText(agreement_.marvelousBand.low, d),
                          fixedText(agreement_.marvelousBand.high, d)) +
                 ", where 95% of runs fall for independent draws from this generator: " + chance);
        }
    }

    // 7. The shape of the scores.
    void histogram() {
        const std::vector<std::string> lines = terminalHistogram(run_.histogram, style_);
        if (lines.empty())
            return;
        text_ += "\nSongs by score\n";
        for (const std::string& line : lines)
            text_ += line + "\n";
    }
};

} // namespace

std::string simulationText(const SimulationRecord& run, const TextStyle& style) {
    return ReportWriter(run, style).write();
}

} // namespace quorvex::output
