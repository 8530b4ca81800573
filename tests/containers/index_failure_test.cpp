#include "containers/index_failure.h"

#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "index_death.h"

namespace quorvex {
namespace {

void writePendingOutput() {
    // Stands in for the console streams: whatever they hold goes out first.
    constexpr char pending[] = "pending output|";
    if (::write(STDERR_FILENO, pending, sizeof pending - 1) < 0)
        std::abort();
}

void cleanUpAtExit() {
    constexpr char text[] = "clean-up ran";
    if (::write(STDERR_FILENO, text, sizeof text - 1) < 0)
        std::abort();
}

struct NoisyOnDestruction {
    // Acts at exit: never copied, so it acts once.
    NoisyOnDestruction() = default;
    NoisyOnDestruction(const NoisyOnDestruction&) = delete;
    NoisyOnDestruction& operator=(const NoisyOnDestruction&) = delete;

    ~NoisyOnDestruction() { cleanUpAtExit(); }
};

TEST(IndexFailureDeathTest, PendingOutputIsWrittenBeforeTheMessage) {
    EXPECT_EXIT(
        {
            setIndexFailureFlush(writePendingOutput);
            failIndex("vector", 7, 4);
        },
        ::testing::ExitedWithCode(3), "^pending output\\|Illegal vector index: 7 max index = 4\n\n");
}

TEST(IndexFailureDeathTest, NoCleanUpRuns) {
    // Neither exit handlers nor destructors of live objects may add a byte.
    EXPECT_EXIT(
        {
            std::atexit(cleanUpAtExit);
            static NoisyOnDestruction staticObject;
            NoisyOnDestruction localObject;
            failIndex("matrix", 0, -1);
        },
        ::testing::ExitedWithCode(3), indexFailureOutput("Illegal matrix index: 0 max index = -1"));
}

} // namespace
} // namespace quorvex
