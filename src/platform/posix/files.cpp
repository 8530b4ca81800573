#include "platform/files.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <optional>

#include "platform/descriptor_io.h"
#include "platform/guarded_paths.h"

namespace quorvex::platform {

namespace {

FileResult failure(int error) {
    return {FileResult::Status::failed, std::strerror(error)};
}

// Every byte to `fd` (writeFully: through interrupted and partial
// writes, never ended by a closed pipe); 0 or the errno that stopped it.
int writeAll(int fd, std::string_view bytes) {
    return writeFully(fd, bytes.data(), bytes.size());
}

// Names of this process's own descriptors.

// The descriptor N a name "/proc/self/fd/N" or "/dev/fd/N" stands for. Such a
// name is written through the descriptor itself: opening it anew would start
// at offset 0 of a file the shell opened for appending, or truncate it.
std::optional<int> ownDescriptorNamed(std::string_view path) {
    for (const std::string_view prefix : {"/proc/self/fd/", "/dev/fd/"}) {
        if (path.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view digits = path.substr(prefix.size());
        int fd = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
            return fd;
    }
    return std::nullopt;
}

// The interrupt guard.

GuardedPaths<PATH_MAX> guardedPaths;

constexpr std::array<int, 2> guardedSignals{SIGINT, SIGTERM};
std::array<struct sigaction, guardedSignals.size()> previousActions{};

void onInterrupt(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    removeGuardedFilesNow();
    for (std::size_t i = 0; i < guardedSignals.size(); ++i) {
        if (guardedSignals[i] != signal)
            continue;
        const struct sigaction& previous = previousActions[i];
        if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
            previous.sa_sigaction(signal, info, context);
        } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signal);
        } else {
            // End the process as the signal itself would have.
            struct sigaction fallback {};
            fallback.sa_handler = SIG_DFL;
            sigemptyset(&fallback.sa_mask);
            sigaction(signal, &fallback, nullptr);
            sigset_t only;
            sigemptyset(&only);
            sigaddset(&only, signal);
            ::raise(signal);
            pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        }
    }
    errno = savedErrno;
}

bool installInterruptHandler() {
    for (std::size_t i = 0; i < guardedSignals.size(); ++i) {
        struct sigaction current {};
        if (sigaction(guardedSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue; // an ignored interrupt stays ignored
        previousActions[i] = current;
        struct sigaction ours {};
        ours.sa_sigaction = onInterrupt;
        ours.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&ours.sa_mask);
        for (const int other : guardedSignals)
            sigaddset(&ours.sa_mask, other);
        sigaction(guardedSignals[i], &ours, nullptr);
    }
    return true;
}

} // namespace

FileTarget examineTarget(const std::string& name) {
    // Follow the chain of links by hand, so that a link into this process's
    // descriptors is seen before the kernel resolves it to what lies behind.
    constexpr int maxLinks = 40; // the kernel's own limit for one lookup
    std::string path = name;
    for (int link = 0; link <= maxLinks; ++link) {
        if (ownDescriptorNamed(path))
            return {FileTarget::Kind::stream, path, {}};
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno == ENOENT)
                return {FileTarget::Kind::missing, path, {}};
            return {FileTarget::Kind::failed, path, std::strerror(errno)};
        }
        if (S_ISREG(status.st_mode))
            return {FileTarget::Kind::regular, path, {}};
        if (!S_ISLNK(status.st_mode))
            return {FileTarget::Kind::stream, path, {}};

        std::array<char, PATH_MAX> buffer{};
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0)
            return {FileTarget::Kind::failed, path, std::strerror(errno)};
        if (static_cast<std::size_t>(length) >= buffer.size())
            return {FileTarget::Kind::failed, path, std::strerror(ENAMETOOLONG)};
        const std::string_view linkText(buffer.data(), static_cast<std::size_t>(length));
        // A relative link is read from the folder that holds the link.
        const std::size_t slash = path.rfind('/');
        if ((!linkText.empty() && linkText.front() == '/') || slash == std::string::npos)
            path = linkText;
        else
            path = path.substr(0, slash + 1).append(linkText);
    }
    return {FileTarget::Kind::failed, name, std::strerror(ELOOP)};
}

FileResult writeStandardOutput(std::string_view bytes) {
    const int error = writeAll(STDOUT_FILENO, bytes);
    return error == 0 ? FileResult{} : failure(error);
}

FileResult writeStream(const std::string& path, std::string_view bytes) {
    if (const std::optional<int> fd = ownDescriptorNamed(path)) {
        const int error = writeAll(*fd, bytes);
        return error == 0 ? FileResult{} : failure(error);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    const int writeError = writeAll(fd, bytes);
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    if (writeError != 0)
        return failure(writeError);
    return closeError == 0 ? FileResult{} : failure(closeError);
}

FileResult writeNewFile(const std::string& path, std::string_view bytes) {
    // 0666 less the umask, as the shell's `>` would create it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return {FileResult::Status::nameTaken, std::strerror(EEXIST)};
        return failure(errno);
    }
    int error = writeAll(fd, bytes);
    // A full disk or a quota can show only when the data is flushed at close.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        return failure(error);
    }
    return {};
}

FileResult renameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return failure(errno);
    return {};
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

int guardTemporaryFile(const std::string& path) {
    static const bool installed = installInterruptHandler();
    (void)installed;
    return guardedPaths.guard(path);
}

void releaseTemporaryFile(int slot) {
    guardedPaths.release(slot);
}

void removeGuardedFilesNow() {
    // unlink(2) and lock-free atomics are async-signal-safe.
    guardedPaths.removeAll([](const char* path) { ::unlink(path); });
}

} // namespace quorvex::platform
