#include "cli/option_texts.h"

#include <CLI/CLI.hpp>

#include "cli/usage_error.h"

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

void groupOptions(const std::string& heading, std::initializer_list<CLI::Option*> options) {
    for (CLI::Option* option : options)
        option->group(heading);
}

std::string optionName(const CLI::Option& option) {
    return option.get_name();
}

bool flagGiven(const CLI::Option& flag) {
    return flag.count() > 0;
}

std::optional<std::string> givenText(const CLI::Option& option) {
    const std::vector<std::string>& texts = option.results();
    if (texts.empty())
        return std::nullopt;
    if (texts.size() > 1) {
        std::string given;
        for (const std::string& text : texts)
            given += (given.empty() ? "" : ", ") + quoteForMessage(text);
        throw UsageError(option.get_name() + " is given " + std::to_string(texts.size()) + " times (" +
                         given + "); give it once");
    }
    return texts.front();
}

std::string quoteForMessage(std::string_view text) {
    static constexpr char hexDigits[] = "0123456789abcdef";
    std::string shown = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += c;
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            shown += hexDigits[byte >> 4];
            shown += hexDigits[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

void refuseValue(std::string_view option, std::string_view text, std::string_view accepts) {
    throw UsageError(std::string(option) + " " + quoteForMessage(text) + " is not " + std::string(accepts));
}

} // namespace quorvex::cli
