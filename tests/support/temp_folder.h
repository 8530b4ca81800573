#pragma once

// A fresh empty folder of the test's own under the system's temporary folder,
// removed with everything in it when the helper goes out of scope.

#include <string>
#include <vector>

namespace quorvex::testing {

struct TempFolder {
    // Owns a folder: never copied, so never removed twice.
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path; // empty if the folder could not be made

    // The folder's name starts with `stem` and ends with six characters of mkdtemp's own.
    explicit TempFolder(const std::string& stem);
    ~TempFolder();

    // `name` inside the folder.
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // The names in the folder (see namesIn).
    std::vector<std::string> names() const;
};

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> namesIn(const std::string& folder);

// The whole contents of a file, or "<unreadable>" when it cannot be read.
std::string contentsOf(const std::string& path);

} // namespace quorvex::testing
