// Whole-file output: a reader sees the old file or the new one, never a part;
// a failure names the file and the reason and leaves nothing behind.

#include "output/file_output.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>

#include <cstdio>
#else
#include <signal.h>
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "in_child.h"
#include "pipe.h"
#include "posix_only.h"
#include "temp_folder.h"

namespace quorvex::output {
namespace {

using testing::contentsOf;
using testing::inChild;
using testing::TempFolder;
using Names = std::vector<std::string>;

void put(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

TEST(WholeFileOutput, CreatesANewFileWithTheUsualPermissionsAndNothingElse) {
    const TempFolder folder("file_output_test");
#ifndef _WIN32
    const mode_t previous = ::umask(022);
#endif
    const WriteResult result = writeWholeFile(folder / "out.csv", std::string("a,b\n\0z", 6));
#ifndef _WIN32
    ::umask(previous);
#endif
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(contentsOf(folder / "out.csv"), std::string("a,b\n\0z", 6));
    EXPECT_EQ(folder.names(), Names{"out.csv"});
#ifdef _WIN32
    return; // no permission bits there: a new file gets its folder's access list
#endif
    struct stat status {};
    ASSERT_EQ(::stat((folder / "out.csv").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644U);
}

TEST(WholeFileOutput, ReplacesAnExistingFileWhole) {
    const TempFolder folder("file_output_test");
    put(folder / "out.json", "a much longer old text than the new one\n");
    ASSERT_TRUE(writeWholeFile(folder / "out.json", "{}\n").ok);
    EXPECT_EQ(contentsOf(folder / "out.json"), "{}\n");
    EXPECT_EQ(folder.names(), Names{"out.json"});
}

TEST(WholeFileOutput, ADirectoryInTheTargetsPlaceIsLeftAsItWas) {
    const TempFolder folder("file_output_test");
    ASSERT_TRUE(std::filesystem::create_directory(folder / "out.svg"));
    put(folder / "out.svg/inside", "kept");
    const WriteResult result = writeWholeFile(folder / "out.svg", "<svg/>");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot write " + (folder / "out.svg") + ": Is a directory");
    EXPECT_EQ(contentsOf(folder / "out.svg/inside"), "kept");
    EXPECT_EQ(folder.names(), Names{"out.svg"});
}

TEST(WholeFileOutput, AMissingFolderIsAnErrorNamingTheFile) {
    const TempFolder folder("file_output_test");
    const WriteResult result = writeWholeFile(folder / "missing/out.csv", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot write " + (folder / "missing/out.csv") + ": No such file or directory");
    EXPECT_TRUE(folder.names().empty());
}

TEST(WholeFileOutput, AnEmptyNameIsRefused) {
    EXPECT_EQ(writeWholeFile("", "x").error, "Cannot write a file with an empty name");
}

#ifndef _WIN32
TEST(WholeFileOutput, AWriteThatFailsHalfwayKeepsTheOldContentsAndLeavesNoTemporaryFile) {
    // A file size limit makes the kernel refuse the write past 16 bytes, as a
    // full disk would, for root too.
    const TempFolder folder("file_output_test");
    put(folder / "out.csv", "old contents\n");
    const int status = inChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const WriteResult result = writeWholeFile(folder / "out.csv", std::string(100, 'n'));
        return result.error == "Cannot write " + (folder / "out.csv") + ": File too large" ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentsOf(folder / "out.csv"), "old contents\n");
    EXPECT_EQ(folder.names(), Names{"out.csv"});
}

TEST(WholeFileOutput, ASymbolicLinkIsKeptAndTheFileItLeadsToReplaced) {
    // The link is relative: it is read from the link's own folder, not from
    // the working directory.
    const TempFolder folder("file_output_test");
    ASSERT_EQ(::mkdir((folder / "data").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder / "links").c_str(), 0755), 0);
    put(folder / "data/real.csv", "old\n");
    ASSERT_EQ(::symlink("../data/real.csv", (folder / "links/out.csv").c_str()), 0);

    ASSERT_TRUE(writeWholeFile(folder / "links/out.csv", "new\n").ok);

    struct stat status {};
    ASSERT_EQ(::lstat((folder / "links/out.csv").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(contentsOf(folder / "data/real.csv"), "new\n");
    EXPECT_EQ(testing::namesIn(folder / "data"), Names{"real.csv"});
    EXPECT_EQ(testing::namesIn(folder / "links"), Names{"out.csv"});
}

TEST(WholeFileOutput, ADanglingLinkCreatesTheFileItNames) {
    const TempFolder folder("file_output_test");
    ASSERT_EQ(::symlink("made.txt", (folder / "link.txt").c_str()), 0);
    ASSERT_TRUE(writeWholeFile(folder / "link.txt", "made\n").ok);
    EXPECT_EQ(contentsOf(folder / "made.txt"), "made\n");
    EXPECT_EQ(folder.names(), (Names{"link.txt", "made.txt"}));
}

TEST(WholeFileOutput, ADeviceIsWrittenDirectlyNeverReplaced) {
    const WriteResult result = writeWholeFile("/dev/full", "x");
    EXPECT_EQ(result.error, "Cannot write /dev/full: No space left on device");
    struct stat status {};
    ASSERT_EQ(::lstat("/dev/full", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));

    EXPECT_TRUE(writeWholeFile("/dev/null", "gone").ok);
    ASSERT_EQ(::lstat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST(WholeFileOutput, AFifoIsWrittenDirectly) {
    const TempFolder folder("file_output_test");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);
    const int reader = ::open((folder / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(writeWholeFile(folder / "pipe", "through the fifo\n").ok);
    EXPECT_EQ(testing::arrivedOn(reader), "through the fifo\n");
    ::close(reader);
    struct stat status {};
    ASSERT_EQ(::lstat((folder / "pipe").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(folder.names(), Names{"pipe"});
}

TEST(WholeFileOutput, DevStdoutWritesThroughTheDescriptorTheShellOpened) {
    // Opened for appending, as `>>` does: the text goes after what is there.
    const TempFolder folder("file_output_test");
    put(folder / "log.txt", "head\n");
    const int status = inChild([&] {
        const int fd = ::open((folder / "log.txt").c_str(), O_WRONLY | O_APPEND);
        if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
            return 2;
        return writeWholeFile("/dev/stdout", "tail\n").ok ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentsOf(folder / "log.txt"), "head\ntail\n");
    EXPECT_EQ(folder.names(), Names{"log.txt"});
}

TEST(WholeFileOutput, DashWritesEveryByteToStandardOutput) {
    testing::Pipe pipe;
    ASSERT_TRUE(pipe.opened());
    const std::string bytes = std::string("line\r\n\0end\n", 11);
    const int status = inChild([&] {
        if (::dup2(pipe.writeEnd, STDOUT_FILENO) < 0)
            return 2;
        return writeWholeFile("-", bytes).ok ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(pipe.arrived(), bytes);
}

TEST(WholeFileOutput, StandardOutputFailuresAreReportedNotFatal) {
    // The process outlives a closed pipe (no SIGPIPE) and a full device alike.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const int closedPipe = inChild([&] {
        ::dup2(ends[1], STDOUT_FILENO);
        return writeWholeFile("-", "x").error == "Cannot write standard output: Broken pipe" ? 0 : 1;
    });
    ::close(ends[1]);
    EXPECT_EQ(closedPipe, 0);

    const int fullDevice = inChild([&] {
        const int fd = ::open("/dev/full", O_WRONLY);
        if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
            return 2;
        return writeWholeFile("-", "x").error == "Cannot write standard output: No space left on device" ? 0
                                                                                                         : 1;
    });
    EXPECT_EQ(fullDevice, 0);
}

#else
// Descriptor 1 of this process bound to `fd` while it lives, then put back.
// (Nothing may be printed meanwhile: it would go to `fd`.)
class StandardOutputOn {
  public:
    StandardOutputOn(const StandardOutputOn&) = delete;
    StandardOutputOn& operator=(const StandardOutputOn&) = delete;

    explicit StandardOutputOn(int fd) : saved_(::_dup(1)) {
        std::fflush(stdout);
        ::_dup2(fd, 1);
    }
    ~StandardOutputOn() {
        ::_dup2(saved_, 1);
        ::_close(saved_);
    }

  private:
    int saved_;
};

TEST(WholeFileOutput, ADeviceIsWrittenDirectlyNeverReplaced) {
    const TempFolder folder("file_output_test");
    EXPECT_TRUE(writeWholeFile("NUL", "gone").ok);
    EXPECT_TRUE(writeWholeFile(folder / "NUL", "gone too").ok) << "NUL is the device in every folder";
    EXPECT_TRUE(folder.names().empty());
}

TEST(WholeFileOutput, DashWritesEveryByteToStandardOutput) {
    testing::Pipe pipe;
    ASSERT_TRUE(pipe.opened());
    const std::string bytes = std::string("line\r\n\0end\n", 11);
    bool written = false;
    {
        const StandardOutputOn bound(pipe.writeEnd);
        written = writeWholeFile("-", bytes).ok;
    }
    EXPECT_TRUE(written);
    EXPECT_EQ(pipe.arrived(), bytes) << "no line end translated, none added";
}

TEST(WholeFileOutput, StandardOutputFailuresAreReportedNotFatal) {
    int ends[2];
    ASSERT_TRUE(testing::openPipe(ends));
    ::_close(ends[0]);
    std::string error;
    {
        const StandardOutputOn bound(ends[1]);
        error = writeWholeFile("-", "x").error;
    }
    ::_close(ends[1]);
    EXPECT_EQ(error, "Cannot write standard output: Broken pipe");
}

SKIPPED_ON_WINDOWS(WholeFileOutput, AWriteThatFailsHalfwayKeepsTheOldContentsAndLeavesNoTemporaryFile,
                   "no file size limit to make a write fail part-way (setrlimit)")
SKIPPED_ON_WINDOWS(WholeFileOutput, ASymbolicLinkIsKeptAndTheFileItLeadsToReplaced,
                   "making symbolic links needs a privilege there")
SKIPPED_ON_WINDOWS(WholeFileOutput, ADanglingLinkCreatesTheFileItNames,
                   "making symbolic links needs a privilege there")
SKIPPED_ON_WINDOWS(WholeFileOutput, AFifoIsWrittenDirectly, "no named pipes in the file system (mkfifo)")
SKIPPED_ON_WINDOWS(WholeFileOutput, DevStdoutWritesThroughTheDescriptorTheShellOpened, "no /dev/stdout")
#endif

} // namespace
} // namespace quorvex::output
