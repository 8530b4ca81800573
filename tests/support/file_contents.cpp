// Reading and writing whole files for the end-to-end tests, the same on
// every system (declared with the program runner, whose runs they inspect).

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "program_runner.h"

namespace quorvex::testing {

std::optional<std::string> readFile(const std::string& path) {
    // Only regular files (links followed): a device behind the name
    // (/dev/full reads as endless zeros) or a directory has no contents to compare.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

} // namespace quorvex::testing
