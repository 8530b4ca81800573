#pragma once

// A fresh empty file of the test's own under the system's temporary folder:
// open for reading and writing, and removed, name and descriptor, when the
// helper goes out of scope.

#include <string>

namespace quorvex::testing {

struct TempFile {
    // Owns a descriptor and a name: never copied, so never closed or removed twice.
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd = -1; // -1 if the file could not be made
    std::string path;

    // The file's name starts with `stem` and ends with six characters of mkstemp's own.
    explicit TempFile(const std::string& stem);
    ~TempFile();
};

} // namespace quorvex::testing
