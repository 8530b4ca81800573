#include "cli/simulate_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/option_texts.h"
#include "cli/option_values.h"
#include "cli/simulate_run.h"
#include "cli/simulate_settings.h"
#include "cli/usage_error.h"
#include "platform/files.h"
#include "sim/engine/engine.h"

namespace quorvex::cli {

namespace {

constexpr std::int64_t countLimit = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t seedLimit = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t threadLimit = 1024;

// What each option accepts, as messages say it.
constexpr const char* countDomain = "a whole number from 1 to 2147483647";
constexpr const char* ratioDomain = "a ratio in (0, 1]";
constexpr const char* seedDomain = "a whole number from 0 to 4294967295";
constexpr const char* threadDomain = "a whole number from 1 to 1024";
constexpr const char* formatDomain = "one of text, csv, json";
constexpr const char* fileDomain = "a file name (\"-\": standard output)";
constexpr const char* scoresDomain = "a list of scores from 0 to 1000 separated by commas";

constexpr const char* helpFooter =
    "Reports the mean score with its 95% interval, the spread and quantiles, P(AAA),\n"
    "P(score = 1000) and P(score >= X) with Wilson intervals beside the exact values\n"
    "for independent draws, and a histogram of the scores.\n"
    "\n"
    "Examples:\n"
    "  quorvex simulate --songs 100000 --steps 400 --perfect 0.95\n"
    "  quorvex simulate --songs 1000000 --steps 300 --perfect 0.99 \\\n"
    "      --at-least 950,990 --format json --output scores.json --plot scores.svg\n"
    "  quorvex simulate --songs 10 --steps 400 --perfect 0.95 --seed 1700000000 \\\n"
    "      --results QuorvexResults.txt\n"
    "\n"
    "--seed S plays the songs the dialogue plays when started in second S with the\n"
    "same three values; --results then writes the bytes of its QuorvexResults.txt.";

class SimulateCommand final : public Command {
  public:
    std::string_view name() const override { return "simulate"; }
    std::string_view summary() const override { return "play seeded songs and summarise their scores"; }

    void declareOptions(CLI::App& command) override {
        command.footer(helpFooter);
        songs_ = declareTextOption(command, "--songs", "N", "songs to play, 1 to 2147483647 (required)");
        steps_ = declareTextOption(command, "--steps", "S", "steps per song, 1 to 2147483647 (required)");
        perfect_ = declareTextOption(command, "--perfect", "R",
                                     "the chance that a step is judged perfect or better,\n"
                                     "in (0, 1], read as the dialogue reads it (required)");
        seed_ = declareTextOption(command, "--seed", "SECONDS",
                                  "the clock second to seed from, 0 to 4294967295\n"
                                  "(default: the current second)");
        threads_ = declareTextOption(command, "--threads", "T",
                                     "threads, 1 to 1024 (default: the usable CPUs, " +
                                         std::to_string(defaultThreads()) +
                                         " here);\nthe results are the same for any count");
        atLeast_ = declareTextOption(command, "--at-least", "SCORE,...",
                                     "also P(score >= SCORE) for each SCORE from 0 to 1000\n"
                                     "(a score given twice counts once)");
        format_ = declareTextOption(command, "--format", "FORMAT", "text, csv or json (default: text)");
        output_ = declareTextOption(command, "--output", "FILE",
                                    "the report to FILE instead of standard output (\"-\")");
        results_ =
            declareTextOption(command, "--results", "FILE", "also the dialogue's results table to FILE");
        plot_ =
            declareTextOption(command, "--plot", "FILE.svg", "also an SVG histogram of the scores to FILE");
        quiet_ = declareFlag(command, "--quiet", "no progress line on the terminal");
        for (CLI::Option* option : {songs_, steps_, perfect_})
            option->group("Required");
        for (CLI::Option* option : {seed_, threads_, atLeast_, quiet_})
            option->group("Run");
        for (CLI::Option* option : {format_, output_, results_, plot_})
            option->group("Output");
    }

    std::string accepts(std::string_view option) const override {
        static constexpr std::pair<std::string_view, const char*> domains[] = {
            {"--songs", countDomain},   {"--steps", countDomain},    {"--perfect", ratioDomain},
            {"--seed", seedDomain},     {"--threads", threadDomain}, {"--at-least", scoresDomain},
            {"--format", formatDomain}, {"--output", fileDomain},    {"--results", fileDomain},
            {"--plot", fileDomain}};
        for (const auto& [name, domain] : domains)
            if (name == option)
                return domain;
        return "";
    }

    int run() override { return runSimulate(readSettings()); }

  private:
    static int defaultThreads() {
        return static_cast<int>(std::min<std::int64_t>(affinityThreadCount(), threadLimit));
    }

    // Every option read and checked, in the order the help lists them; the
    // first one wrong ends the command line with a UsageError.
    SimulateSettings readSettings() const {
        SimulateSettings settings;
        RunRequest& request = settings.request;
        request.songs = static_cast<std::int32_t>(requiredNumber(*songs_, 1, countLimit));
        request.steps = static_cast<std::int32_t>(requiredNumber(*steps_, 1, countLimit));
        settings.perfectRatioText = required(*perfect_);
        const std::optional<double> ratio = readPerfectRatio(settings.perfectRatioText);
        if (!ratio)
            refuseValue("--perfect", settings.perfectRatioText, ratioDomain);
        request.perfectRatio = *ratio;

        // The dialogue seeds from the clock second taken as 32 bits; so does a run without --seed.
        request.seed = static_cast<std::uint32_t>(
            optionalNumber(*seed_, 0, seedLimit).value_or(static_cast<std::uint32_t>(std::time(nullptr))));
        settings.threads =
            static_cast<int>(optionalNumber(*threads_, 1, threadLimit).value_or(defaultThreads()));
        if (const std::optional<std::string> text = givenText(*atLeast_)) {
            const auto scores = readScoreList(*text);
            if (!scores)
                refuseValue("--at-least", *text, scoresDomain);
            settings.atLeast = *scores;
        }
        settings.quiet = quiet_->count() > 0;

        if (const std::optional<std::string> text = givenText(*format_)) {
            if (*text == "text")
                settings.format = ReportFormat::text;
            else if (*text == "csv")
                settings.format = ReportFormat::csv;
            else if (*text == "json")
                settings.format = ReportFormat::json;
            else
                refuseValue("--format", *text, formatDomain);
        }
        settings.outputFile = fileName(*output_).value_or("-");
        settings.resultsFile = fileName(*results_);
        settings.plotFile = fileName(*plot_);
        refuseSharedFiles(settings);
        return settings;
    }

    std::string required(const CLI::Option& option) const {
        std::optional<std::string> text = givenText(option);
        if (!text)
            throw UsageError(option.get_name() + " is required: " + accepts(option.get_name()));
        return std::move(*text);
    }

    std::int64_t requiredNumber(const CLI::Option& option, std::int64_t low, std::int64_t high) const {
        const std::string text = required(option);
        const std::optional<std::int64_t> value = readWholeNumber(text, low, high);
        if (!value)
            refuseValue(option.get_name(), text, accepts(option.get_name()));
        return *value;
    }

    std::optional<std::int64_t> optionalNumber(const CLI::Option& option, std::int64_t low,
                                               std::int64_t high) const {
        const std::optional<std::string> text = givenText(option);
        if (!text)
            return std::nullopt;
        const std::optional<std::int64_t> value = readWholeNumber(*text, low, high);
        if (!value)
            refuseValue(option.get_name(), *text, accepts(option.get_name()));
        return value;
    }

    static std::optional<std::string> fileName(const CLI::Option& option) {
        std::optional<std::string> text = givenText(option);
        if (text && text->empty())
            refuseValue(option.get_name(), *text, fileDomain);
        return text;
    }

    // Two outputs to one file would leave only the one written last. Standard
    // output and devices (a name that exists and is no regular file, such as
    // /dev/null) take every text in turn and may be named more than once.
    static void refuseSharedFiles(const SimulateSettings& settings) {
        const std::pair<const char*, const std::optional<std::string>*> files[] = {
            {"--results", &settings.resultsFile}, {"--plot", &settings.plotFile}};
        std::vector<std::pair<std::string, std::string>> taken = {{"--output", settings.outputFile}};
        for (const auto& [option, file] : files) {
            if (!file->has_value())
                continue;
            for (const auto& [takenBy, takenFile] : taken)
                if (**file == takenFile && takesOneText(takenFile))
                    throw UsageError(std::string(option) + " " + quoteForMessage(**file) +
                                     " names the file " + takenBy + " writes; give each its own file");
            taken.emplace_back(option, **file);
        }
    }

    // Whatever the system calls a device (/dev/null, NUL on Windows) is
    // told apart as the writers will tell it apart.
    static bool takesOneText(const std::string& file) {
        if (file == "-")
            return false;
        return platform::examineTarget(file).kind != platform::FileTarget::Kind::stream;
    }

    CLI::Option* songs_ = nullptr;
    CLI::Option* steps_ = nullptr;
    CLI::Option* perfect_ = nullptr;
    CLI::Option* seed_ = nullptr;
    CLI::Option* threads_ = nullptr;
    CLI::Option* atLeast_ = nullptr;
    CLI::Option* format_ = nullptr;
    CLI::Option* output_ = nullptr;
    CLI::Option* results_ = nullptr;
    CLI::Option* plot_ = nullptr;
    CLI::Option* quiet_ = nullptr;
};

} // namespace

std::unique_ptr<Command> makeSimulateCommand() {
    return std::make_unique<SimulateCommand>();
}

} // namespace quorvex::cli
