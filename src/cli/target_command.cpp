#include "cli/target_command.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/option_reading.h"
#include "cli/option_texts.h"
#include "cli/option_values.h"
#include "cli/target_run.h"
#include "cli/target_settings.h"
#include "cli/usage_error.h"

namespace quorvex::cli {

namespace {

using Kind = output::TargetGoal::Kind;

// What the options of target alone accept, as messages say it; the others
// accept what they accept in every command (option_reading.h).
constexpr const char* chanceDomain = "a chance from 0 to 1";
constexpr const char* scoreDomain = "a whole number from 0 to 1000";
constexpr const char* meanDomain = "a mean score from 0 to 1000";
constexpr const char* resolutionDomain = "a ratio step in (0, 0.5]";
constexpr const char* targetFormatDomain = "one of text, json";
constexpr const char* goalChoices = "--aaa-chance Q, --score X with --chance Q, or --mean M";

constexpr const char* helpFooter =
    "Give one goal. --aaa-chance Q is answered exactly for independent, equally\n"
    "likely draws: the least double ratio whose draws give P(AAA) >= Q. --score X\n"
    "with --chance Q, and --mean M, are answered by simulation: a bisection over the\n"
    "ratios k * R, every ratio playing the same seeded songs (as simulate --seed\n"
    "would), until the bracket is R wide; the answer is its upper end. A goal that\n"
    "every ratio meets, or none does, is answered with one line on standard error\n"
    "and exit status 1.\n"
    "\n"
    "Examples:\n"
    "  quorvex target --steps 400 --aaa-chance 0.5\n"
    "  quorvex target --steps 400 --score 950 --chance 0.9 --seed 1700000000\n"
    "  quorvex target --steps 300 --mean 990 --songs 1000000 --format json";

// A real number written in decimal (or with an exponent), as a whole text:
// an optional "+", then what std::from_chars reads, nothing left over. The
// nearest double; none for text that is not a finite number.
std::optional<double> readDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

class TargetCommand final : public Command {
  public:
    std::string_view name() const override { return "target"; }
    std::string_view summary() const override { return "find the smallest perfect ratio that meets a goal"; }

    void declareOptions(CLI::App& command) override {
        setHelpFooter(command, helpFooter);
        steps_ = declareStepsOption(command);
        aaaChance_ = declareTextOption(command, "--aaa-chance", "Q", "goal: P(AAA) >= Q, Q from 0 to 1");
        score_ = declareTextOption(command, "--score", "X",
                                   "goal: P(score >= X) >= Q with --chance Q,\nX from 0 to 1000");
        chance_ = declareTextOption(command, "--chance", "Q", "the Q of --score, from 0 to 1");
        mean_ = declareTextOption(command, "--mean", "M", "goal: mean score >= M, M from 0 to 1000");
        songs_ = declareTextOption(command, "--songs", "N",
                                   "songs played at each ratio tried, 1 to 2147483647\n(default: 100000)");
        seed_ = declareTextOption(command, "--seed", "SECONDS",
                                  "the clock second to seed from, 0 to 4294967295\n"
                                  "(default: the current second)");
        resolution_ = declareTextOption(command, "--resolution", "R",
                                        "score and mean goals: the bracket's width, in\n"
                                        "(0, 0.5] (default: 0.0001)");
        threads_ = declareThreadsOption(command, "the answer is the same for any count");
        format_ = declareTextOption(command, "--format", "FORMAT", "text or json (default: text)");
        output_ = declareTextOption(command, "--output", "FILE",
                                    "the answer to FILE instead of standard output (\"-\")");
        quiet_ = declareQuietFlag(command);
        groupOptions("Goal", {steps_, aaaChance_, score_, chance_, mean_});
        groupOptions("Run", {songs_, seed_, resolution_, threads_, quiet_});
        groupOptions("Output", {format_, output_});
    }

    std::string accepts(std::string_view option) const override {
        static constexpr OptionDomain domains[] = {
            {"--steps", countDomain},         {"--aaa-chance", chanceDomain},
            {"--score", scoreDomain},         {"--chance", chanceDomain},
            {"--mean", meanDomain},           {"--songs", countDomain},
            {"--seed", seedDomain},           {"--threads", threadDomain},
            {"--format", targetFormatDomain}, {"--resolution", resolutionDomain},
            {"--output", fileDomain}};
        return domainOf(option, domains);
    }

    int run() override { return runTarget(readSettings()); }

  private:
    // Every option read and checked, the goal first; the first one wrong
    // ends the command line with a UsageError.
    TargetSettings readSettings() const {
        TargetSettings settings;
        settings.steps = static_cast<std::int32_t>(requiredWholeNumber(*steps_, 1, countLimit, countDomain));
        settings.goal = readGoal();

        if (const std::optional<std::string> text = givenText(*resolution_)) {
            if (settings.goal.kind == Kind::aaaChance)
                throw UsageError("--resolution applies to the --score and --mean goals; the answer to "
                                 "--aaa-chance is exact");
            settings.resolution = real(*resolution_, *text);
            if (!(settings.resolution > 0 && settings.resolution <= 0.5))
                refuseValue("--resolution", *text, resolutionDomain);
            settings.resolutionText = *text;
        }
        settings.songs = static_cast<std::int32_t>(
            optionalWholeNumber(*songs_, 1, countLimit, countDomain).value_or(100000));
        settings.seed = seedSecond(*seed_);
        settings.threads = threadCount(*threads_);
        settings.quiet = flagGiven(*quiet_);
        if (const std::optional<std::string> text = givenText(*format_)) {
            if (*text == "text")
                settings.format = TargetFormat::text;
            else if (*text == "json")
                settings.format = TargetFormat::json;
            else
                refuseValue("--format", *text, targetFormatDomain);
        }
        settings.outputFile = fileName(*output_).value_or("-");
        return settings;
    }

    // Exactly one goal: --aaa-chance, --score with --chance, or --mean.
    output::TargetGoal readGoal() const {
        const std::optional<std::string> aaa = givenText(*aaaChance_);
        const std::optional<std::string> score = givenText(*score_);
        const std::optional<std::string> chance = givenText(*chance_);
        const std::optional<std::string> mean = givenText(*mean_);
        std::vector<std::string> goals;
        if (aaa)
            goals.emplace_back("--aaa-chance");
        if (score || chance)
            goals.emplace_back(score ? "--score" : "--chance");
        if (mean)
            goals.emplace_back("--mean");
        if (goals.empty())
            throw UsageError(std::string("no goal given: ") + goalChoices);
        if (goals.size() > 1)
            throw UsageError(goals[0] + " and " + goals[1] + " are two goals; give one: " + goalChoices);

        output::TargetGoal goal;
        if (aaa) {
            goal.kind = Kind::aaaChance;
            goal.chanceText = *aaa;
            goal.chance = chanceOf(*aaaChance_, *aaa);
        } else if (mean) {
            goal.kind = Kind::meanScore;
            goal.meanText = *mean;
            goal.mean = real(*mean_, *mean);
            if (!(goal.mean >= 0 && goal.mean <= 1000))
                refuseValue("--mean", *mean, meanDomain);
        } else {
            if (!score)
                throw UsageError(
                    "--chance needs --score: the score X that a share Q of the songs must reach");
            if (!chance)
                throw UsageError("--score needs --chance: the share Q of the songs, from 0 to 1, that must "
                                 "score X or more");
            goal.kind = Kind::scoreChance;
            const std::optional<std::int64_t> x = readWholeNumber(*score, 0, 1000);
            if (!x)
                refuseValue("--score", *score, scoreDomain);
            goal.score = static_cast<std::int32_t>(*x);
            goal.chanceText = *chance;
            goal.chance = chanceOf(*chance_, *chance);
        }
        return goal;
    }

    double chanceOf(const CLI::Option& option, const std::string& text) const {
        const double chance = real(option, text);
        if (!(chance >= 0 && chance <= 1))
            refuseValue(optionName(option), text, chanceDomain);
        return chance;
    }

    double real(const CLI::Option& option, const std::string& text) const {
        const std::optional<double> value = readDecimal(text);
        if (!value)
            refuseValue(optionName(option), text, accepts(optionName(option)));
        return *value;
    }

    CLI::Option* steps_ = nullptr;
    CLI::Option* aaaChance_ = nullptr;
    CLI::Option* score_ = nullptr;
    CLI::Option* chance_ = nullptr;
    CLI::Option* mean_ = nullptr;
    CLI::Option* songs_ = nullptr;
    CLI::Option* seed_ = nullptr;
    CLI::Option* resolution_ = nullptr;
    CLI::Option* threads_ = nullptr;
    CLI::Option* format_ = nullptr;
    CLI::Option* output_ = nullptr;
    CLI::Option* quiet_ = nullptr;
};

} // namespace

std::unique_ptr<Command> makeTargetCommand() {
    return std::make_unique<TargetCommand>();
}

} // namespace quorvex::cli
