#include "output/text_layout.h"

#include <algorithm>

namespace quorvex::output {

int displayWidth(std::string_view text) {
    int width = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U)
            ++width;
    }
    return width;
}

std::string padRight(std::string_view text, int width) {
    std::string padded(text);
    const int missing = width - displayWidth(text);
    if (missing > 0)
        padded.append(static_cast<std::size_t>(missing), ' ');
    return padded;
}

std::string padLeft(std::string_view text, int width) {
    const int missing = width - displayWidth(text);
    std::string padded(missing > 0 ? static_cast<std::size_t>(missing) : 0U, ' ');
    return padded.append(text);
}

std::string shortened(std::string_view text, std::size_t longest, std::string_view ellipsis) {
    if (text.size() <= longest)
        return std::string(text);
    std::size_t cut = longest - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U)
        --cut; // not inside a UTF-8 sequence
    return std::string(text.substr(0, cut)).append(ellipsis);
}

std::vector<WrapItem> wordsOf(std::string_view sentence) {
    std::vector<WrapItem> found;
    std::size_t start = 0;
    while (start < sentence.size()) {
        const std::size_t end = std::min(sentence.find(' ', start), sentence.size());
        if (end > start)
            found.push_back({" ", std::string(sentence.substr(start, end - start))});
        start = end + 1;
    }
    return found;
}

std::vector<std::string> joinWrapped(const std::vector<WrapItem>& items, int columns, int firstWidth,
                                     int indent) {
    std::vector<std::string> lines;
    std::string line;
    int used = firstWidth;
    bool lineEmpty = true;
    for (const WrapItem& item : items) {
        if (!lineEmpty && used + displayWidth(item.glue) + displayWidth(item.text) > columns) {
            lines.push_back(line);
            line.assign(static_cast<std::size_t>(indent), ' ');
            used = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            line.append(item.glue);
            used += displayWidth(item.glue);
        }
        line.append(item.text);
        used += displayWidth(item.text);
        lineEmpty = false;
    }
    if (!lineEmpty)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> joinWrapped(const std::vector<std::string>& items, std::string_view separator,
                                     int columns, int firstWidth, int indent) {
    std::vector<WrapItem> glued;
    glued.reserve(items.size());
    for (const std::string& item : items)
        glued.push_back({std::string(separator), item});
    return joinWrapped(glued, columns, firstWidth, indent);
}

} // namespace quorvex::output
