#include "temp_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <direct.h>
#include <io.h>

#include <string>

namespace {
// mkdtemp's counterpart on Windows: the six X's made unique, then the folder
// created (a name taken meanwhile is tried again with new letters).
char* mkdtemp(char* pattern) {
    const std::string original = pattern;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::memcpy(pattern, original.c_str(), original.size() + 1);
        if (::_mktemp_s(pattern, original.size() + 1) != 0)
            return nullptr;
        if (::_mkdir(pattern) == 0)
            return pattern;
    }
    return nullptr;
}
} // namespace
#endif

namespace quorvex::testing {

TempFolder::TempFolder(const std::string& stem) {
#ifdef _WIN32
    const std::string base = std::filesystem::temp_directory_path().string();
#else
    const char* set = ::getenv("TMPDIR");
    const std::string base = set != nullptr && *set != '\0' ? set : "/tmp";
#endif
    std::string pattern = base + "/" + stem + "XXXXXX";
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
