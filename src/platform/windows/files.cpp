#include "platform/files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "platform/descriptor_io.h"
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

// Every byte to the handle; 0 or the errno that stopped it.
int writeAll(HANDLE handle, std::string_view bytes) {
    constexpr std::size_t largestCall = std::size_t{1} << 30;
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), largestCall));
        if (::WriteFile(handle, bytes.data(), chunk, &written, nullptr) == 0)
            return errnoOf(::GetLastError());
        if (written == 0)
            return EIO;
        bytes.remove_prefix(written);
    }
    return 0;
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

// The interrupt guard: fixed slots the console's control handler, which runs
// on a thread of its own, reads without locks. A slot is free (0), being
// filled (1) or holds a name (2).

static_assert(std::atomic<int>::is_always_lock_free, "the control handler reads the slots");

struct GuardSlot {
    std::atomic<int> state{0};
    std::array<char, MAX_PATH * 4> path{};
};

std::array<GuardSlot, guardedFileLimit> guardSlots;

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
    const int error = writeAll(handle, bytes);
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
    int error = writeAll(handle, bytes);
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
    for (std::size_t slot = 0; slot < guardSlots.size(); ++slot) {
        if (path.size() >= guardSlots[slot].path.size())
            return -1;
        int expected = 0;
        if (!guardSlots[slot].state.compare_exchange_strong(expected, 1))
            continue;
        std::memcpy(guardSlots[slot].path.data(), path.c_str(), path.size() + 1);
        guardSlots[slot].state.store(2, std::memory_order_release);
        return static_cast<int>(slot);
    }
    return -1;
}

void releaseTemporaryFile(int slot) {
    if (slot >= 0 && slot < guardedFileLimit)
        guardSlots[static_cast<std::size_t>(slot)].state.store(0, std::memory_order_release);
}

void removeGuardedFilesNow() {
    for (GuardSlot& slot : guardSlots) {
        if (slot.state.load(std::memory_order_acquire) == 2)
            ::DeleteFileA(slot.path.data());
    }
}

} // namespace quorvex::platform
