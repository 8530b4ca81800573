// The platform's file pieces: where a name leads, exclusive creation, and
// temporary files that an interrupt removes.

#include "platform/files.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "temp_folder.h"

namespace quorvex::platform {
namespace {

using testing::inChild;
using testing::TempFolder;

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

TEST(ExamineTarget, ALoopOfLinksFails) {
    const TempFolder folder("files_test");
    ASSERT_EQ(::symlink("b", (folder / "a").c_str()), 0);
    ASSERT_EQ(::symlink("a", (folder / "b").c_str()), 0);
    const FileTarget target = examineTarget(folder / "a");
    EXPECT_EQ(target.kind, FileTarget::Kind::failed);
    EXPECT_EQ(target.reason, "Too many levels of symbolic links");
}

TEST(WriteNewFile, NeverTouchesAFileThatExists) {
    const TempFolder folder("files_test");
    std::ofstream(folder / "taken") << "theirs";
    const FileResult result = writeNewFile(folder / "taken", "ours");
    EXPECT_EQ(result.status, FileResult::Status::nameTaken);
    EXPECT_EQ(testing::contentsOf(folder / "taken"), "theirs");
}

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

} // namespace
} // namespace quorvex::platform
