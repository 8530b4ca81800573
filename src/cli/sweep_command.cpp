#include "cli/sweep_command.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/option_reading.h"
#include "cli/option_texts.h"
#include "cli/sweep_ratios.h"
#include "cli/sweep_run.h"
#include "cli/sweep_settings.h"

namespace quorvex::cli {

namespace {

constexpr const char* helpFooter =
    "Plays the same seeded songs at every ratio, so that the rows move smoothly\n"
    "and each is what 'quorvex simulate --seed SEED --perfect R' reports for its\n"
    "ratio: the mean score with its 95% interval, SD, p5, median, p95, P(AAA) with\n"
    "its Wilson interval and exact values, P(score = 1000) and P(score >= X).\n"
    "\n"
    "A range A:B:STEP holds A, A + STEP, A + 2 STEP, ... as exact decimals, each\n"
    "read as --perfect reads it, and B when the steps reach it exactly:\n"
    "0.9:0.99:0.01 is 0.9, 0.91, ..., 0.99. At most 10000 ratios.\n"
    "\n"
    "Examples:\n"
    "  quorvex sweep --songs 100000 --steps 400 --perfect 0.9:1:0.01\n"
    "  quorvex sweep --songs 100000 --steps 400 --perfect 0.95,0.97,0.99 \\\n"
    "      --at-least 950 --format csv --output sweep.csv --plot sweep.svg";

class SweepCommand final : public Command {
  public:
    std::string_view name() const override { return "sweep"; }
    std::string_view summary() const override { return "play the same seeded songs at many perfect ratios"; }

    void declareOptions(CLI::App& command) override {
        setHelpFooter(command, helpFooter);
        songs_ = declareTextOption(command, "--songs", "N", "songs per ratio, 1 to 2147483647 (required)");
        steps_ = declareStepsOption(command);
        perfect_ = declareTextOption(command, "--perfect", "RATIOS",
                                     "perfect ratios in (0, 1]: a range A:B:STEP or a list\n"
                                     "R1,R2,..., at most 10000 (required)");
        seed_ = declareTextOption(command, "--seed", "SECONDS",
                                  "the clock second to seed every ratio from, 0 to\n"
                                  "4294967295 (default: the current second)");
        threads_ = declareThreadsOption(command, "the results are the same for any count");
        atLeast_ = declareAtLeastOption(command);
        format_ = declareTextOption(command, "--format", "FORMAT", "text, csv or json (default: text)");
        output_ = declareTextOption(command, "--output", "FILE",
                                    "the report to FILE instead of standard output (\"-\")");
        plot_ = declareTextOption(command, "--plot", "FILE.svg",
                                  "also an SVG plot of the mean score and P(AAA)\nagainst the ratio to FILE");
        quiet_ = declareQuietFlag(command);
        groupOptions("Required", {songs_, steps_, perfect_});
        groupOptions("Run", {seed_, threads_, atLeast_, quiet_});
        groupOptions("Output", {format_, output_, plot_});
    }

    std::string accepts(std::string_view option) const override {
        static constexpr OptionDomain domains[] = {
            {"--songs", countDomain},   {"--steps", countDomain},    {"--perfect", sweepRatiosDomain},
            {"--seed", seedDomain},     {"--threads", threadDomain}, {"--at-least", scoresDomain},
            {"--format", formatDomain}, {"--output", fileDomain},    {"--plot", fileDomain}};
        return domainOf(option, domains);
    }

    int run() override { return runSweep(readSettings()); }

  private:
    // Every option read and checked, in the order the help lists them; the
    // first one wrong ends the command line with a UsageError.
    SweepSettings readSettings() const {
        SweepSettings settings;
        SweepRequest& request = settings.request;
        request.songs = static_cast<std::int32_t>(requiredWholeNumber(*songs_, 1, countLimit, countDomain));
        request.steps = static_cast<std::int32_t>(requiredWholeNumber(*steps_, 1, countLimit, countDomain));
        settings.perfectText = requiredText(*perfect_, sweepRatiosDomain);
        request.ratios = readSweepRatios(settings.perfectText);
        request.seed = seedSecond(*seed_);
        settings.threads = threadCount(*threads_);
        request.atLeast = scoreList(*atLeast_);
        settings.quiet = flagGiven(*quiet_);
        settings.format = reportFormat(*format_);
        settings.outputFile = fileName(*output_).value_or("-");
        settings.plotFile = fileName(*plot_);
        refuseSharedFiles({{"--output", settings.outputFile}, {"--plot", settings.plotFile}});
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
    CLI::Option* plot_ = nullptr;
    CLI::Option* quiet_ = nullptr;
};

} // namespace

std::unique_ptr<Command> makeSweepCommand() {
    return std::make_unique<SweepCommand>();
}

} // namespace quorvex::cli
