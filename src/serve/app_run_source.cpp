#include "serve/app_run_source.h"

#include <string>
#include <utility>

#include "app/command_catalog.h"
#include "app/option_texts.h"
#include "app/prepared_run.h"
#include "app/program_version.h"
#include "app/run_control.h"
#include "app/usage_error.h"
#include "output/format_registry.h"

namespace quorvex::serve {

namespace {

std::string commandName(app::CommandName command) {
    switch (command) {
    case app::CommandName::simulate:
        return "simulate";
    case app::CommandName::sweep:
        return "sweep";
    case app::CommandName::target:
        return "target";
    }
    return "run";
}

// The name a download is saved under: the command and its seed, and the
// dialogue's own name for its results table.
std::string fileNameFor(const std::string& command, std::uint32_t seed, output::Format format) {
    if (format == output::Format::results)
        return "QuorvexResults.txt";
    return "quorvex-" + command + "-" + std::to_string(seed) + "." +
           std::string(output::fileExtension(format));
}

// Text as the command line writes it to a file: 80 columns, UTF-8.
output::TextStyle fileTextStyle() {
    output::TextStyle style;
    style.columns = 80;
    style.unicode = true;
    return style;
}

class AppRun final : public AcceptedRun {
  public:
    explicit AppRun(std::unique_ptr<app::PreparedRun> run) : run_(std::move(run)) {}

    std::string command() const override { return commandName(run_->command()); }
    std::uint32_t seed() const override { return run_->seed(); }
    OptionTextList optionsAsRead() const override {
        OptionTextList options;
        for (const app::OptionText& option : run_->optionsAsRead())
            options.emplace_back(option.name, option.text);
        return options;
    }
    long double plannedSteps() const override { return run_->plannedSteps(); }
    std::int64_t plannedSongs() const override { return run_->plannedSongs(); }
    std::int32_t stepsPerSong() const override { return run_->stepsPerSong(); }
    std::int64_t songsDone() const override { return control_.songsDoneNow(); }
    void cancel() override { control_.cancel(); }

    RunOutcome play(int threads) override {
        RunOutcome outcome;
        try {
            const std::unique_ptr<app::FinishedRun> finished = run_->play(threads, control_);
            const std::string name = command();
            for (const output::Format format : finished->formats())
                outcome.outputs.push_back(
                    {std::string(output::formatName(format)), std::string(output::contentType(format)),
                     fileNameFor(name, seed(), format), finished->render(format, fileTextStyle())});
        } catch (const app::RunCancelled&) {
            outcome.ending = RunOutcome::Ending::cancelled;
            outcome.outputs.clear();
        } catch (const app::RunFailure& failure) {
            outcome.ending = RunOutcome::Ending::failed;
            outcome.error = failure.what();
            outcome.outputs.clear();
        } catch (const std::exception& error) {
            // Out of memory, or a thread that could not start: the run fails, the server goes on.
            outcome.ending = RunOutcome::Ending::failed;
            outcome.error = error.what();
            outcome.outputs.clear();
        }
        return outcome;
    }

  private:
    std::unique_ptr<app::PreparedRun> run_;
    app::RunControl control_;
};

// The command line's options that name files, the terminal or the
// processor: none is a run's option here, where every format is downloaded.
bool isCommandLineOnly(const std::string& name) {
    for (const char* only : {"format", "output", "results", "plot", "quiet", "threads"})
        if (name == only)
            return true;
    return false;
}

class AppRunSource final : public RunSource {
  public:
    std::unique_ptr<AcceptedRun> accept(const std::string& command, const OptionTextList& options,
                                        std::uint32_t currentSecond) override {
        app::OptionTexts texts;
        for (const auto& [name, text] : options) {
            if (isCommandLineOnly(name))
                throw RefusedRequest("\"" + name +
                                         "\" is an option of the command line only: here every format can be "
                                         "downloaded once the run is done, and runs use the server's threads",
                                     name);
            texts.push_back(app::OptionText{name, text});
        }
        try {
            return std::make_unique<AppRun>(app::prepareRun(command, texts, currentSecond));
        } catch (const app::UsageError& refused) {
            throw RefusedRequest(refused.what(), refused.option());
        }
    }
    std::string version() const override { return std::string(app::programVersion()); }
    std::string kernels() const override { return app::kernelsInUse(); }
};

} // namespace

std::unique_ptr<RunSource> makeAppRunSource() {
    return std::make_unique<AppRunSource>();
}

} // namespace quorvex::serve
