#include "cli/progress.h"

#ifndef _WIN32
#include <poll.h>
#endif
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "pseudo_terminal.h"

namespace quorvex::cli {
namespace {

using namespace std::chrono_literals;
using testing::PseudoTerminal;

TEST(ProgressLine, ShareRateAndTimeLeft) {
    struct Case {
        std::int64_t done = 0, total = 0;
        std::int32_t steps = 0;
        double elapsed = 0;
        int columns = 0;
        const char* expected = nullptr;
    };
    for (const Case& c : {
             Case{0, 100, 400, 0.6, 80, "simulating: 0% done, measuring the pace..."},
             // 25 * 400 steps in 1 s; the other 75 songs at that pace take 3 s.
             Case{25, 100, 400, 1.0, 80, "simulating: 25% done, 10.0 k steps/s, about 3 s left"},
             // 0.1 s left shows as a whole second, rounded up.
             Case{500000, 1000000, 400, 0.1, 80, "simulating: 50% done, 2.00 G steps/s, about 1 s left"},
             // 999 s left: 16.65 minutes, rounded up.
             Case{1, 1000, 1, 1.0, 80, "simulating: 0% done, 1 steps/s, about 17 min left"},
             // 99999 s: 27.8 hours.
             Case{1, 100000, 1, 1.0, 80, "simulating: 0% done, 1 steps/s, about 28 h left"},
             // The share is never rounded up to 100% before the end.
             Case{999, 1000, 1000, 9.99, 80, "simulating: 99% done, 100 k steps/s, about 1 s left"},
             // 999.6 steps/s is 1.00 k to three digits, 999.4 stays 999.
             Case{9996, 100000, 1, 10.0, 80, "simulating: 9% done, 1.00 k steps/s, about 91 s left"},
             Case{9994, 100000, 1, 10.0, 80, "simulating: 9% done, 999 steps/s, about 91 s left"},
             // Narrow terminals: at most columns - 1 characters, so that the
             // line never wraps; parts go before anything is cut.
             Case{25, 100, 400, 1.0, 53, "simulating: 25% done, 10.0 k steps/s, about 3 s left"},
             Case{25, 100, 400, 1.0, 52, "25% done, 10.0 k steps/s, 3 s left"},
             Case{25, 100, 400, 1.0, 35, "25% done, 10.0 k steps/s, 3 s left"},
             Case{25, 100, 400, 1.0, 34, "25% done, 3 s left"},
             Case{25, 100, 400, 1.0, 10, "25% done,"},
             Case{0, 100, 400, 1.0, 20, "0% done"},
             // Columns 0 (not measured): 80.
             Case{25, 100, 400, 1.0, 0, "simulating: 25% done, 10.0 k steps/s, about 3 s left"},
         })
        EXPECT_EQ(progressLine(c.done, c.total, c.steps, c.elapsed, c.columns), c.expected)
            << c.done << " of " << c.total;
}

#ifndef _WIN32
// Everything the terminal side shows within a short while.
std::string everythingShown(const PseudoTerminal& terminal) {
    std::string bytes;
    char buffer[4096];
    pollfd p{terminal.master, POLLIN, 0};
    while (::poll(&p, 1, 200) == 1) {
        const ssize_t n = ::read(terminal.master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

TEST(ProgressDisplay, DrawsOnTheTerminalAndErasesItsLine) {
    PseudoTerminal terminal(60, 24);
    ASSERT_TRUE(terminal.opened());
    ProgressDisplay display(terminal.keeper, true, 100, 400, {0ms, 10ms});
    display.songsDone()->fetch_add(25);
    // A drawing made before the count went up shows 0%: wait for one after.
    std::string shown;
    while (shown.find("25% done") == std::string::npos) {
        const std::string more = terminal.shown(1);
        ASSERT_FALSE(more.empty()) << "no drawing with the count within two seconds: " << shown;
        shown += more;
    }
    ASSERT_EQ(shown.rfind("\rsimulating: ", 0), 0u) << shown;
    display.finish();
    shown += everythingShown(terminal);
    // Each drawing starts at the line's start; the last one is blanked out
    // and the cursor left at the start of the empty line.
    const std::size_t lastDrawing = shown.rfind("\rsimulating: ");
    const std::size_t erasing = shown.find('\r', lastDrawing + 1);
    ASSERT_NE(erasing, std::string::npos) << shown;
    const std::string line = shown.substr(lastDrawing + 1, erasing - lastDrawing - 1);
    EXPECT_EQ(line.rfind("simulating: 25% done, ", 0), 0u) << line;
    std::string blanked(line.size() + 2, ' ');
    blanked.front() = blanked.back() = '\r';
    EXPECT_EQ(shown.substr(erasing), blanked);
}

TEST(ProgressDisplay, ARunEndingBeforeTheDelayShowsNothing) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.opened());
    {
        ProgressDisplay display(terminal.keeper, true, 100, 400, {10s, 10ms});
        display.songsDone()->fetch_add(100);
    } // finished at once, however long the delay
    EXPECT_TRUE(terminal.nothingShown());
}

TEST(ProgressDisplay, NotShownWritesNothingEver) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.opened());
    ProgressDisplay display(terminal.keeper, false, 100, 400, {0ms, 1ms});
    display.songsDone()->fetch_add(50);
    EXPECT_TRUE(terminal.nothingShown());
    display.finish();
    EXPECT_TRUE(terminal.nothingShown());
}

#else
SKIPPED_ON_WINDOWS(ProgressDisplay, DrawsOnTheTerminalAndErasesItsLine, "needs a pseudo-terminal")
SKIPPED_ON_WINDOWS(ProgressDisplay, ARunEndingBeforeTheDelayShowsNothing, "needs a pseudo-terminal")
SKIPPED_ON_WINDOWS(ProgressDisplay, NotShownWritesNothingEver, "needs a pseudo-terminal")
#endif

} // namespace
} // namespace quorvex::cli
