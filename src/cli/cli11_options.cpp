#include "cli/cli11_options.h"

#include <CLI/CLI.hpp>

#include "app/option_reader.h"
#include "app/usage_error.h"

namespace quorvex::cli {

CLI::Option* declareTextOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help) {
    // Every occurrence is kept, so that a repeated option is reported rather
    // than silently taking the first or the last value.
    return command.add_option(name, help)->type_name(valueName)->take_all();
}

CLI::Option* declareFlag(CLI::App& command, const std::string& name, const std::string& help) {
    return command.add_flag(name, help)->disable_flag_override();
}

void setHelpFooter(CLI::App& command, const std::string& footer) {
    command.footer(footer);
}

void groupOption(CLI::Option& option, const std::string& heading) {
    option.group(heading);
}

std::string optionName(const CLI::Option& option) {
    return option.get_name();
}

bool flagGiven(const CLI::Option& flag) {
    return flag.count() > 0;
}

const std::vector<std::string>& givenTexts(const CLI::Option& option) {
    return option.results();
}

std::optional<std::string> givenText(const CLI::Option& option) {
    const std::vector<std::string>& texts = option.results();
    if (texts.empty())
        return std::nullopt;
    if (texts.size() > 1) {
        std::string given;
        for (const std::string& text : texts)
            given += (given.empty() ? "" : ", ") + app::quoteForMessage(text);
        throw app::UsageError(option.get_name() + " is given " + std::to_string(texts.size()) + " times (" +
                                  given + "); give it once",
                              option.get_name().substr(2));
    }
    return texts.front();
}

} // namespace quorvex::cli
