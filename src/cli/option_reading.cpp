#include "cli/option_reading.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "cli/option_texts.h"
#include "cli/option_values.h"
#include "cli/usage_error.h"
#include "platform/files.h"
#include "sim/engine/engine.h"

namespace quorvex::cli {

namespace {

// Whatever the system calls a device (/dev/null, NUL on Windows) is told
// apart as the writers will tell it apart.
bool takesOneText(const std::string& file) {
    if (file == "-")
        return false;
    return platform::examineTarget(file).kind != platform::FileTarget::Kind::stream;
}

} // namespace

CLI::Option* declareStepsOption(CLI::App& command) {
    return declareTextOption(command, "--steps", "S", "steps per song, 1 to 2147483647 (required)");
}

CLI::Option* declareThreadsOption(CLI::App& command, std::string_view sameForAnyCount) {
    return declareTextOption(command, "--threads", "T",
                             "threads, 1 to 1024 (default: the usable CPUs, " +
                                 std::to_string(defaultThreadCount()) + " here);\n" +
                                 std::string(sameForAnyCount));
}

CLI::Option* declareAtLeastOption(CLI::App& command) {
    return declareTextOption(command, "--at-least", "SCORE,...",
                             "also P(score >= SCORE) for each SCORE from 0 to 1000\n"
                             "(a score given twice counts once)");
}

CLI::Option* declareQuietFlag(CLI::App& command) {
    return declareFlag(command, "--quiet", "no progress line on the terminal");
}

std::string domainOf(std::string_view option, std::span<const OptionDomain> domains) {
    for (const OptionDomain& domain : domains)
        if (domain.option == option)
            return domain.accepts;
    return "";
}

std::string requiredText(const CLI::Option& option, std::string_view accepts) {
    std::optional<std::string> text = givenText(option);
    if (!text)
        throw UsageError(optionName(option) + " is required: " + std::string(accepts));
    return std::move(*text);
}

std::int64_t requiredWholeNumber(const CLI::Option& option, std::int64_t low, std::int64_t high,
                                 std::string_view accepts) {
    const std::string text = requiredText(option, accepts);
    const std::optional<std::int64_t> value = readWholeNumber(text, low, high);
    if (!value)
        refuseValue(optionName(option), text, accepts);
    return *value;
}

std::optional<std::int64_t> optionalWholeNumber(const CLI::Option& option, std::int64_t low,
                                                std::int64_t high, std::string_view accepts) {
    const std::optional<std::string> text = givenText(option);
    if (!text)
        return std::nullopt;
    const std::optional<std::int64_t> value = readWholeNumber(*text, low, high);
    if (!value)
        refuseValue(optionName(option), *text, accepts);
    return value;
}

int defaultThreadCount() {
    return static_cast<int>(std::min<std::int64_t>(affinityThreadCount(), threadLimit));
}

std::uint32_t seedSecond(const CLI::Option& option) {
    return static_cast<std::uint32_t>(optionalWholeNumber(option, 0, seedLimit, seedDomain)
                                          .value_or(static_cast<std::uint32_t>(std::time(nullptr))));
}

int threadCount(const CLI::Option& option) {
    return static_cast<int>(
        optionalWholeNumber(option, 1, threadLimit, threadDomain).value_or(defaultThreadCount()));
}

std::vector<std::int32_t> scoreList(const CLI::Option& option) {
    const std::optional<std::string> text = givenText(option);
    if (!text)
        return {};
    std::optional<std::vector<std::int32_t>> scores = readScoreList(*text);
    if (!scores)
        refuseValue(optionName(option), *text, scoresDomain);
    return std::move(*scores);
}

ReportFormat reportFormat(const CLI::Option& option) {
    const std::optional<std::string> text = givenText(option);
    if (!text || *text == "text")
        return ReportFormat::text;
    if (*text == "csv")
        return ReportFormat::csv;
    if (*text == "json")
        return ReportFormat::json;
    refuseValue(optionName(option), *text, formatDomain);
}

std::optional<std::string> fileName(const CLI::Option& option) {
    std::optional<std::string> text = givenText(option);
    if (text && text->empty())
        refuseValue(optionName(option), *text, fileDomain);
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
                message.append(" ").append(quoteForMessage(*file)).append(" names the file ").append(takenBy);
                throw UsageError(message.append(" writes; give each its own file"));
            }
        taken.emplace_back(option, *file);
    }
}

} // namespace quorvex::cli
