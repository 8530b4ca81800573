#pragma once

// The file operations whole-file output is built from. Each side (posix/,
// windows/) implements them with its own system calls; the policy (which
// route a name takes, the temporary name, the order of the steps, the error
// texts) lives above, in output/file_output.

#include <string>
#include <string_view>

namespace quorvex::platform {

// How an operation ended. `reason` is the system's own words for a failure,
// one line without a full stop ("No such file or directory").
struct FileResult {
    enum class Status { done, nameTaken, failed };
    Status status = Status::done;
    std::string reason;

    bool done() const { return status == Status::done; }
};

// What a name on the command line leads to once symbolic links are followed.
struct FileTarget {
    enum class Kind {
        missing, // nothing there yet (its folder may be missing too)
        regular, // a regular file: replaced whole
        stream,  // a device, a pipe, a descriptor of this process: written in place, never replaced
        failed,  // the name could not be examined: see `reason`
    };
    Kind kind = Kind::missing;
    std::string path; // the name to write or create: the end of any chain of links
    std::string reason;
};

FileTarget examineTarget(const std::string& name);

// Writes every byte to the process's standard output, unchanged (no line-end
// translation), continuing partial writes. A closed pipe is a failure, never
// the end of the process.
FileResult writeStandardOutput(std::string_view bytes);

// Opens an existing stream target (see FileTarget::Kind::stream) for writing,
// writes every byte and closes it. Never creates, truncates or replaces.
FileResult writeStream(const std::string& path, std::string_view bytes);

// Creates `path`, which must not exist (status nameTaken when it does), with
// the permissions any new file gets, writes every byte and closes it. When
// writing or closing fails, the file is removed again before returning.
FileResult writeNewFile(const std::string& path, std::string_view bytes);

// Renames `from` over `to` in one step: `to` is either left as it was or
// replaced whole. Both lie in the same folder.
FileResult renameOver(const std::string& from, const std::string& to);

// Removes a file this process created; failures are ignored.
void removeFile(const std::string& path);

// Temporary files that an interrupt (Ctrl+C, SIGINT, SIGTERM; on Windows the
// console's break events) must not leave behind. While a name is guarded, an
// interrupt removes the file before the process ends. Guarding installs the
// handler the first time; a signal the process ignores stays ignored, and a
// handler installed before is called after the removal. Up to
// `guardedFileLimit` names at once; returns a slot to release, or -1 when
// all slots are taken or the name is too long (the file is then unguarded).
inline constexpr int guardedFileLimit = 16;
int guardTemporaryFile(const std::string& path);
void releaseTemporaryFile(int slot);

// Removes every guarded file now. Safe inside a signal handler, for a
// program that installs its own handler for these signals after the guard's.
void removeGuardedFilesNow();

} // namespace quorvex::platform
