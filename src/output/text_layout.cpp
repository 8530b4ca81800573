#include "output/text_layout.h"

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
