#include "runtime/input_stream.h"

#include <fcntl.h>
#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#include <termios.h>
#endif
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "pipe.h"
#include "posix_only.h"
#include "pseudo_terminal.h"
#include "temp_file.h"

namespace quorvex {
namespace {

std::string drain(istream& in) {
    std::string rest;
    for (int c = in.get(); c != istream::endOfInput; c = in.get())
        rest.push_back(static_cast<char>(c));
    return rest;
}

using testing::Pipe;
using testing::PseudoTerminal;
using testing::TempFile;

// Every byte value, carriage returns, 0x1A and NUL included.
std::string everyByte() {
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        bytes.push_back(static_cast<char>(c));
    return bytes + "\r\n\x1A" + "after";
}

TEST(InputBytes, DeliveredAsTheyAreFromMemory) {
    istream in(everyByte());
    EXPECT_EQ(in.descriptor(), -1);
    EXPECT_EQ(drain(in), everyByte());
}

TEST(InputBytes, DeliveredAsTheyAreFromAPipe) {
    Pipe pipe;
    const std::string bytes = everyByte();
    ASSERT_EQ(::write(pipe.writeEnd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    pipe.closeWriteEnd();
    istream in(pipe.readEnd);
    EXPECT_EQ(in.descriptor(), pipe.readEnd);
    EXPECT_EQ(drain(in), bytes);
}

TEST(InputBytes, PeekLooksWithoutConsuming) {
    istream in("ab");
    EXPECT_EQ(in.peek(), 'a');
    EXPECT_EQ(in.peek(), 'a');
    in.consume();
    EXPECT_EQ(in.get(), 'b');
    EXPECT_EQ(in.peek(), istream::endOfInput);
    in.consume(); // nothing to consume at the end
    EXPECT_EQ(in.get(), istream::endOfInput);
}

TEST(InputBytes, ManyChunksArriveInOrder) {
    // Several megabytes, written while the stream reads them in chunks.
    Pipe pipe;
    std::string bytes;
    for (int i = 0; i < 3 * (1 << 20) + 17; ++i)
        bytes.push_back(static_cast<char>((i * 131) % 251));
    std::thread writer([&] {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(pipe.writeEnd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        pipe.closeWriteEnd();
    });
    istream in(pipe.readEnd);
    const std::string received = drain(in);
    writer.join();
    EXPECT_EQ(received.size(), bytes.size());
    EXPECT_TRUE(received == bytes);
}

TEST(EndOfInput, IsFinalOnceMet) {
    // A file that grows after its end was met is not read again.
    const TempFile file("quorvex_input_");
    ASSERT_GE(file.fd, 0);
    ASSERT_EQ(::write(file.fd, "a", 1), 1);
    ASSERT_EQ(::lseek(file.fd, 0, SEEK_SET), 0);
    istream in(file.fd);
    EXPECT_EQ(in.get(), 'a');
    EXPECT_EQ(in.peek(), istream::endOfInput);
    ASSERT_EQ(::write(file.fd, "b", 1), 1); // at the current offset, after "a"
    EXPECT_EQ(in.peek(), istream::endOfInput);
}

TEST(EndOfInput, AReadErrorCountsAsTheEnd) {
    // read(2) on a directory fails with EISDIR; on a closed descriptor, EBADF.
#ifndef _WIN32 // (no directory opens as a descriptor there)
    const int directory = ::open("/", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(directory, 0);
    istream fromDirectory(directory);
    EXPECT_EQ(fromDirectory.peek(), istream::endOfInput);
    ::close(directory);
#endif

    Pipe pipe;
    const int closed = pipe.readEnd;
    ::close(pipe.readEnd);
    pipe.readEnd = -1;
    istream fromClosed(closed);
    EXPECT_EQ(fromClosed.peek(), istream::endOfInput);
}

#ifndef _WIN32
TEST(EndOfInput, TheTerminalsEndOfInputKey) {
    // A pseudo-terminal in its default line mode: a line, then the
    // end-of-input character at the start of the next line.
    const PseudoTerminal terminal;
    ASSERT_TRUE(terminal.opened());
    termios modes{};
    ASSERT_EQ(::tcgetattr(terminal.keeper, &modes), 0);
    const char endKey = static_cast<char>(modes.c_cc[VEOF]);
    const std::string typed = std::string("7 8\n") + endKey + "9\n";
    ASSERT_EQ(::write(terminal.master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));

    istream in(terminal.keeper);
    EXPECT_EQ(drain(in), "7 8\n"); // the "9" typed after the key is never read
}

extern "C" void noteSignal(int) {}

TEST(InterruptedRead, IsRetried) {
    // A signal whose handler does not restart system calls interrupts the
    // blocked read; the stream reads again and gets the byte.
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);

    Pipe pipe;
    const pthread_t reader = ::pthread_self();
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::pthread_kill(reader, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        (void)!::write(pipe.writeEnd, "5", 1);
        pipe.closeWriteEnd();
    });
    istream in(pipe.readEnd);
    EXPECT_EQ(in.get(), '5');
    EXPECT_EQ(in.get(), istream::endOfInput);
    other.join();
    ::sigaction(SIGUSR1, &previous, nullptr);
}

TEST(NonBlockingDescriptor, IsWaitedOn) {
    Pipe pipe;
    ASSERT_EQ(::fcntl(pipe.readEnd, F_SETFL, ::fcntl(pipe.readEnd, F_GETFL) | O_NONBLOCK), 0);
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        (void)!::write(pipe.writeEnd, "xy", 2);
        pipe.closeWriteEnd();
    });
    istream in(pipe.readEnd);
    EXPECT_EQ(drain(in), "xy");
    other.join();
}

#else
SKIPPED_ON_WINDOWS(EndOfInput, TheTerminalsEndOfInputKey, "needs a pseudo-terminal")
SKIPPED_ON_WINDOWS(InterruptedRead, IsRetried, "needs POSIX signals to interrupt a read")
SKIPPED_ON_WINDOWS(NonBlockingDescriptor, IsWaitedOn, "descriptors cannot be made non-blocking there")
#endif

TEST(StreamMove, TheNewOwnerContinuesWhereTheOldStopped) {
    istream first("abc");
    first.setstate(ios::eofbit);
    EXPECT_EQ(first.get(), 'a');
    istream second(std::move(first));
    EXPECT_EQ(second.rdstate(), ios::eofbit);
    EXPECT_EQ(drain(second), "bc");
    istream third("z");
    third = std::move(second);
    EXPECT_EQ(third.get(), istream::endOfInput);
}

} // namespace
} // namespace quorvex
