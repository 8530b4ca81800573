#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/windows/windows_handles.h"

namespace quorvex::platform {

OpenedFile createOrEmptyFile(const std::string& path) {
    const int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                           _S_IREAD | _S_IWRITE);
    if (fd >= 0)
        return {fd, 0};
    int error = errno;
    // Windows refuses to open a directory as "access denied": say what it is.
    struct _stat info {};
    if (error == EACCES && ::_stat(path.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) != 0)
        error = EISDIR;
    return {-1, error};
}

int truncateFile(int fd, std::uint64_t size) {
    const HANDLE handle = handleOf(fd);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    if (::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) == 0 || ::SetEndOfFile(handle) == 0)
        return errnoOf(::GetLastError());
    return 0;
}

int closeFile(int fd) {
    return ::_close(fd) == 0 ? 0 : errno;
}

} // namespace quorvex::platform
