// The steps every command's run shares: each file written whole, a failure
// told in one line that names the command and does not keep the next file
// from being written. (The progress line, on a terminal and off it, is
// the end-to-end tests' of each command.)

#include "cli/run_output.h"

#ifdef _WIN32
#include <io.h>
#endif
#include <unistd.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "pipe.h"
#include "temp_folder.h"

namespace quorvex::cli {
namespace {

// What `body` wrote to standard error, which is a pipe meanwhile.
std::string standardErrorOf(const std::function<void()>& body) {
    const testing::Pipe pipe;
    const int saved = ::dup(2);
    ::dup2(pipe.writeEnd, 2);
    body();
    ::dup2(saved, 2);
    ::close(saved);
    return pipe.arrived();
}

TEST(RunOutput, AFileThatFailsIsToldAndTheNextIsStillWritten) {
    const testing::TempFolder folder("run_output_test");
    const std::string missing = folder / "missing/report.csv", plot = folder / "plot.svg";
    int status = -1;
    const std::string told = standardErrorOf([&] {
        status = writeRendered("demo", {{missing, "a,b\n"}, {plot, "<svg/>\n"}});
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(told, "quorvex demo: Cannot write " + missing + ": No such file or directory\n");
    EXPECT_EQ(testing::contentsOf(plot), "<svg/>\n");

    EXPECT_EQ(standardErrorOf([&] { status = writeRendered("demo", {{plot, "<svg></svg>\n"}}); }), "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testing::contentsOf(plot), "<svg></svg>\n");
}

} // namespace
} // namespace quorvex::cli
