#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/option_reader.h"
#include "app/program_version.h"
#include "app/usage_error.h"
#include "cli/cli11_options.h"
#include "cli/command_list.h"
#include "runtime/write_fully.h"

namespace quorvex::cli {

namespace {

using app::exitFailure;
using app::exitSuccess;
using app::exitUsage;
using app::quoteForMessage;

constexpr const char* programName = "quorvex";

constexpr const char* programFooter =
    "With no arguments quorvex holds its dialogue: it asks for the songs, the steps\n"
    "per song and the perfect ratio, and writes QuorvexResults.txt in this folder.\n"
    "Run 'quorvex COMMAND --help' for the options of a command.\n"
    "\n"
    "Example:\n"
    "  quorvex simulate --songs 100000 --steps 400 --perfect 0.95";

// What `quorvex --version` prints: the program's version, then the engine's
// kernels this processor would run and which instruction sets it has, e.g.
//   quorvex 1.0
//   kernels: AVX-512 (this processor: scalar yes, AVX2+FMA yes, AVX-512 yes)
std::string versionText() {
    return "quorvex " + std::string(app::programVersion()) + "\nkernels: " + app::kernelsInUse() + "\n";
}

// Levenshtein distance, for suggesting the name a mistyped one was meant to be.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// " (did you mean --songs?)" for the nearest name at most two edits away, or "".
std::string suggestion(std::string_view given, const std::vector<std::string>& names) {
    const std::string* best = nullptr;
    std::size_t bestDistance = 3;
    for (const std::string& name : names) {
        const std::size_t distance = editDistance(given, name);
        if (distance < bestDistance) {
            best = &name;
            bestDistance = distance;
        }
    }
    return best != nullptr ? " (did you mean " + *best + "?)" : "";
}

// The long option names of a command, or of the program itself.
std::vector<std::string> optionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options())
        for (const std::string& name : option->get_lnames())
            names.push_back("--" + name);
    return names;
}

// CLI11's help layout with one blank line between the usage and each group
// of options, where CLI11 leaves none after the usage and two between groups.
class HelpLayout : public CLI::Formatter {
  public:
    std::string make_group(std::string group, bool positional,
                           std::vector<const CLI::Option*> options) const override {
        // CLI11 starts each group with a line break and also puts one between them.
        return CLI::Formatter::make_group(std::move(group), positional, std::move(options)).substr(1);
    }
    std::string make_usage(const CLI::App* app, std::string name) const override {
        return CLI::Formatter::make_usage(app, std::move(name)) + "\n";
    }
};

// The parsed command line with its commands, and what a message is about.
class CommandLine {
  public:
    CommandLine()
        : app_("quorvex: how a dance rhythm game player scores, by Monte Carlo simulation", programName) {
        auto layout = std::make_shared<HelpLayout>();
        layout->column_width(26);
        layout->label("SUBCOMMAND", "COMMAND");
        app_.formatter(layout);
        app_.set_help_flag("-h,--help", "show this help and exit");
        version_ = declareFlag(app_, "--version", "show the version and this processor's kernels");
        app_.footer(programFooter);
        for (std::unique_ptr<Command>& command : commands_) {
            CLI::App* sub =
                app_.add_subcommand(std::string(command->name()), std::string(command->summary()));
            sub->group("Commands");
            sub->set_help_flag("-h,--help", "show this help and exit");
            command->declareOptions(*sub);
            subcommands_.push_back(sub);
        }
    }

    int run(int argc, const char* const* argv) {
        try {
            app_.parse(argc, argv);
        } catch (const CLI::CallForHelp&) {
            return show(app_.help());
        } catch (const CLI::ParseError& error) {
            const Refusal refusal = describe(error);
            return refuse(refusal.command, refusal.message);
        }
        if (version_->count() > 0)
            return show(versionText());
        Command* const command = chosenCommand();
        if (command == nullptr)
            return refuse(nullptr, "no command given; the commands: " + commandList());
        if (const std::optional<std::string> message = swallowedOption(command))
            return refuse(command, *message);
        try {
            return command->run();
        } catch (const app::UsageError& error) {
            return refuse(command, error.what());
        }
    }

  private:
    Command* chosenCommand() const {
        for (std::size_t i = 0; i < commands_.size(); ++i)
            if (subcommands_[i]->parsed() > 0)
                return commands_[i].get();
        return nullptr;
    }

    const CLI::App& appOf(const Command* command) const {
        for (std::size_t i = 0; i < commands_.size(); ++i)
            if (commands_[i].get() == command)
                return *subcommands_[i];
        return app_;
    }

    std::string commandList() const {
        std::string list;
        for (const auto& command : commands_)
            list += (list.empty() ? "" : ", ") + std::string(command->name());
        return list;
    }

    // What is refused, and the command it is about (none: the program's own level).
    struct Refusal {
        const Command* command;
        std::string message;
    };

    // What CLI11 found wrong, in the command line's own words.
    Refusal describe(const CLI::ParseError& error) const {
        const Command* const command = chosenCommand();
        if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
            // An option whose value slot took the next option leaves that
            // option's value over: the first is what was wrong.
            if (const std::optional<std::string> message = swallowedOption(command))
                return {command, *message};
            if (const std::vector<std::string> extras = appOf(command).remaining(); !extras.empty())
                return {command, describeExtra(command, extras.front())};
            // Left over before the command, or after "--".
            if (const std::vector<std::string> extras = app_.remaining(); !extras.empty())
                return {nullptr, describeExtra(nullptr, extras.front())};
        }
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
            // CLI11 names the option with its dashes ("--songs: 1 required
            // N missing") or, for a flag given a value, without them.
            const std::string what = error.what();
            for (const std::string& name : optionNames(appOf(command))) {
                for (const std::string& named : {name, name.substr(2)}) {
                    if (what.compare(0, named.size(), named) != 0 || what.size() == named.size() ||
                        (what[named.size()] != ':' && what[named.size()] != ' '))
                        continue;
                    if (what.find("flag override") != std::string::npos)
                        return {command, name + " takes no value"};
                    return {command, needsValue(command, name)};
                }
            }
        }
        return {command, error.what()}; // not expected with these options; still one line
    }

    static std::string needsValue(const Command* command, const std::string& name) {
        const std::string accepts = command != nullptr ? command->accepts(name) : "";
        return name + " needs a value" + (accepts.empty() ? "" : ": " + accepts);
    }

    // CLI11 gives an option the next argument as its value even when that is
    // another option (`--songs --steps 400`, and `--songs= --steps 400`):
    // the first option then lacks its value.
    std::optional<std::string> swallowedOption(const Command* command) const {
        if (command == nullptr)
            return std::nullopt;
        const CLI::App& app = appOf(command);
        const std::vector<std::string> names = optionNames(app);
        for (const CLI::Option* option : app.get_options())
            for (const std::string& value : option->results())
                if (std::find(names.begin(), names.end(), value.substr(0, value.find('='))) != names.end())
                    return needsValue(command, option->get_name());
        return std::nullopt;
    }

    // An argument nobody took: an unknown option, a stray value, an unknown command.
    std::string describeExtra(const Command* command, const std::string& argument) const {
        const bool looksLikeOption = argument.size() > 1 && argument[0] == '-';
        if (looksLikeOption) {
            const std::string name = argument.substr(0, argument.find('='));
            if (command == nullptr) {
                for (const auto& other : commands_)
                    for (const std::string& optionName : optionNames(appOf(other.get())))
                        if (optionName == name) {
                            std::string message = name;
                            message += " is an option of a command: put the command first, as in 'quorvex ";
                            message += other->name();
                            message += " ";
                            message += name;
                            return message + " ...'";
                        }
            }
            std::string message = "unknown option " + quoteForMessage(name);
            return message + suggestion(name, optionNames(appOf(command)));
        }
        if (command != nullptr)
            return "unexpected argument " + quoteForMessage(argument) +
                   " (each value follows its option's name)";
        std::vector<std::string> names;
        for (const auto& other : commands_)
            names.emplace_back(other->name());
        const std::string hint = suggestion(argument, names);
        return quoteForMessage(argument) + " is not a command" +
               (hint.empty() ? "; the commands: " + commandList() : hint);
    }

    // One line on standard error: the command, the message, the hint to its help.
    static int refuse(const Command* command, const std::string& message) {
        const std::string name =
            command != nullptr ? std::string(programName) + " " + std::string(command->name()) : programName;
        const std::string line = name + ": " + message + "; see '" + name + " --help'\n";
        (void)writeFully(2, line.data(), line.size());
        return exitUsage;
    }

    // Help and version texts go to standard output.
    static int show(const std::string& text) {
        const int error = writeFully(1, text.data(), text.size());
        if (error == 0)
            return exitSuccess;
        const std::string line =
            std::string(programName) + ": cannot write to standard output: " + std::strerror(error) + "\n";
        (void)writeFully(2, line.data(), line.size());
        return exitFailure;
    }

    std::vector<std::unique_ptr<Command>> commands_ = makeCommands();
    std::vector<CLI::App*> subcommands_;
    CLI::App app_;
    CLI::Option* version_ = nullptr;
};

} // namespace

int runCommandLine(int argc, const char* const* argv) {
    try {
        CommandLine commandLine;
        return commandLine.run(argc, argv);
    } catch (const std::exception& error) {
        // Out of memory, or a thread that cannot be started: no partial file
        // has been left, as every file is written whole or not at all.
        const std::string line = std::string(programName) + ": " + error.what() + "\n";
        (void)writeFully(2, line.data(), line.size());
        return exitFailure;
    }
}

} // namespace quorvex::cli
