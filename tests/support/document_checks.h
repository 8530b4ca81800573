#pragma once

// Looking into the documents the writers produce: how often a piece of text
// appears, whether an SVG is well-formed XML, and a json object's keys in
// their order.

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "temp_folder.h"

namespace quorvex::testing {

inline int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// xmllint's verdict on the document: 0 when it is well-formed XML. xmllint
// is the host's program: callers skip this where it does not run (Windows).
inline int xmllintStatus(const std::string& svg) {
    const TempFolder folder("xmllint_check");
    const std::string path = folder / "plot.svg";
    std::ofstream(path, std::ios::binary) << svg;
    return std::system(("xmllint --noout '" + path + "' 2>&1").c_str());
}

inline std::vector<std::string> keysOf(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items())
        keys.push_back(item.key());
    return keys;
}

} // namespace quorvex::testing
