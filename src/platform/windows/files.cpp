#include "platform/files.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/descriptor_io.h"
#include "platform/guarded_paths.h"
#include "platform/windows/windows_handles.h"

// The file pieces on Windows' own file functions. Paths handed back use "/"
// between names (Windows takes either), so the policy above finds a file's
// folder the same way on both systems.

namespace quorvex::platform {

namespace {

FileResult failure(int error) {
    return {FileResult::Status::failed, std::strerror(error)};
}

FileResult failureOf(DWORD systemError) {
    return failure(errnoOf(systemError));
}

std::string withForwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The path a handle on a disk file finally leads to, links followed, as
// "C:/folder/name" (without the "\\?\" the system puts in front).
std::string finalPathOf(HANDLE handle, const std::string& fallback) {
    std::array<char, 32768> buffer{};
    const DWORD length = ::GetFinalPathNameByHandleA(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= buffer.size())
        return fallback;
    std::string path(buffer.data(), length);
    constexpr std::string_view longPrefix = R"(\\?\)";
    if (path.compare(0, longPrefix.size(), longPrefix) == 0 && path.size() > 6 && path[5] == ':')
        path.erase(0, longPrefix.size());
    return withForwardSlashes(path);
}

// The interrupt guard: the console's control handler runs on a thread of
// its own.
GuardedPaths<MAX_PATH * 4> guardedPaths;

// Ctrl+C, Ctrl+Break, the console window closed, logoff, shutdown: the
// guarded files go, then the next handler (the system's ends the process).
BOOL WINAPI onConsoleControl(DWORD /*event*/) {
    removeGuardedFilesNow();
    return FALSE;
}

} // namespace

FileTarget examineTarget(const std::string& name) {
    // A handle that only queries, which opens files, folders and devices
    // alike and follows links to what they lead to.
    const HANDLE handle =
        ::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return {FileTarget::Kind::missing, withForwardSlashes(name), {}};
        return {FileTarget::Kind::failed, name, std::strerror(errnoOf(error))};
    }
    FileTarget target{FileTarget::Kind::stream, name, {}};
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &information) != 0) {
        if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            target = {FileTarget::Kind::failed, name, std::strerror(EISDIR)};
        else
            target = {FileTarget::Kind::regular, finalPathOf(handle, withForwardSlashes(name)), {}};
    }
    ::CloseHandle(handle);
    return target;
}

FileResult writeStandardOutput(std::string_view bytes) {
    const int error = writeFully(1, bytes.data(), bytes.size());
    return error == 0 ? FileResult{} : failure(error);
}

FileResult writeStream(const std::string& path, std::string_view bytes) {
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failureOf(::GetLastError());
    const int error = writeToHandle(handle, bytes.data(), bytes.size());
    ::CloseHandle(handle);
    return error == 0 ? FileResult{} : failure(error);
}

FileResult writeNewFile(const std::string& path, std::string_view bytes) {
    const HANDLE handle =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return {FileResult::Status::nameTaken, std::strerror(EEXIST)};
        return failureOf(error);
    }
    int error = writeToHandle(handle, bytes.data(), bytes.size());
    if (::CloseHandle(handle) == 0 && error == 0)
        error = errnoOf(::GetLastError());
    if (error != 0) {
        ::DeleteFileA(path.c_str());
        return failure(error);
    }
    return {};
}

FileResult renameOver(const std::string& from, const std::string& to) {
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) == 0)
        return failureOf(::GetLastError());
    return {};
}

void removeFile(const std::string& path) {
    ::DeleteFileA(path.c_str());
}

int guardTemporaryFile(const std::string& path) {
    static const bool installed = ::SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
    (void)installed;
    return guardedPaths.guard(path);
}

void releaseTemporaryFile(int slot) {
    guardedPaths.release(slot);
}

void removeGuardedFilesNow() {
    guardedPaths.removeAll([](const char* path) { ::DeleteFileA(path); });
}

} // namespace quorvex::platform
