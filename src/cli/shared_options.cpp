#include "cli/shared_options.h"

#include <algorithm>
#include <string>

#include "app/option_reader.h"
#include "app/option_values.h"
#include "app/program_version.h"
#include "app/usage_error.h"
#include "cli/cli11_options.h"
#include "platform/files.h"

namespace quorvex::cli {

namespace {

// Whatever the system calls a device (/dev/null, NUL on Windows) is told
// apart as the writers will tell it apart.
bool takesOneText(const std::string& file) {
    if (file == "-")
        return false;
    return platform::examineTarget(file).kind != platform::FileTarget::Kind::stream;
}

// "a, b or c" (joiner ", " and last " or "), or "a, b, c" when `last` is ", ".
std::string listed(const std::vector<output::Format>& formats, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0)
            text += i + 1 == formats.size() ? last : ", ";
        text += output::formatName(formats[i]);
    }
    return text;
}

std::string dashless(const CLI::Option& option) {
    return optionName(option).substr(2);
}

} // namespace

std::vector<output::Format> reportFormats(std::span<const output::Format> formats) {
    std::vector<output::Format> report;
    for (const output::Format format : formats)
        if (format != output::Format::svg && format != output::Format::results)
            report.push_back(format);
    return report;
}

std::string reportFormatDomain(std::span<const output::Format> formats) {
    return "one of " + listed(reportFormats(formats), ", ");
}

CLI::Option* declareThreadsOption(CLI::App& command, std::string_view sameForAnyCount) {
    return declareTextOption(command, "--threads", "T",
                             "threads, 1 to 1024 (default: the usable CPUs, " +
                                 std::to_string(app::defaultThreadCount()) + " here);\n" +
                                 std::string(sameForAnyCount));
}

CLI::Option* declareFormatOption(CLI::App& command, std::span<const output::Format> formats) {
    return declareTextOption(command, "--format", "FORMAT",
                             listed(reportFormats(formats), " or ") + " (default: text)");
}

CLI::Option* declareFileOption(CLI::App& command, const std::string& name, const std::string& valueName,
                               const std::string& help) {
    return declareTextOption(command, name, valueName, help);
}

CLI::Option* declareQuietFlag(CLI::App& command) {
    return declareFlag(command, "--quiet", "no progress line on the terminal");
}

int threadCount(const CLI::Option& option) {
    const std::optional<std::string> text = givenText(option);
    if (!text)
        return app::defaultThreadCount();
    const std::optional<std::int64_t> threads = app::readWholeNumber(*text, 1, app::threadLimit);
    if (!threads)
        app::refuseValue(dashless(option), *text, app::threadDomain);
    return static_cast<int>(*threads);
}

output::Format reportFormat(const CLI::Option& option, std::span<const output::Format> formats) {
    const std::optional<std::string> text = givenText(option);
    if (!text)
        return output::Format::text;
    const std::vector<output::Format> report = reportFormats(formats);
    const std::optional<output::Format> format = output::formatNamed(*text);
    if (!format || std::find(report.begin(), report.end(), *format) == report.end())
        app::refuseValue(dashless(option), *text, reportFormatDomain(formats));
    return *format;
}

std::optional<std::string> fileName(const CLI::Option& option) {
    std::optional<std::string> text = givenText(option);
    if (text && text->empty())
        app::refuseValue(dashless(option), *text, fileDomain);
    return text;
}

void refuseSharedFiles(const std::vector<std::pair<std::string, std::optional<std::string>>>& files) {
    std::vector<std::pair<std::string, std::string>> taken;
    for (const auto& [option, file] : files) {
        if (!file)
            continue;
        for (const auto& [takenBy, takenFile] : taken)
            if (*file == takenFile && takesOneText(takenFile)) {
                std::string message = option;
                message.append(" ")
                    .append(app::quoteForMessage(*file))
                    .append(" names the file ")
                    .append(takenBy);
                throw app::UsageError(message.append(" writes; give each its own file"), option.substr(2));
            }
        taken.emplace_back(option, *file);
    }
}

} // namespace quorvex::cli
