#include "cli/run_command.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/option_reader.h"
#include "app/prepared_run.h"
#include "app/usage_error.h"
#include "cli/cli11_options.h"
#include "cli/run_output.h"
#include "cli/shared_options.h"
#include "cli/terminal_text_style.h"

namespace quorvex::cli {

namespace {

// The command line's own options, by name.
struct OwnOptions {
    CLI::Option* threads = nullptr;
    CLI::Option* format = nullptr;
    CLI::Option* output = nullptr;
    CLI::Option* results = nullptr; // only where the record has the results format
    CLI::Option* plot = nullptr;    // only where it has svg
    CLI::Option* quiet = nullptr;
};

// What the command line's own options ask for.
struct Delivery {
    int threads = 1;
    bool quiet = false;
    output::Format format = output::Format::text;
    std::string outputFile = "-";
    std::optional<std::string> resultsFile;
    std::optional<std::string> plotFile;
};

class RunCommand final : public Command {
  public:
    RunCommand(const app::CommandEntry& entry, const CommandLayout& layout)
        : entry_(entry), layout_(layout) {}

    std::string_view name() const override { return entry_.name; }
    std::string_view summary() const override { return entry_.summary; }

    void declareOptions(CLI::App& command) override {
        setHelpFooter(command, std::string(layout_.helpFooter));
        for (const OptionGroup& group : layout_.groups)
            for (const std::string_view name : group.options) {
                CLI::Option* const option = declare(command, name);
                groupOption(*option, std::string(group.heading));
                declared_.push_back({std::string(name), option});
            }
    }

    std::string accepts(std::string_view option) const override {
        if (option.substr(0, 2) != "--")
            return "";
        const std::string_view name = option.substr(2);
        for (const app::OptionEntry& entry : entry_.options)
            if (entry.name == name)
                return std::string(entry.accepts);
        if (name == "threads")
            return app::threadDomain;
        if (name == "format")
            return reportFormatDomain(entry_.formats);
        if ((name == "output" && own_.output) || (name == "results" && own_.results) ||
            (name == "plot" && own_.plot))
            return fileDomain;
        return "";
    }

    int run() override {
        // 1. Every option read and checked, in the order the help lists
        //    them: the first one wrong ends the command line.
        Delivery delivery;
        const std::unique_ptr<app::PreparedRun> prepared = read(delivery);

        // 2. The songs, with a progress line while they run when a person is
        //    watching standard error; the line is gone before anything is written.
        app::RunControl control;
        std::unique_ptr<app::FinishedRun> finished;
        {
            ProgressDisplay progress = progressOnStandardError(delivery.quiet, prepared->plannedSongs(),
                                                               prepared->stepsPerSong(), control.songsDone());
            try {
                finished = prepared->play(delivery.threads, control);
            } catch (const app::RunFailure& failure) {
                progress.finish();
                tell(entry_.name, failure.what());
                return app::exitFailure;
            }
        }

        // 3. Every text, before any file is touched: the dialogue's table,
        //    the plot, then the report, which goes last so that on a
        //    terminal it stands below any message about the files.
        std::vector<Rendered> texts;
        if (delivery.resultsFile)
            texts.push_back({*delivery.resultsFile, finished->render(output::Format::results, {})});
        if (delivery.plotFile)
            texts.push_back({*delivery.plotFile, finished->render(output::Format::svg, {})});
        texts.push_back(
            {delivery.outputFile, finished->render(delivery.format, textStyleFor(delivery.outputFile))});

        // 4. Each file whole or not at all; one that fails does not keep the
        //    others from being written.
        return writeRendered(entry_.name, texts);
    }

  private:
    bool isRunOption(std::string_view name) const {
        return std::any_of(entry_.options.begin(), entry_.options.end(),
                           [&](const app::OptionEntry& entry) { return entry.name == name; });
    }

    bool hasFormat(output::Format format) const {
        return std::find(entry_.formats.begin(), entry_.formats.end(), format) != entry_.formats.end();
    }

    CLI::Option* declare(CLI::App& command, std::string_view name) {
        for (const app::OptionEntry& entry : entry_.options)
            if (entry.name == name)
                return declareTextOption(command, "--" + std::string(name), std::string(entry.valueName),
                                         std::string(entry.help));
        if (name == "threads")
            return own_.threads = declareThreadsOption(command, layout_.threadsHelpEnd);
        if (name == "format")
            return own_.format = declareFormatOption(command, entry_.formats);
        if (name == "output")
            return own_.output =
                       declareFileOption(command, "--output", "FILE", std::string(layout_.outputHelp));
        if (name == "results" && hasFormat(output::Format::results))
            return own_.results =
                       declareFileOption(command, "--results", "FILE", std::string(layout_.resultsHelp));
        if (name == "plot" && hasFormat(output::Format::svg))
            return own_.plot =
                       declareFileOption(command, "--plot", "FILE.svg", std::string(layout_.plotHelp));
        if (name == "quiet")
            return own_.quiet = declareQuietFlag(command);
        // A layout naming an option nobody declares is a fault of this program.
        throw std::logic_error("the layout of " + std::string(entry_.name) + " names an unknown option " +
                               std::string(name));
    }

    // The run's options go to the run layer, which checks them in its own
    // order; its refusal stands at the place of the option it names, so
    // that an option of the command line's own listed before it is checked
    // first.
    std::unique_ptr<app::PreparedRun> read(Delivery& delivery) const {
        app::OptionTexts texts;
        for (const auto& [name, option] : declared_)
            if (isRunOption(name))
                for (const std::string& text : givenTexts(*option))
                    texts.push_back({name, text});
        std::unique_ptr<app::PreparedRun> prepared;
        std::optional<app::UsageError> refusal;
        try {
            prepared = app::prepareRun(entry_.name, texts, static_cast<std::uint32_t>(std::time(nullptr)));
        } catch (const app::UsageError& error) {
            refusal = error;
        }
        const std::size_t refusedAt = refusal ? placeOf(refusal->option()) : declared_.size();

        for (std::size_t i = 0; i < declared_.size(); ++i) {
            if (refusal && refusedAt <= i)
                throw *refusal;
            const CLI::Option& option = *declared_[i].second;
            if (&option == own_.threads)
                delivery.threads = threadCount(option);
            else if (&option == own_.quiet)
                delivery.quiet = flagGiven(option);
            else if (&option == own_.format)
                delivery.format = reportFormat(option, entry_.formats);
            else if (&option == own_.output)
                delivery.outputFile = fileName(option).value_or("-");
            else if (&option == own_.results)
                delivery.resultsFile = fileName(option);
            else if (&option == own_.plot)
                delivery.plotFile = fileName(option);
        }
        if (refusal)
            throw *refusal;
        std::vector<std::pair<std::string, std::optional<std::string>>> files{
            {"--output", delivery.outputFile}};
        if (own_.results)
            files.emplace_back("--results", delivery.resultsFile);
        if (own_.plot)
            files.emplace_back("--plot", delivery.plotFile);
        refuseSharedFiles(files);
        return prepared;
    }

    // Where an option stands in the help; a refusal about no one option
    // (such as the goal missing) stands first.
    std::size_t placeOf(const std::string& name) const {
        for (std::size_t i = 0; i < declared_.size(); ++i)
            if (declared_[i].first == name)
                return i;
        return 0;
    }

    const app::CommandEntry& entry_;
    const CommandLayout& layout_;
    OwnOptions own_;
    std::vector<std::pair<std::string, CLI::Option*>> declared_; // in the order the help lists them
};

} // namespace

std::unique_ptr<Command> makeRunCommand(const app::CommandEntry& entry, const CommandLayout& layout) {
    return std::make_unique<RunCommand>(entry, layout);
}

} // namespace quorvex::cli
