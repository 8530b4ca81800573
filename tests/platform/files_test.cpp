// The platform's file pieces: where a name leads, exclusive creation, and
// temporary files that an interrupt removes.

#include "platform/files.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "posix_only.h"
#include "temp_folder.h"

namespace quorvex::platform {
namespace {

using testing::inChild;
using testing::TempFolder;

// Something is there under the name, a dangling link included.
bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

#ifndef _WIN32
TEST(ExamineTarget, ALoopOfLinksFails) {
    const TempFolder folder("files_test");
    ASSERT_EQ(::symlink("b", (folder / "a").c_str()), 0);
    ASSERT_EQ(::symlink("a", (folder / "b").c_str()), 0);
    const FileTarget target = examineTarget(folder / "a");
    EXPECT_EQ(target.kind, FileTarget::Kind::failed);
    EXPECT_EQ(target.reason, "Too many levels of symbolic links");
}

#else
SKIPPED_ON_WINDOWS(ExamineTarget, ALoopOfLinksFails, "making symbolic links needs a privilege there")
#endif

TEST(WriteNewFile, NeverTouchesAFileThatExists) {
    const TempFolder folder("files_test");
    std::ofstream(folder / "taken") << "theirs";
    const FileResult result = writeNewFile(folder / "taken", "ours");
    EXPECT_EQ(result.status, FileResult::Status::nameTaken);
    EXPECT_EQ(testing::contentsOf(folder / "taken"), "theirs");
}

#ifndef _WIN32
TEST(InterruptGuard, AnInterruptRemovesGuardedFilesAndStillEndsTheProcess) {
    const TempFolder folder("files_test");
    const int status = inChild([&] {
        if (!writeNewFile(folder / "partial", "half").done() || guardTemporaryFile(folder / "partial") < 0)
            return 2;
        // A name released again is no longer the guard's to remove.
        const int kept = guardTemporaryFile(folder / "kept");
        if (!writeNewFile(folder / "kept", "whole").done())
            return 2;
        releaseTemporaryFile(kept);
        ::raise(SIGTERM);
        return 3; // not reached: the signal's default action ends the process
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_FALSE(exists(folder / "partial"));
    EXPECT_TRUE(exists(folder / "kept"));
}

volatile sig_atomic_t earlierHandlerRan = 0;

TEST(InterruptGuard, AnEarlierHandlerRunsAfterTheRemoval) {
    const TempFolder folder("files_test");
    const int status = inChild([&] {
        ::signal(SIGINT, [](int) { earlierHandlerRan = 1; });
        if (!writeNewFile(folder / "partial", "half").done() || guardTemporaryFile(folder / "partial") < 0)
            return 2;
        ::raise(SIGINT);
        return earlierHandlerRan == 1 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(exists(folder / "partial"));
}

TEST(InterruptGuard, AnIgnoredInterruptStaysIgnored) {
    const TempFolder folder("files_test");
    const int status = inChild([&] {
        ::signal(SIGINT, SIG_IGN);
        if (!writeNewFile(folder / "partial", "half").done() || guardTemporaryFile(folder / "partial") < 0)
            return 2;
        ::raise(SIGINT);
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exists(folder / "partial"));
}

#else
std::atomic<bool> interruptSeen{false};

// Registered before the guard's handler, so called after it: the test
// process lives on, where the system's handler would end it.
BOOL WINAPI keepTheTestAlive(DWORD /*event*/) {
    interruptSeen = true;
    return TRUE;
}

TEST(InterruptGuard, AConsoleInterruptRemovesGuardedFiles) {
    const TempFolder folder("files_test");
    ASSERT_NE(::SetConsoleCtrlHandler(keepTheTestAlive, TRUE), 0);
    ASSERT_TRUE(writeNewFile(folder / "partial", "half").done());
    ASSERT_GE(guardTemporaryFile(folder / "partial"), 0);
    // A name released again is no longer the guard's to remove.
    const int kept = guardTemporaryFile(folder / "kept");
    ASSERT_TRUE(writeNewFile(folder / "kept", "whole").done());
    releaseTemporaryFile(kept);
    if (::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) == 0)
        GTEST_SKIP() << "no console to interrupt: run the test with one (the windows preset does)";
    for (int waited = 0; waited < 5000 && !interruptSeen; waited += 10)
        ::Sleep(10);
    ::SetConsoleCtrlHandler(keepTheTestAlive, FALSE);
    EXPECT_TRUE(interruptSeen);
    EXPECT_FALSE(exists(folder / "partial"));
    EXPECT_TRUE(exists(folder / "kept"));
}

SKIPPED_ON_WINDOWS(InterruptGuard, AnEarlierHandlerRunsAfterTheRemoval,
                   "POSIX signal handlers (the console's handlers are chained by the system)")
SKIPPED_ON_WINDOWS(InterruptGuard, AnIgnoredInterruptStaysIgnored, "POSIX signal dispositions")
#endif

} // namespace
} // namespace quorvex::platform
