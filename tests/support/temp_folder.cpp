#include "temp_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvex::testing {

TempFolder::TempFolder(const std::string& stem) {
    const char* base = ::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + stem + "XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr)
        path = pattern;
}

TempFolder::~TempFolder() {
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> TempFolder::names() const {
    return namesIn(path);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<unreadable>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace quorvex::testing
