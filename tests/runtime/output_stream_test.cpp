#include "runtime/output_stream.h"

#include <fcntl.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pipe.h"
#include "posix_only.h"

namespace quorvex {
namespace {

using testing::inChild;
using testing::Pipe;

TEST(Buffering, TextWaitsUntilAFlush) {
    Pipe pipe;
    ostream out(pipe.writeEnd);
    writeText(out, "Number of songs: ");
    EXPECT_EQ(pipe.arrived(), "");
    EXPECT_EQ(out.pending(), 17u);
    out.flush();
    EXPECT_EQ(pipe.arrived(), "Number of songs: ");
    EXPECT_EQ(out.pending(), 0u);
}

TEST(Buffering, EndLineWritesANewlineAndFlushes) {
    Pipe pipe;
    ostream out(pipe.writeEnd);
    writeText(out, "by Tuvessa");
    endLine(out);
    endLine(out);
    // "\n" stays "\n": no carriage return is added.
    EXPECT_EQ(pipe.arrived(), "by Tuvessa\n\n");
}

TEST(Buffering, UnitBufferingPassesEveryTextOnAtOnce) {
    Pipe pipe;
    ostream out(pipe.writeEnd);
    out.setf(ios::unitbuf);
    writeText(out, "Working...");
    EXPECT_EQ(pipe.arrived(), "Working...");
}

TEST(Buffering, AFullBufferIsWrittenOutOnTheWay) {
    Pipe pipe;
    ostream out(pipe.writeEnd);
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    writeText(out, text);
    // Two full buffers went out; the rest waits.
    const std::string first = pipe.arrived();
    EXPECT_EQ(first.size(), 2 * ostream::bufferSize);
    EXPECT_EQ(out.pending(), text.size() - 2 * ostream::bufferSize);
    out.flush();
    EXPECT_EQ(first + pipe.arrived(), text);
}

TEST(Buffering, DestructionWritesOutWhatIsPending) {
    Pipe pipe;
    {
        ostream out(pipe.writeEnd);
        writeText(out, "Working...");
        EXPECT_EQ(pipe.arrived(), "");
    }
    EXPECT_EQ(pipe.arrived(), "Working...");
}

TEST(Buffering, AssignmentWritesOutTheOldBindingFirst) {
    Pipe first, second;
    ostream out(first.writeEnd);
    writeText(out, "one");
    out = ostream(second.writeEnd);
    EXPECT_EQ(first.arrived(), "one");
    writeText(out, "two");
    out.flush();
    EXPECT_EQ(second.arrived(), "two");
    EXPECT_EQ(first.arrived(), "");
}

TEST(Buffering, MovingLeavesNothingPendingBehind) {
    Pipe pipe;
    ostream first(pipe.writeEnd);
    writeText(first, "once");
    {
        ostream second(std::move(first));
        EXPECT_EQ(second.pending(), 4u);
    }
    first.flush(); // NOLINT(bugprone-use-after-move): the moved-from stream is what is tried
    EXPECT_EQ(pipe.arrived(), "once");
}

#ifndef _WIN32
TEST(FailedWrites, AFullDeviceSetsBad) {
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ostream out(full);
    writeText(out, "Number of songs: ");
    EXPECT_EQ(out.rdstate(), 0u);
    endLine(out);
    EXPECT_EQ(out.rdstate(), ios::badbit);
    EXPECT_EQ(out.lastError(), ENOSPC);
    EXPECT_EQ(out.pending(), 0u);
    ::close(full);
}

TEST(FailedWrites, TheRestOfALongTextIsDropped) {
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ostream out(full);
    writeText(out, std::string(3 * ostream::bufferSize, 'x'));
    EXPECT_EQ(out.rdstate(), ios::badbit);
    EXPECT_EQ(out.pending(), 0u);
    ::close(full);
}

#else
SKIPPED_ON_WINDOWS(FailedWrites, AFullDeviceSetsBad, "no device there is always full (/dev/full)")
SKIPPED_ON_WINDOWS(FailedWrites, TheRestOfALongTextIsDropped, "no device there is always full (/dev/full)")
#endif

TEST(FailedWrites, ABadDescriptorSetsBad) {
    int closed = -1;
    {
        Pipe pipe;
        closed = pipe.writeEnd;
    }
    ostream out(closed);
    writeText(out, "x");
    out.flush();
    EXPECT_EQ(out.rdstate(), ios::badbit);
    EXPECT_EQ(out.lastError(), EBADF);
}

#ifndef _WIN32
TEST(FailedWrites, LaterTextIsDroppedSilently) {
    // The descriptor number first names a full device, then a working pipe:
    // once bad is set nothing reaches the pipe.
    Pipe pipe;
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ostream out(full);
    endLine(out);
    ASSERT_EQ(out.rdstate(), ios::badbit);
    ASSERT_EQ(::dup2(pipe.writeEnd, full), full);
    out.setf(ios::unitbuf);
    writeText(out, "Working...");
    endLine(out);
    out.flush();
    EXPECT_EQ(pipe.arrived(), "");
    EXPECT_EQ(out.pending(), 0u);
    ::close(full);
}

#else
SKIPPED_ON_WINDOWS(FailedWrites, LaterTextIsDroppedSilently, "no device there is always full (/dev/full)")
#endif

TEST(FailedWrites, AStreamInErrorWritesNothing) {
    Pipe pipe;
    ostream out(pipe.writeEnd);
    out.setstate(ios::failbit);
    out.setf(ios::unitbuf);
    writeText(out, "text");
    endLine(out);
    EXPECT_EQ(pipe.arrived(), "");
}

#ifndef _WIN32
TEST(FailedWrites, AClosedPipeDoesNotEndTheProcess) {
    // With SIGPIPE at its default disposition, which would end the process.
    const int status = inChild([] {
        ::signal(SIGPIPE, SIG_DFL);
        int ends[2];
        if (::pipe(ends) != 0)
            return 10;
        ::close(ends[0]);
        ostream out(ends[1]);
        writeText(out, "Number of songs: ");
        endLine(out);
        if (out.rdstate() != ios::badbit || out.lastError() != EPIPE)
            return 11;
        // Nothing is left pending for the process either.
        sigset_t pending;
        sigpending(&pending);
        return sigismember(&pending, SIGPIPE) == 1 ? 12 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(FailedWrites, ABlockedSignalMaskIsRestored) {
    const int status = inChild([] {
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR2);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        int ends[2];
        if (::pipe(ends) != 0)
            return 10;
        ::close(ends[0]);
        ostream out(ends[1]);
        endLine(out);
        sigset_t now;
        pthread_sigmask(SIG_BLOCK, nullptr, &now);
        if (sigismember(&now, SIGUSR2) != 1 || sigismember(&now, SIGPIPE) == 1)
            return 11;
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

#else
TEST(FailedWrites, AClosedPipeSetsBad) {
    // No signal there: the write fails with EPIPE, and the process goes on.
    int ends[2];
    ASSERT_TRUE(testing::openPipe(ends));
    ::close(ends[0]);
    ostream out(ends[1]);
    writeText(out, "Number of songs: ");
    endLine(out);
    EXPECT_EQ(out.rdstate(), ios::badbit);
    EXPECT_EQ(out.lastError(), EPIPE);
    ::close(ends[1]);
}
SKIPPED_ON_WINDOWS(FailedWrites, ABlockedSignalMaskIsRestored, "no signal masks there")
#endif

} // namespace
} // namespace quorvex
