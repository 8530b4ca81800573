#include "app/target_request.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "app/option_values.h"
#include "app/usage_error.h"

namespace quorvex::app {

namespace {

using Kind = output::TargetGoal::Kind;

constexpr const char* goalChoices = "--aaa-chance Q, --score X with --chance Q, or --mean M";

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

double real(const OptionReader& options, std::string_view option, const std::string& text) {
    const std::optional<double> value = readDecimal(text);
    if (!value)
        options.refuse(option, text);
    return *value;
}

double chanceOf(const OptionReader& options, std::string_view option, const std::string& text) {
    const double chance = real(options, option, text);
    if (!(chance >= 0 && chance <= 1))
        options.refuse(option, text);
    return chance;
}

// Exactly one goal: --aaa-chance, --score with --chance, or --mean.
output::TargetGoal readGoal(const OptionReader& options) {
    const std::optional<std::string> aaa = options.given("aaa-chance");
    const std::optional<std::string> score = options.given("score");
    const std::optional<std::string> chance = options.given("chance");
    const std::optional<std::string> mean = options.given("mean");
    std::vector<std::string> goals;
    if (aaa)
        goals.emplace_back("aaa-chance");
    if (score || chance)
        goals.emplace_back(score ? "score" : "chance");
    if (mean)
        goals.emplace_back("mean");
    if (goals.empty())
        throw UsageError(std::string("no goal given: ") + goalChoices);
    if (goals.size() > 1)
        throw UsageError("--" + goals[0] + " and --" + goals[1] + " are two goals; give one: " + goalChoices,
                         goals[1]);

    output::TargetGoal goal;
    if (aaa) {
        goal.kind = Kind::aaaChance;
        goal.chanceText = *aaa;
        goal.chance = chanceOf(options, "aaa-chance", *aaa);
    } else if (mean) {
        goal.kind = Kind::meanScore;
        goal.meanText = *mean;
        goal.mean = real(options, "mean", *mean);
        if (!(goal.mean >= 0 && goal.mean <= 1000))
            options.refuse("mean", *mean);
    } else {
        if (!score)
            throw UsageError("--chance needs --score: the score X that a share Q of the songs must reach",
                             "score");
        if (!chance)
            throw UsageError("--score needs --chance: the share Q of the songs, from 0 to 1, that must "
                             "score X or more",
                             "chance");
        goal.kind = Kind::scoreChance;
        const std::optional<std::int64_t> x = readWholeNumber(*score, 0, 1000);
        if (!x)
            options.refuse("score", *score);
        goal.score = static_cast<std::int32_t>(*x);
        goal.chanceText = *chance;
        goal.chance = chanceOf(options, "chance", *chance);
    }
    return goal;
}

} // namespace

TargetRequest readTargetRequest(const OptionReader& options, std::uint32_t currentSecond) {
    TargetRequest request;
    request.steps = static_cast<std::int32_t>(options.requiredWholeNumber("steps", 1, countLimit));
    request.goal = readGoal(options);
    if (const std::optional<std::string> text = options.given("resolution")) {
        if (request.goal.kind == Kind::aaaChance)
            throw UsageError("--resolution applies to the --score and --mean goals; the answer to "
                             "--aaa-chance is exact",
                             "resolution");
        request.resolution = real(options, "resolution", *text);
        if (!(request.resolution > 0 && request.resolution <= 0.5))
            options.refuse("resolution", *text);
        request.resolutionText = *text;
    }
    request.songs =
        static_cast<std::int32_t>(options.optionalWholeNumber("songs", 1, countLimit).value_or(100000));
    request.seed = options.seedSecond(currentSecond);
    return request;
}

} // namespace quorvex::app
