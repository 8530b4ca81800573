#include "temp_file.h"

#include <stdlib.h>
#include <unistd.h>

namespace quorvex::testing {

TempFile::TempFile(const std::string& stem) {
    const char* base = ::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + stem + "XXXXXX";
    fd = ::mkstemp(pattern.data());
    if (fd >= 0)
        path = pattern;
}

TempFile::~TempFile() {
    if (fd < 0)
        return;
    ::close(fd);
    ::unlink(path.c_str());
}

} // namespace quorvex::testing
