#include "output/file_output.h"

#include <chrono>
#include <random>

#include "platform/files.h"

namespace quorvex::output {

namespace {

using platform::FileResult;

WriteResult failed(const std::string& what, const std::string& reason) {
    return {false, "Cannot write " + what + ": " + reason};
}

// A hidden name beside `path` that no one else is likely to use:
// "dir/.name.x7Q2pK.part". Each call draws a new one.
std::string temporaryNameBeside(const std::string& path) {
    static constexpr std::string_view alphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(0, nameStart);
    name.append(".").append(path, nameStart).append(".");
    for (int i = 0; i < 6; ++i)
        name.push_back(alphabet[generator() % alphabet.size()]);
    return name.append(".part");
}

// Keeps a temporary name on the interrupt guard's list for as long as it lives.
class InterruptGuard {
  public:
    explicit InterruptGuard(const std::string& path) : slot_(platform::guardTemporaryFile(path)) {}
    ~InterruptGuard() { platform::releaseTemporaryFile(slot_); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    int slot_;
};

// Replaces the file whole: a fresh temporary file beside it, complete and
// closed, then renamed over the target in one step, so that a reader sees
// the old file or the new one, never a part of either.
FileResult replaceWhole(const std::string& path, std::string_view contents) {
    constexpr int attempts = 64; // name clashes are rare: a 62^6 space
    FileResult result{FileResult::Status::nameTaken, {}};
    for (int attempt = 0; attempt < attempts && result.status == FileResult::Status::nameTaken; ++attempt) {
        const std::string temporary = temporaryNameBeside(path);
        const InterruptGuard guard(temporary);
        // 1. Create it exclusively and write it whole; a failure removes it.
        result = platform::writeNewFile(temporary, contents);
        if (!result.done())
            continue;
        // 2. Rename it over the target, or remove it and leave the target alone.
        result = platform::renameOver(temporary, path);
        if (!result.done())
            platform::removeFile(temporary);
    }
    return result;
}

} // namespace

WriteResult writeWholeFile(const std::string& name, std::string_view contents) {
    if (name == "-") {
        const FileResult result = platform::writeStandardOutput(contents);
        return result.done() ? WriteResult{true, {}} : failed("standard output", result.reason);
    }
    if (name.empty())
        return {false, "Cannot write a file with an empty name"};

    const platform::FileTarget target = platform::examineTarget(name);
    FileResult result;
    switch (target.kind) {
    case platform::FileTarget::Kind::failed:
        return failed(name, target.reason);
    case platform::FileTarget::Kind::stream:
        result = platform::writeStream(target.path, contents);
        break;
    case platform::FileTarget::Kind::missing:
    case platform::FileTarget::Kind::regular:
        result = replaceWhole(target.path, contents);
        break;
    }
    return result.done() ? WriteResult{true, {}} : failed(name, result.reason);
}

} // namespace quorvex::output
