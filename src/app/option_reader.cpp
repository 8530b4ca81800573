#include "app/option_reader.h"

#include <algorithm>

#include "app/option_values.h"
#include "app/usage_error.h"

namespace quorvex::app {

namespace {

std::string dashed(std::string_view option) {
    return "--" + std::string(option);
}

} // namespace

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
    throw UsageError(dashed(option) + " " + quoteForMessage(text) + " is not " + std::string(accepts),
                     std::string(option));
}

OptionReader::OptionReader(const CommandEntry& command, const OptionTexts& texts)
    : command_(command), texts_(texts) {
    for (const OptionText& given : texts) {
        const bool known = std::any_of(command.options.begin(), command.options.end(),
                                       [&](const OptionEntry& entry) { return entry.name == given.name; });
        if (!known)
            throw UsageError("unknown option " + quoteForMessage(given.name), given.name);
    }
}

std::string_view OptionReader::accepts(std::string_view option) const {
    for (const OptionEntry& entry : command_.options)
        if (entry.name == option)
            return entry.accepts;
    return "";
}

std::optional<std::string> OptionReader::given(std::string_view option) const {
    std::vector<const std::string*> found;
    for (const OptionText& given : texts_)
        if (given.name == option)
            found.push_back(&given.text);
    if (found.empty())
        return std::nullopt;
    if (found.size() > 1) {
        std::string listed;
        for (const std::string* text : found)
            listed += (listed.empty() ? "" : ", ") + quoteForMessage(*text);
        throw UsageError(dashed(option) + " is given " + std::to_string(found.size()) + " times (" + listed +
                             "); give it once",
                         std::string(option));
    }
    return *found.front();
}

std::string OptionReader::required(std::string_view option) const {
    std::optional<std::string> text = given(option);
    if (!text)
        throw UsageError(dashed(option) + " is required: " + std::string(accepts(option)),
                         std::string(option));
    return std::move(*text);
}

std::int64_t OptionReader::requiredWholeNumber(std::string_view option, std::int64_t low,
                                               std::int64_t high) const {
    const std::string text = required(option);
    const std::optional<std::int64_t> value = readWholeNumber(text, low, high);
    if (!value)
        refuse(option, text);
    return *value;
}

std::optional<std::int64_t> OptionReader::optionalWholeNumber(std::string_view option, std::int64_t low,
                                                              std::int64_t high) const {
    const std::optional<std::string> text = given(option);
    if (!text)
        return std::nullopt;
    const std::optional<std::int64_t> value = readWholeNumber(*text, low, high);
    if (!value)
        refuse(option, *text);
    return value;
}

std::uint32_t OptionReader::seedSecond(std::uint32_t currentSecond) const {
    return static_cast<std::uint32_t>(optionalWholeNumber("seed", 0, seedLimit).value_or(currentSecond));
}

std::vector<std::int32_t> OptionReader::scoreList() const {
    const std::optional<std::string> text = given("at-least");
    if (!text)
        return {};
    std::optional<std::vector<std::int32_t>> scores = readScoreList(*text);
    if (!scores)
        refuse("at-least", *text);
    return std::move(*scores);
}

void OptionReader::refuse(std::string_view option, std::string_view text) const {
    refuseValue(option, text, accepts(option));
}

OptionTexts OptionReader::asRead(std::uint32_t seed) const {
    OptionTexts read;
    for (const OptionEntry& entry : command_.options) {
        if (const std::optional<std::string> text = given(entry.name))
            read.push_back({std::string(entry.name), *text});
        else if (entry.name == "seed")
            read.push_back({"seed", std::to_string(seed)});
    }
    return read;
}

} // namespace quorvex::app
