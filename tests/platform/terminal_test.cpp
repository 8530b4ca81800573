// The program on a terminal: each prompt is on the screen before anything is
// typed, the screen is cleared, and "Working..." is shown.

#ifndef _WIN32
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "program_runner.h"

namespace quorvex {
namespace {

#ifndef _WIN32

class TerminalSession {
  public:
    // Owns descriptors: never copied, so never closed twice.
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    explicit TerminalSession(const std::string& workDir) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (::chdir(workDir.c_str()) != 0)
                ::_exit(126);
            ::execl(QUORVEX_BINARY, QUORVEX_BINARY, static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~TerminalSession() {
        if (master_ >= 0)
            ::close(master_);
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0; }

    // Reads the screen until `text` has appeared (true) or the program went
    // quiet for the timeout / ended (false).
    bool waitFor(const std::string& text, double seconds = 20) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (screen_.find(text, consumed_) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !readSome())
                return false;
        }
        consumed_ = screen_.find(text, consumed_) + text.size();
        return true;
    }

    void type(const std::string& text) const {
        ASSERT_EQ(::write(master_, text.data(), text.size()), (ssize_t)text.size());
    }

    // Reads until the program has ended; returns its exit status.
    int finish() {
        while (readSome()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& screen() const { return screen_; }
    std::size_t consumed() const { return consumed_; }

  private:
    bool readSome() {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            return false; // EIO once the program has ended
        screen_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    pid_t pid_ = -1;
    bool reaped_ = false;
    std::string screen_;
    std::size_t consumed_ = 0;
};

TEST(Terminal, PromptsBeforeTypingThenClearedScreenWithWorking) {
    const std::string dir = testing::makeTempDir();
    TerminalSession session(dir);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitFor("-Manual variable input-"));
    ASSERT_TRUE(session.waitFor("Number of songs: ")) << session.screen();
    session.type("3\n");
    ASSERT_TRUE(session.waitFor("Number of steps per song: ")) << session.screen();
    session.type("100\n");
    ASSERT_TRUE(session.waitFor("Perfect ratio (0-1): ")) << session.screen();
    session.type("0.9\n");
    // Erase the display, home the cursor, then the only text left.
    ASSERT_TRUE(session.waitFor("\x1b[2J")) << session.screen();
    ASSERT_TRUE(session.waitFor("Working...")) << session.screen();
    EXPECT_EQ(session.finish(), 0);
    const auto results = testing::readFile(dir + "/QuorvexResults.txt");
    ASSERT_TRUE(results);
    EXPECT_EQ(results->rfind("Expected scores for: 0.9\r\n3 songs | 100 steps\r\n", 0), 0u);
}

TEST(Terminal, AllValuesOnOneLineAwaitNoFurtherTyping) {
    const std::string dir = testing::makeTempDir();
    TerminalSession session(dir);
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.waitFor("Number of songs: "));
    session.type("2 100 0.95\n");
    ASSERT_TRUE(session.waitFor("Number of steps per song: Perfect ratio (0-1): ")) << session.screen();
    ASSERT_TRUE(session.waitFor("Working...")) << session.screen();
    EXPECT_EQ(session.finish(), 0);
}

#else
SKIPPED_ON_WINDOWS(Terminal, PromptsBeforeTypingThenClearedScreenWithWorking,
                   "typing at the program needs a pseudo-terminal (forkpty)")
SKIPPED_ON_WINDOWS(Terminal, AllValuesOnOneLineAwaitNoFurtherTyping,
                   "typing at the program needs a pseudo-terminal (forkpty)")
#endif

} // namespace
} // namespace quorvex
