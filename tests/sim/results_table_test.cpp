#include "sim/results_table.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "posix_only.h"
#include "program_runner.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class ResultsTableFileTest : public ::testing::Test {
  protected:
    void SetUp() override { directory_ = testing::makeTempDir(); }
    void TearDown() override { fs::remove_all(directory_); }

    std::string filePath() const { return (directory_ / ResultsTableFile::defaultFileName).string(); }

    static std::string contentsOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string fileContents() const { return contentsOf(filePath()); }

    // The text of line 1 for a perfect ratio, from a freshly written file.
    std::string ratioLine(double ratio) {
        ResultsTableFile report(filePath());
        EXPECT_TRUE(report.open(ratio, 1, 1));
        EXPECT_TRUE(report.close());
        const std::string text = fileContents();
        return text.substr(0, text.find("\r\n"));
    }

    fs::path directory_;
};

constexpr const char* headings = "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n\r\n";

TEST_F(ResultsTableFileTest, TheTypicalRunByteForByte) {
    // Songs of a run with 10 songs, 400 steps and ratio 0.95, in the order
    // they might come; the tally orders them.
    ScoreTally tally;
    for (SongResult song :
         {SongResult{997, 395, true}, SongResult{999, 399, true}, SongResult{992, 390, false},
          SongResult{1000, 400, true}, SongResult{997, 398, true}, SongResult{999, 398, false},
          SongResult{997, 396, false}, SongResult{992, 393, false}, SongResult{999, 399, true},
          SongResult{997, 397, true}})
        tally.record(song);
    tally.order();

    ResultsTableFile report(filePath());
    ASSERT_TRUE(report.open(0.95, 10, 400));
    ASSERT_TRUE(report.writeTable(tally));
    ASSERT_TRUE(report.close());
    EXPECT_FALSE(report.failed());
    EXPECT_EQ(fileContents(), "Expected scores for: 0.95\r\n"
                              "10 songs | 400 steps\r\n"
                              "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n"
                              "\r\n"
                              "1000 |     1 |   400 |   400 |     1 | 1\r\n"
                              " 999 |     3 |   399 |   398 |     2 | 0.667\r\n"
                              " 997 |     4 |   398 |   395 |     3 | 0.75\r\n"
                              " 992 |     2 |   393 |   390 |     0 | 0\r\n");
}

TEST_F(ResultsTableFileTest, AnEmptyTallyLeavesOnlyTheHeadings) {
    ResultsTableFile report(filePath());
    ASSERT_TRUE(report.open(0.95, -3, 100));
    ASSERT_TRUE(report.writeTable(ScoreTally()));
    ASSERT_TRUE(report.close());
    EXPECT_EQ(fileContents(),
              std::string("Expected scores for: 0.95\r\n-3 songs | 100 steps\r\n") + headings);
}

// The text rendered in memory (for a file written elsewhere) is the file a
// report writes, byte for byte, tables with and without rows alike.
TEST_F(ResultsTableFileTest, TheWholeFileAsOneTextIsWhatTheReportWrites) {
    ScoreTally twoRows;
    for (SongResult song :
         {SongResult{400, 101, false}, SongResult{1000, 400, true}, SongResult{400, 99, true}})
        twoRows.record(song);
    twoRows.order();
    struct Case {
        const ScoreTally& tally;
        const char* expected;
    };
    const ScoreTally empty;
    for (const Case& c :
         {Case{twoRows, "Expected scores for: 0.95\r\n7 songs | 400 steps\r\n"
                        "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n"
                        "\r\n"
                        "1000 |     1 |   400 |   400 |     1 | 1\r\n"
                        " 400 |     2 |   101 |    99 |     1 | 0.5\r\n"},
          Case{empty, "Expected scores for: 0.95\r\n7 songs | 400 steps\r\n"
                      "1000 MAX | Freq. | Highest Marv. count | Lowest | AAA count | %AAA\r\n"
                      "\r\n"}}) {
        ResultsTableFile report(filePath());
        ASSERT_TRUE(report.open(0.95, 7, 400));
        ASSERT_TRUE(report.writeTable(c.tally));
        ASSERT_TRUE(report.close());
        EXPECT_EQ(resultsFileText(0.95, 7, 400, c.tally), c.expected);
        EXPECT_EQ(fileContents(), c.expected);
    }
}

TEST_F(ResultsTableFileTest, WholeNumbersOfLine2AreWrittenPlainly) {
    ResultsTableFile report(filePath());
    ASSERT_TRUE(report.open(0.5, std::numeric_limits<std::int32_t>::min(), 0));
    ASSERT_TRUE(report.close());
    EXPECT_EQ(fileContents(), "Expected scores for: 0.5\r\n-2147483648 songs | 0 steps\r\n");
}

TEST_F(ResultsTableFileTest, TheRatioOfLine1AtPrecision3) {
    EXPECT_EQ(ratioLine(0.9), "Expected scores for: 0.9");
    EXPECT_EQ(ratioLine(0.12345), "Expected scores for: 0.123");
    EXPECT_EQ(ratioLine(0.9995), "Expected scores for: 1");
    EXPECT_EQ(ratioLine(0), "Expected scores for: 0");
    EXPECT_EQ(ratioLine(0.00001), "Expected scores for: 1e-05");
    EXPECT_EQ(ratioLine(1000), "Expected scores for: 1e+03");
    EXPECT_EQ(ratioLine(std::numeric_limits<double>::infinity()), "Expected scores for: +INF");
}

TEST_F(ResultsTableFileTest, HeadingsAreInTheFileWhileTheSongsRun) {
    ResultsTableFile report(filePath());
    ASSERT_TRUE(report.open(0.95, 10, 400));
    // Read by another path before the table is written and the file closed.
    EXPECT_EQ(fileContents(), "Expected scores for: 0.95\r\n10 songs | 400 steps\r\n");
    ASSERT_TRUE(report.writeTable(ScoreTally()));
    EXPECT_EQ(fileContents(),
              std::string("Expected scores for: 0.95\r\n10 songs | 400 steps\r\n") + headings);
}

TEST_F(ResultsTableFileTest, AnExistingLongerFileIsEmptiedFirst) {
    {
        std::ofstream old(filePath(), std::ios::binary);
        old << std::string(100000, 'x');
    }
    ResultsTableFile report(filePath());
    ASSERT_TRUE(report.open(0.95, 0, 400));
    ASSERT_TRUE(report.writeTable(ScoreTally()));
    ASSERT_TRUE(report.close());
    EXPECT_EQ(fileContents(), std::string("Expected scores for: 0.95\r\n0 songs | 400 steps\r\n") + headings);
}

TEST_F(ResultsTableFileTest, TheFileIsNamedInTheWorkingDirectory) {
    const fs::path saved = fs::current_path();
    fs::current_path(directory_);
    {
        ResultsTableFile report;
        EXPECT_EQ(report.path(), "QuorvexResults.txt");
        EXPECT_TRUE(report.open(0.95, 1, 1));
        EXPECT_TRUE(report.close());
    }
    fs::current_path(saved);
    EXPECT_EQ(fileContents(), "Expected scores for: 0.95\r\n1 songs | 1 steps\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(filePath().c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & S_IRUSR, S_IRUSR);
    EXPECT_EQ(status.st_mode & S_IWUSR, S_IWUSR);
}

TEST_F(ResultsTableFileTest, TheDestructorClosesAnOpenReport) {
    {
        ResultsTableFile report(filePath());
        ASSERT_TRUE(report.open(0.95, 1, 1));
    }
    EXPECT_EQ(fileContents(), "Expected scores for: 0.95\r\n1 songs | 1 steps\r\n");
}

// Field layout, one table line at a time.
std::string onlyLine(const ScoreGroup& group) {
    ScoreTally tally;
    tally.merge(group);
    return tableLine(tally, 0);
}

TEST(ResultsTableLine, FieldWidthsGrowButNeverCut) {
    // Score 1000 fills its field of 4; 7 and 0 are padded with spaces.
    EXPECT_EQ(onlyLine({1000, 1, 400, 400, 1}), "1000 |     1 |   400 |   400 |     1 | 1");
    EXPECT_EQ(onlyLine({7, 1, 0, 0, 0}), "   7 |     1 |     0 |     0 |     0 | 0");
    EXPECT_EQ(onlyLine({0, 2, 1, 0, 2}), "   0 |     2 |     1 |     0 |     2 | 1");
    // 999999 widens its field; 1000000 becomes 1e+06, exactly five wide.
    EXPECT_EQ(onlyLine({999, 999999, 1000000, 1234567, 999999}),
              " 999 | 999999 | 1e+06 | 1.23457e+06 | 999999 | 1");
    // Ties at the sixth digit go to even; 2147483647 is rounded too.
    EXPECT_EQ(onlyLine({998, 2147483647, 1234565, 1234575, 0}),
              " 998 | 2.14748e+09 | 1.23456e+06 | 1.23458e+06 |     0 | 0");
}

TEST(ResultsTableLine, TheAaaRatioIsTheExtendedQuotientAtPrecision3) {
    struct Case {
        std::int64_t aaa, frequency;
        const char* text;
    };
    const Case cases[] = {{1, 1, "1"},
                          {0, 1, "0"},
                          {2, 3, "0.667"},
                          {3, 4, "0.75"},
                          {1, 7, "0.143"},
                          {999, 1000, "0.999"},
                          {9999, 10000, "1"},
                          {1, 10000, "0.0001"},
                          {1, 100000, "1e-05"},
                          // 5/16 and 7/16: true ties the quotient holds exactly, even digit.
                          {5, 16, "0.312"},
                          {7, 16, "0.438"},
                          // 17/80 = 0.2125 and 7/160 = 0.04375 are held slightly off, yet the
                          // scaled quotient lands on a tie and goes to even.
                          {17, 80, "0.212"},
                          {7, 160, "0.0438"}};
    for (const Case& c : cases) {
        const std::string line = onlyLine({950, c.frequency, 380, 370, c.aaa});
        EXPECT_EQ(line.substr(line.rfind(" | ") + 3), c.text) << c.aaa << "/" << c.frequency;
    }
}

// Failures the owner must hear of, with the file's name and the reason.
TEST_F(ResultsTableFileTest, ADirectoryWhereTheFileShouldBe) {
    ASSERT_TRUE(fs::create_directory(filePath()));
    ResultsTableFile report(filePath());
    EXPECT_FALSE(report.open(0.95, 10, 400));
    EXPECT_TRUE(report.failed());
    EXPECT_EQ(report.failureMessage(), "Cannot create " + filePath() + ": Is a directory");
    EXPECT_FALSE(report.writeTable(ScoreTally()));
    EXPECT_FALSE(report.close());
    EXPECT_TRUE(fs::is_directory(filePath())); // left as it was
    EXPECT_TRUE(fs::is_empty(filePath()));
}

TEST_F(ResultsTableFileTest, AMissingDirectory) {
    ResultsTableFile report((directory_ / "absent" / ResultsTableFile::defaultFileName).string());
    EXPECT_FALSE(report.open(0.95, 10, 400));
    EXPECT_EQ(report.failureMessage(), "Cannot create " +
                                           (directory_ / "absent" / "QuorvexResults.txt").string() +
                                           ": No such file or directory");
}

#ifndef _WIN32
TEST_F(ResultsTableFileTest, AFullDevice) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    fs::create_symlink("/dev/full", filePath());
    ResultsTableFile report(filePath());
    // Opening works; the first line end, which hands the line on, fails.
    EXPECT_FALSE(report.open(0.95, 10, 400));
    EXPECT_TRUE(report.failed());
    EXPECT_EQ(report.failureMessage(), "Cannot write " + filePath() + ": No space left on device");
    EXPECT_FALSE(report.writeTable(ScoreTally()));
    EXPECT_FALSE(report.close());
    EXPECT_EQ(report.failureMessage(), "Cannot write " + filePath() + ": No space left on device");
}

// The file size limit makes a write fail part-way through a line, like a
// device filling up: the lines before stay, the cut line is taken back.
TEST_F(ResultsTableFileTest, AWriteFailingPartWayKeepsTheWholeLinesBefore) {
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* const previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const std::string twoLines = "Expected scores for: 0.95\r\n10 songs | 400 steps\r\n";
    rlimit limited = saved;
    limited.rlim_cur = twoLines.size() + 20; // the column heading gets cut
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    ScoreTally tally;
    tally.record({1000, 400, true});
    ResultsTableFile report(filePath());
    const bool opened = report.open(0.95, 10, 400);
    const bool tableWritten = report.writeTable(tally);
    const bool closed = report.close();

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(tableWritten);
    EXPECT_FALSE(closed);
    EXPECT_EQ(report.failureMessage(), "Cannot write " + filePath() + ": File too large");
    EXPECT_EQ(fileContents(), twoLines);
}

#else
SKIPPED_ON_WINDOWS_F(ResultsTableFileTest, AFullDevice, "no device there is always full (/dev/full)")
SKIPPED_ON_WINDOWS_F(ResultsTableFileTest, AWriteFailingPartWayKeepsTheWholeLinesBefore,
                     "no file size limit to make a write fail part-way (setrlimit)")
#endif

} // namespace
} // namespace quorvex
