#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

#include "temp_file.h"

// The Windows side of the temporary file: in the system's temporary folder,
// created exclusively, binary.

namespace quorvex::testing {

TempFile::TempFile(const std::string& stem) {
    char folder[MAX_PATH + 1] = {};
    if (::GetTempPathA(sizeof folder, folder) == 0)
        return;
    for (unsigned attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "%06lu", (::GetTickCount() + attempt * 7919UL) % 1000000UL);
        const std::string candidate = std::string(folder) + stem + name;
        fd = ::_open(candidate.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd >= 0)
            path = candidate;
    }
}

TempFile::~TempFile() {
    if (fd < 0)
        return;
    ::_close(fd);
    ::_unlink(path.c_str());
}

} // namespace quorvex::testing
