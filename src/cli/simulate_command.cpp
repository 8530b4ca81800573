#include "cli/simulate_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/option_reading.h"
#include "cli/option_texts.h"
#include "cli/option_values.h"
#include "cli/simulate_run.h"
#include "cli/simulate_settings.h"

namespace quorvex::cli {

namespace {

// What --perfect accepts, as messages say it; the other options accept
// what they accept in every command (option_reading.h).
constexpr const char* ratioDomain = "a ratio in (0, 1]";

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
        setHelpFooter(command, helpFooter);
        songs_ = declareTextOption(command, "--songs", "N", "songs to play, 1 to 2147483647 (required)");
        steps_ = declareStepsOption(command);
        perfect_ = declareTextOption(command, "--perfect", "R",
                                     "the chance that a step is judged perfect or better,\n"
                                     "in (0, 1], read as the dialogue reads it (required)");
        seed_ = declareTextOption(command, "--seed", "SECONDS",
                                  "the clock second to seed from, 0 to 4294967295\n"
                                  "(default: the current second)");
        threads_ = declareThreadsOption(command, "the results are the same for any count");
        atLeast_ = declareAtLeastOption(command);
        format_ = declareTextOption(command, "--format", "FORMAT", "text, csv or json (default: text)");
        output_ = declareTextOption(command, "--output", "FILE",
                                    "the report to FILE instead of standard output (\"-\")");
        results_ =
            declareTextOption(command, "--results", "FILE", "also the dialogue's results table to FILE");
        plot_ =
            declareTextOption(command, "--plot", "FILE.svg", "also an SVG histogram of the scores to FILE");
        quiet_ = declareQuietFlag(command);
        groupOptions("Required", {songs_, steps_, perfect_});
        groupOptions("Run", {seed_, threads_, atLeast_, quiet_});
        groupOptions("Output", {format_, output_, results_, plot_});
    }

    std::string accepts(std::string_view option) const override {
        static constexpr OptionDomain domains[] = {{"--songs", countDomain},    {"--steps", countDomain},
                                                   {"--perfect", ratioDomain},  {"--seed", seedDomain},
                                                   {"--threads", threadDomain}, {"--at-least", scoresDomain},
                                                   {"--format", formatDomain},  {"--output", fileDomain},
                                                   {"--results", fileDomain},   {"--plot", fileDomain}};
        return domainOf(option, domains);
    }

    int run() override { return runSimulate(readSettings()); }

  private:
    // Every option read and checked, in the order the help lists them; the
    // first one wrong ends the command line with a UsageError.
    SimulateSettings readSettings() const {
        SimulateSettings settings;
        RunRequest& request = settings.request;
        request.songs = static_cast<std::int32_t>(requiredWholeNumber(*songs_, 1, countLimit, countDomain));
        request.steps = static_cast<std::int32_t>(requiredWholeNumber(*steps_, 1, countLimit, countDomain));
        settings.perfectRatioText = requiredText(*perfect_, ratioDomain);
        const std::optional<double> ratio = readPerfectRatio(settings.perfectRatioText);
        if (!ratio)
            refuseValue("--perfect", settings.perfectRatioText, ratioDomain);
        request.perfectRatio = *ratio;
        request.seed = seedSecond(*seed_);
        settings.threads = threadCount(*threads_);
        settings.atLeast = scoreList(*atLeast_);
        settings.quiet = flagGiven(*quiet_);

        settings.format = reportFormat(*format_);
        settings.outputFile = fileName(*output_).value_or("-");
        settings.resultsFile = fileName(*results_);
        settings.plotFile = fileName(*plot_);
        refuseSharedFiles({{"--output", settings.outputFile},
                           {"--results", settings.resultsFile},
                           {"--plot", settings.plotFile}});
        return settings;
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
