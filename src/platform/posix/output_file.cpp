#include "platform/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex::platform {

OpenedFile createOrEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd >= 0 ? OpenedFile{fd, 0} : OpenedFile{-1, errno};
}

int truncateFile(int fd, std::uint64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int closeFile(int fd) {
    return ::close(fd) == 0 ? 0 : errno;
}

} // namespace quorvex::platform
