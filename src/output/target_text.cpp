#include "output/target_text.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "numbers/number_text.h"
#include "output/proportion_text.h"
#include "output/text_layout.h"

namespace quorvex::output {

namespace {

using Kind = TargetGoal::Kind;

// An exact chance as a percentage to ten significant digits, so that it
// shows on which side of the goal it lies: 50.00096712%, 3.9e-298%.
std::string precisePercent(double chance) {
    if (chance == 0 || chance == 1)
        return percentText(chance, 0);
    const double percent = chance * 100;
    if (percent < 1e-4) {
        // "1.000000000e-5" -> "1e-5": the digits are exact, the zeros say nothing.
        std::string text = scientificText(percent, 10);
        const std::size_t e = text.find('e');
        std::string mantissa = text.substr(0, e);
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.')
            mantissa.pop_back();
        return mantissa + text.substr(e) + "%";
    }
    const int leading = static_cast<int>(std::floor(std::log10(percent)));
    return trimmedText(percent, std::clamp(9 - leading, 0, 20)) + "%";
}

class TargetWriter {
  public:
    TargetWriter(const TargetRecord& record, const TextStyle& style)
        : record_(record), glyphs_(style.unicode ? unicodeGlyphs : asciiGlyphs),
          columns_(std::max(style.columns == 0 ? 80 : style.columns, 40)) {
        // The labels' column: as wide as the widest label and two spaces, at least 12.
        if (record.search) {
            labelWidth_ = std::max(labelWidth_, displayWidth(atLabel(record.answer)) + 2);
            if (record.search->below)
                labelWidth_ = std::max(labelWidth_, displayWidth(atLabel(*record.search->below)) + 2);
        }
    }

    std::string write() {
        answerLines();
        if (record_.exact)
            exactLines();
        else
            searchLines();
        return text_;
    }

  private:
    const TargetRecord& record_;
    TextGlyphs glyphs_;
    int columns_;
    int labelWidth_ = 12;
    std::string text_;

    // `items` after a label, wrapped at the columns under the label's end:
    // between items where they fit whole, else also between the words of
    // an item too wide for a line.
    void labelled(std::string_view label, const std::vector<WrapItem>& items) {
        std::vector<WrapItem> pieces;
        for (const WrapItem& item : items) {
            if (displayWidth(item.text) <= columns_ - labelWidth_) {
                pieces.push_back(item);
                continue;
            }
            std::vector<WrapItem> itemWords = wordsOf(item.text);
            itemWords.front().glue = item.glue;
            pieces.insert(pieces.end(), itemWords.begin(), itemWords.end());
        }
        const std::vector<std::string> lines = joinWrapped(pieces, columns_, labelWidth_, labelWidth_);
        for (std::size_t i = 0; i < lines.size(); ++i)
            text_ += (i == 0 ? padRight(label, labelWidth_) : std::string()) + lines[i] + "\n";
    }

    void sentence(std::string_view label, std::string_view text) { labelled(label, wordsOf(text)); }

    // Items joined by the separator, each kept whole on its line.
    void listed(std::string_view label, const std::vector<std::string>& items) {
        std::vector<WrapItem> glued;
        glued.reserve(items.size());
        for (const std::string& item : items)
            glued.push_back({std::string(glyphs_.separator), item});
        labelled(label, glued);
    }

    // Built by appending: gcc 12 warns falsely (-Wrestrict) on "literal" + string here.
    std::string ge() const { return std::string(" ").append(glyphs_.atLeast).append(" "); }

    std::string interval(const std::string& low, const std::string& high) const {
        return low + " " + std::string(glyphs_.ellipsis) + " " + high;
    }

    static std::string atLabel(const TargetRun& run) { return "At " + run.ratioText; }

    std::string goalText() const {
        const TargetGoal& goal = record_.goal;
        switch (goal.kind) {
        case Kind::scoreChance:
            return "P(score" + ge() + integerText(goal.score) + ")" + ge() + goal.chanceText;
        case Kind::meanScore:
            return "mean score" + ge() + goal.meanText;
        case Kind::aaaChance:
            break;
        }
        return "P(AAA)" + ge() + goal.chanceText;
    }

    // 1. The answer, and the goal it answers.
    void answerLines() {
        std::vector<WrapItem> answer{{"", "perfect ratio " + record_.answer.ratioText}};
        if (record_.exact) {
            answer.push_back({", ", "exact for independent, equally likely draws"});
        } else {
            answer.push_back({", ", "simulated:"});
            answer.push_back({" ", "met at " + record_.answer.ratioText + ","});
            answer.push_back({" ", record_.search->below ? "not at " + record_.search->below->ratioText
                                                         : "the least ratio of the grid"});
        }
        labelled("Answer", answer);
        sentence("Goal", goalText() + " over " + stepsText());
        if (!record_.answer.ratioTextReadsBack)
            sentence("Note", "simulate --perfect reads no decimal text as exactly this ratio (it rounds "
                             "twice, as the dialogue does), so it cannot replay these songs.");
    }

    std::string stepsText() const { return countedText(record_.steps, "step", "steps"); }

    std::string runText() const {
        return integerText(record_.songs) + " songs " + std::string(glyphs_.times) + " " + stepsText();
    }

    // Threads and time, when known.
    void addHowItRan(std::vector<std::string>& items) const {
        if (record_.threads > 0)
            items.push_back(countedText(record_.threads, "thread", "threads"));
        if (record_.elapsedSeconds > 0)
            items.push_back(secondsText(record_.elapsedSeconds));
    }

    std::vector<WrapItem> proportionItems(const stats::Proportion& p) const {
        const int d = percentDecimals(p);
        return {{"", percentText(p.share, d)},
                {"  ", std::string("(")
                           .append(integerText(p.count))
                           .append(" of ")
                           .append(integerText(p.total))
                           .append(";")},
                {" ", "95% CI " + interval(percentText(p.wilson95.low, d), percentText(p.wilson95.high, d)) +
                          ")"}};
    }

    // 2. The exact answer: its chance and the draws behind it, then the
    //    seeded run at the answer beside the generator's exact chance.
    void exactLines() {
        const ExactAaaAnswer& exact = *record_.exact;
        labelled("Exact", {{"", "P(AAA) " + precisePercent(exact.exact.aaaChance) + " at the answer;"},
                           {" ", precisePercent(exact.chanceBelow) + " at " + exact.ratioBelowText +
                                     ", the double below"}});
        labelled("Draws",
                 {{"", integerText(exact.census.aaaDraws) + " of 10000000 keep a song AAA"},
                  {" ", std::string("(").append(integerText(exact.aaaDrawsNeeded)).append(" needed,")},
                  {" ", integerText(exact.target.aaaDrawsBelow) + " at the double below)"}});
        const stats::Proportion& aaa = record_.answer.summary.aaa;
        std::vector<WrapItem> simulated = proportionItems(aaa);
        simulated.push_back(
            {"  ", "generator " + exactPercentText(exact.exact.generatorAaaChance, percentDecimals(aaa))});
        labelled("Simulated", simulated);
        std::vector<std::string> run{runText() + " at the answer", "seed " + integerText(record_.seed)};
        addHowItRan(run);
        listed("Run", run);
        if (exact.aaaDrawsNeeded == 10000000)
            sentence("Note",
                     "a chance of 1 needs every draw to keep a song AAA: only ratio 1 does, where the "
                     "lowest draw's deviation is exactly 1.0.");
        if (!aaa.wilson95.contains(exact.exact.generatorAaaChance))
            sentence("Note", "the generator's exact AAA chance lies outside the run's 95% CI: rare by chance "
                             "(1 run in 20), frequent if something is wrong.");
    }

    // The estimate of a run toward the goal, and whether it meets it.
    std::vector<WrapItem> estimateItems(const TargetRun& run, bool meets) const {
        std::vector<WrapItem> items;
        if (record_.goal.kind == Kind::scoreChance) {
            items = proportionItems(run.summary.atLeast.front().songs);
        } else {
            const stats::ScoreSummary& s = run.summary;
            const double halfWidth = (s.meanInterval95.high - s.meanInterval95.low) / 2;
            if (std::isfinite(halfWidth)) {
                const int d = decimalsForSpread(halfWidth);
                items = {{"", "mean " + fixedText(s.mean, d) + " " + std::string(glyphs_.plusMinus) + " " +
                                  fixedText(halfWidth, d)},
                         {"  ", "(95% CI " +
                                    interval(fixedText(s.meanInterval95.low, d),
                                             fixedText(s.meanInterval95.high, d)) +
                                    ")"}};
            } else {
                items = {{"", "mean " + fixedText(s.mean, 0)}, {"  ", "(one song: no interval)"}};
            }
        }
        items.push_back({"  ", meets ? "meets it" : "falls short"});
        return items;
    }

    // 3. The simulated answer: the runs at both ends of the bracket, how
    //    the search went, and a warning when the estimate cannot tell.
    void searchLines() {
        const SimulatedSearch& search = *record_.search;
        labelled(atLabel(record_.answer), estimateItems(record_.answer, true));
        if (search.below)
            labelled(atLabel(*search.below), estimateItems(*search.below, false));
        std::vector<std::string> how{countedText(search.runs, "run", "runs") + " of " + runText(),
                                     "seed " + integerText(record_.seed) + " at every ratio",
                                     "resolution " + search.resolutionText};
        addHowItRan(how);
        listed("Search", how);
        if (search.goalWithinInterval) {
            const std::string goal =
                record_.goal.kind == Kind::meanScore ? record_.goal.meanText : record_.goal.chanceText;
            sentence("Warning", "the 95% CI at the answer contains the goal's " + goal +
                                    ": the true value may lie on either side of it, and more songs "
                                    "(--songs) would tell the answer more surely.");
        }
    }
};

} // namespace

std::string targetText(const TargetRecord& record, const TextStyle& style) {
    return TargetWriter(record, style).write();
}

} // namespace quorvex::output
