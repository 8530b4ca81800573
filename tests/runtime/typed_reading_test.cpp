#include "runtime/typed_reading.h"

#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "pipe.h"
#include "runtime/input_stream.h"
#include "runtime/output_stream.h"

namespace quorvex {
namespace {

std::uint64_t bitsOf(double d) {
    return std::bit_cast<std::uint64_t>(d);
}

// ---- Table files --------------------------------------------------------

// One line of a table: its fields, with quoted byte strings unescaped.
using Row = std::vector<std::string>;

std::string unescape(const std::string& line, std::size_t& at) {
    std::string bytes;
    ++at; // opening quote
    while (at < line.size() && line[at] != '"') {
        char c = line[at++];
        if (c != '\\') {
            bytes.push_back(c);
            continue;
        }
        const char e = line[at++];
        switch (e) {
        case 'n':
            bytes.push_back('\n');
            break;
        case 'r':
            bytes.push_back('\r');
            break;
        case 't':
            bytes.push_back('\t');
            break;
        case 'v':
            bytes.push_back('\v');
            break;
        case 'f':
            bytes.push_back('\f');
            break;
        case 'x':
            bytes.push_back(static_cast<char>(std::stoi(line.substr(at, 2), nullptr, 16)));
            at += 2;
            break;
        default:
            bytes.push_back(e);
            break;
        }
    }
    ++at; // closing quote
    return bytes;
}

std::vector<Row> loadTable(const std::string& name) {
    std::ifstream file(std::string(QUORVEX_TEST_DATA_DIR) + "/" + name);
    EXPECT_TRUE(file.is_open()) << name;
    std::vector<Row> rows;
    std::string line;
    while (std::getline(file, line)) {
        Row row;
        std::size_t at = 0;
        while (at < line.size()) {
            if (line[at] == ' ' || line[at] == '\t') {
                ++at;
            } else if (line[at] == '#') {
                break;
            } else if (line[at] == '"') {
                row.push_back(unescape(line, at));
            } else {
                const std::size_t end = line.find_first_of(" \t", at);
                row.push_back(line.substr(at, end - at));
                at = end == std::string::npos ? line.size() : end;
            }
        }
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

ios::iostate parseState(const std::string& text) {
    ios::iostate state = 0;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, '|')) {
        if (part == "eof")
            state |= ios::eofbit;
        else if (part == "fail")
            state |= ios::failbit;
        else if (part == "bad")
            state |= ios::badbit;
        else
            EXPECT_EQ(part, "-") << "unknown state in table";
    }
    return state;
}

std::string describe(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        char hex[8];
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text.push_back(static_cast<char>(c));
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return "\"" + text + "\"";
}

// ---- Streams over the typed bytes ---------------------------------------

// Every byte the stream has not delivered yet.
std::string unread(istream& in) {
    std::string rest;
    for (int c = in.get(); c != istream::endOfInput; c = in.get())
        rest.push_back(static_cast<char>(c));
    return rest;
}

// Runs `check` on a stream over the bytes held in memory, then on one over a
// pipe whose writer has closed after writing them.
void overMemoryAndPipe(const std::string& bytes, const std::function<void(istream&)>& check) {
    {
        SCOPED_TRACE("in memory");
        istream in(bytes);
        check(in);
    }
    {
        SCOPED_TRACE("through a pipe");
        int ends[2];
        ASSERT_TRUE(testing::openPipe(ends));
        ASSERT_EQ(::write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(ends[1]);
        istream in(ends[0]);
        check(in);
        ::close(ends[0]);
    }
}

constexpr std::int32_t integerSentinel = 24301;
constexpr double realSentinel = -777.25;

// ---- The typed-input tables ---------------------------------------------

TEST(ReadIntegerTable, ValueStateAndUnreadRest) {
    const std::vector<Row> rows = loadTable("read_long_cases.txt");
    ASSERT_GE(rows.size(), 40u);
    for (const Row& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE("typed " + describe(row[0]));
        const ios::iostate state = parseState(row[3]);
        overMemoryAndPipe(row[0], [&](istream& in) {
            std::int32_t target = integerSentinel;
            readLong(in, target);
            EXPECT_EQ(target, row[1] == "keep" ? integerSentinel : std::stoi(row[1])) << "readLong";
            EXPECT_EQ(in.rdstate(), state);
            EXPECT_EQ(describe(unread(in)), describe(row[4]));
        });
        overMemoryAndPipe(row[0], [&](istream& in) {
            std::int32_t target = integerSentinel;
            readInt(in, target);
            EXPECT_EQ(target, row[2] == "keep" ? integerSentinel : std::stoi(row[2])) << "readInt";
            EXPECT_EQ(in.rdstate(), state);
            EXPECT_EQ(describe(unread(in)), describe(row[4]));
        });
    }
}

double expectedReal(const std::string& text) {
    if (text == "keep")
        return realSentinel;
    if (text == "inf")
        return std::numeric_limits<double>::infinity();
    if (text == "-inf")
        return -std::numeric_limits<double>::infinity();
    if (text.rfind("bits:", 0) == 0)
        return std::bit_cast<double>(static_cast<std::uint64_t>(std::stoull(text.substr(5), nullptr, 16)));
    return std::strtod(text.c_str(), nullptr);
}

TEST(ReadRealTable, ValueStateAndUnreadRest) {
    const std::vector<Row> rows = loadTable("read_real_cases.txt");
    ASSERT_GE(rows.size(), 40u);
    for (const Row& row : rows) {
        ASSERT_EQ(row.size(), 4u);
        SCOPED_TRACE("typed " + describe(row[0]));
        overMemoryAndPipe(row[0], [&](istream& in) {
            double target = realSentinel;
            readReal(in, target);
            EXPECT_EQ(bitsOf(target), bitsOf(expectedReal(row[1]))) << target;
            EXPECT_EQ(in.rdstate(), parseState(row[2]));
            EXPECT_EQ(describe(unread(in)), describe(row[3]));
        });
    }
}

// ---- The real reader's arithmetic ---------------------------------------

// Every value from 0 to 1 with at most five decimals, spelt both ways.
TEST(ReadRealSweep, FiveDecimalsReadAsTheNearestDouble) {
    int differences = 0;
    for (int k = 0; k <= 100000; ++k) {
        char fixed[16];
        std::snprintf(fixed, sizeof fixed, "%d.%05d", k / 100000, k % 100000);
        std::string shortest = fixed;
        while (shortest.back() == '0')
            shortest.pop_back();
        if (shortest.back() == '.')
            shortest.pop_back();
        for (const std::string& spelling : {std::string(fixed), shortest}) {
            istream in(spelling);
            double target = realSentinel;
            readReal(in, target);
            const double nearest = std::strtod(spelling.c_str(), nullptr);
            if (bitsOf(target) != bitsOf(nearest) || in.rdstate() != 0) {
                if (++differences <= 10)
                    ADD_FAILURE() << spelling << " read as " << target << ", nearest " << nearest;
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(ReadRealSweep, SixDecimalsMayLandOneStepAway) {
    // 2877 / 10^6 is rounded to a 64-bit significand, then to a double: the
    // double rounding lands one step above the nearest double.
    istream in("0.002877");
    double target = 0.0;
    readReal(in, target);
    EXPECT_EQ(bitsOf(target), 0x3F6791819D2391D6ULL);
    EXPECT_EQ(bitsOf(std::strtod("0.002877", nullptr)), 0x3F6791819D2391D5ULL);
}

TEST(ReadRealRange, SubnormalNear1em320) {
    // n = -320 takes the 1e-154 step first, then divides by 10^166; the
    // result is the subnormal nearest to 1e-320.
    istream in("1e-320");
    double target = 0.0;
    readReal(in, target);
    EXPECT_EQ(std::fpclassify(target), FP_SUBNORMAL);
    EXPECT_EQ(bitsOf(target), bitsOf(std::strtod("1e-320", nullptr)));
    EXPECT_EQ(in.rdstate(), 0u);
}

TEST(ReadRealRange, TheRangeTestLooksAtTheExponentAlone) {
    // 10^300 * 10^-461 = 1e-161 is well inside the double range, and n = -461
    // comes back to -307 after the 1e-154 step; one more and n stays below
    // -307 after it, so 10^300 * 10^-462 = 1e-162 reads as 0.0.
    const std::string mantissa = "1" + std::string(300, '0');
    {
        istream in(mantissa + "e-461");
        double target = 0.0;
        readReal(in, target);
        EXPECT_EQ(bitsOf(target), 0x1E81FEE341FC585BULL) << target;
        EXPECT_NEAR(target, 1e-161, 1e-175);
    }
    {
        istream in(mantissa + "e-462");
        double target = -1.0;
        readReal(in, target);
        EXPECT_EQ(bitsOf(target), bitsOf(0.0));
        EXPECT_EQ(in.rdstate(), 0u); // a range error leaves the state as it was
    }
}

// ---- Saturation and gigantic inputs -------------------------------------

TEST(ReadRealSaturation, MoreDigitsThanADoubleHoldGiveInfinity) {
    const std::string digits400 = "1" + std::string(400, '0');
    for (const std::string sign : {"", "+", "-"}) {
        istream in(sign + digits400 + " 5");
        double target = 0.0;
        readReal(in, target);
        EXPECT_EQ(target, (sign == "-" ? -1 : 1) * std::numeric_limits<double>::infinity()) << sign;
        EXPECT_EQ(in.rdstate(), 0u);
        EXPECT_EQ(unread(in), " 5");
    }
}

TEST(ReadRealSaturation, SaturatedDigitsAreScaledLikeAnyOthers) {
    // The mantissa saturates before it is scaled: 320 fraction digits give
    // infinity / 10^166 = infinity, and once the exponent is out of range the
    // range rule on n alone gives 0.0.
    {
        istream in("0." + std::string(320, '3'));
        double target = 0.0;
        readReal(in, target);
        EXPECT_EQ(target, std::numeric_limits<double>::infinity());
    }
    {
        istream in("0." + std::string(500, '3'));
        double target = -1.0;
        readReal(in, target);
        EXPECT_EQ(bitsOf(target), bitsOf(0.0));
    }
    {
        // Leading zeros add nothing to the mantissa.
        istream in("0." + std::string(400, '0') + "1");
        double target = -1.0;
        readReal(in, target);
        EXPECT_EQ(bitsOf(target), bitsOf(0.0));
        EXPECT_EQ(in.rdstate(), 0u);
    }
}

// A megabyte written into a pipe by a second thread while the stream reads it.
struct PipeFeed {
    // Owns descriptors: never copied, so never closed twice.
    PipeFeed(const PipeFeed&) = delete;
    PipeFeed& operator=(const PipeFeed&) = delete;

    int readEnd = -1;
    std::thread writer;

    explicit PipeFeed(std::string bytes) {
        int ends[2];
        if (!testing::openPipe(ends))
            throw std::runtime_error("pipe");
        readEnd = ends[0];
        writer = std::thread([bytes = std::move(bytes), fd = ends[1]] {
            std::size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            ::close(fd);
        });
    }
    ~PipeFeed() {
        ::close(readEnd); // a writer still blocked gets EPIPE
        writer.join();
    }
};

constexpr std::size_t megabyte = 1 << 20;

TEST(GiganticInput, AMegabyteOfWhiteSpaceThenANumber) {
    PipeFeed feed(std::string(megabyte, ' ') + "\r\n\t7\n");
    istream in(feed.readEnd);
    std::int32_t target = 0;
    readLong(in, target);
    EXPECT_EQ(target, 7);
    EXPECT_EQ(in.rdstate(), 0u);
    EXPECT_EQ(unread(in), "\n");
}

TEST(GiganticInput, AMegabyteOfWhiteSpaceAndNothingElse) {
    PipeFeed feed(std::string(megabyte, '\n'));
    istream in(feed.readEnd);
    double target = realSentinel;
    readReal(in, target);
    EXPECT_EQ(target, realSentinel);
    EXPECT_EQ(in.rdstate(), ios::eofbit | ios::failbit);
}

TEST(GiganticInput, AMegabyteOfDigits) {
    {
        // 10^k is 0 modulo 2^32 from k = 32 on.
        PipeFeed feed("7" + std::string(megabyte, '0') + "5x");
        istream in(feed.readEnd);
        std::int32_t target = 0;
        readLong(in, target);
        EXPECT_EQ(target, 5);
        EXPECT_EQ(unread(in), "x");
    }
    {
        // A leading zero makes it octal, however many zeros follow.
        PipeFeed feed(std::string(megabyte, '0') + "12345");
        istream in(feed.readEnd);
        std::int32_t target = 0;
        readInt(in, target);
        EXPECT_EQ(target, 012345);
    }
    {
        PipeFeed feed("-" + std::string(megabyte, '9') + ".9e-10 ");
        istream in(feed.readEnd);
        double target = 0.0;
        readReal(in, target);
        EXPECT_EQ(target, -std::numeric_limits<double>::infinity());
        EXPECT_EQ(in.rdstate(), 0u);
    }
    {
        // Fraction digits by the megabyte: the exponent is far out of range.
        PipeFeed feed("0." + std::string(megabyte, '7') + "e+30000");
        istream in(feed.readEnd);
        double target = -1.0;
        readReal(in, target);
        EXPECT_EQ(bitsOf(target), bitsOf(0.0));
        EXPECT_EQ(unread(in), "");
    }
}

// ---- Reads in sequence, as the dialogue makes them ----------------------

struct Dialogue {
    std::int32_t songs = integerSentinel;
    std::int32_t steps = integerSentinel;
    double ratio = realSentinel;
    ios::iostate state = 0;
    std::string rest;
};

Dialogue readThree(const std::string& typed) {
    istream in(typed);
    Dialogue d;
    readLong(in, d.songs);
    readInt(in, d.steps);
    readReal(in, d.ratio);
    d.state = in.rdstate();
    d.rest = unread(in);
    return d;
}

TEST(ReadSequence, OctalZeroEightGivesNoSongsAndEightSteps) {
    const Dialogue d = readThree("08\n");
    EXPECT_EQ(d.songs, 0);
    EXPECT_EQ(d.steps, 8);
    // The ratio read meets the end of the input after the newline.
    EXPECT_EQ(d.ratio, realSentinel);
    EXPECT_EQ(d.state, ios::eofbit | ios::failbit);
}

TEST(ReadSequence, TwelvePointFiveFailsTheStepRead) {
    const Dialogue d = readThree("12.5\n");
    EXPECT_EQ(d.songs, 12);
    EXPECT_EQ(d.steps, integerSentinel); // ".5" is no integer: left as it was
    EXPECT_EQ(d.ratio, realSentinel);    // the stream is failed: a no-op
    EXPECT_EQ(d.state, ios::failbit);
    EXPECT_EQ(d.rest, ".5\n");
}

TEST(ReadSequence, AllThreeOnOneLine) {
    const Dialogue d = readThree("10 500 0.9\n");
    EXPECT_EQ(d.songs, 10);
    EXPECT_EQ(d.steps, 500);
    EXPECT_EQ(d.ratio, 0.9);
    EXPECT_EQ(d.state, 0u);
    EXPECT_EQ(d.rest, "\n");
}

TEST(ReadSequence, EndOfInputAtTheFirstRead) {
    for (const std::string typed : {"", "\n", "  \r\n"}) {
        const Dialogue d = readThree(typed);
        EXPECT_EQ(d.songs, integerSentinel);
        EXPECT_EQ(d.steps, integerSentinel);
        EXPECT_EQ(d.ratio, realSentinel);
        EXPECT_EQ(d.state, ios::eofbit | ios::failbit);
    }
}

TEST(ReadSequence, ABadStreamSkipsEveryLaterRead) {
    // "0x" at the end of input sets bad; bad counts as an error for readInt.
    const Dialogue d = readThree("0x");
    EXPECT_EQ(d.songs, 0);
    EXPECT_EQ(d.steps, integerSentinel);
    EXPECT_EQ(d.ratio, realSentinel);
    EXPECT_EQ(d.state, ios::eofbit | ios::badbit | ios::failbit);
}

TEST(ReadSequence, ArbitraryBytesNeverUndoState) {
    // Reads over random byte strings: the state only gains bits, a read on a
    // marked stream consumes nothing and writes no target, and no real read
    // yields a NaN.
    std::mt19937 generator(20240601);
    const std::string alphabet = "0123456789xXeE+-.,  \n\r\t\x1A\x80\xff";
    for (int trial = 0; trial < 3000; ++trial) {
        std::string bytes;
        const std::size_t length = generator() % 24;
        for (std::size_t i = 0; i < length; ++i)
            bytes.push_back(alphabet[generator() % alphabet.size()]);
        SCOPED_TRACE(describe(bytes));

        istream all(bytes);
        istream upToMark(bytes);
        bool marked = false;
        for (int read = 0; read < 6; ++read) {
            const ios::iostate before = all.rdstate();
            std::int32_t integer = integerSentinel;
            double real = realSentinel;
            switch (read % 3) {
            case 0:
                readLong(all, integer);
                break;
            case 1:
                readInt(all, integer);
                break;
            default:
                readReal(all, real);
                break;
            }
            EXPECT_EQ(all.rdstate() & before, before);
            EXPECT_FALSE(std::isnan(real));
            if (before != 0) {
                EXPECT_EQ(integer, integerSentinel);
                EXPECT_EQ(real, realSentinel);
                EXPECT_TRUE(all.rdstate() & ios::failbit);
            } else if (!marked) {
                std::int32_t i2 = 0;
                double r2 = 0.0;
                if (read % 3 == 0)
                    readLong(upToMark, i2);
                else if (read % 3 == 1)
                    readInt(upToMark, i2);
                else
                    readReal(upToMark, r2);
                marked = upToMark.rdstate() != 0;
            }
        }
        EXPECT_EQ(unread(all), unread(upToMark));
    }
}

// ---- The tie ------------------------------------------------------------

TEST(TieFlush, ThePromptReachesThePipeBeforeTheReadReturns) {
    int prompts[2], answers[2];
    ASSERT_TRUE(testing::openPipe(prompts));
    ASSERT_TRUE(testing::openPipe(answers));
    ostream out(prompts[1]);
    istream in(answers[0]);
    in.tie(&out);

    writeText(out, "Number of songs: ");
    ASSERT_FALSE(testing::readableWithin(prompts[0], 0)) << "without unit buffering the prompt waits";

    // The user answers only once the prompt is seen: a read that flushed
    // after reading would wait forever, so the answer gives up after 5 s.
    std::string seen;
    std::thread user([&] {
        if (testing::readableWithin(prompts[0], 5000)) {
            char buffer[64];
            const ssize_t n = ::read(prompts[0], buffer, sizeof buffer);
            seen.assign(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
            (void)!::write(answers[1], "42\n", 3);
        }
        ::close(answers[1]);
    });
    std::int32_t songs = 0;
    readLong(in, songs);
    user.join();
    EXPECT_EQ(seen, "Number of songs: ");
    EXPECT_EQ(songs, 42);
    EXPECT_EQ(in.rdstate(), 0u);
    for (int fd : {prompts[0], prompts[1], answers[0]})
        ::close(fd);
}

TEST(TieFlush, EveryNumericReadFlushesEvenWithInputWaiting) {
    int prompts[2];
    ASSERT_TRUE(testing::openPipe(prompts));
    ostream out(prompts[1]);
    istream in("10 500 0.9\n");
    in.tie(&out);
    std::int32_t value = 0;
    double ratio = 0.0;

    writeText(out, "a");
    readLong(in, value);
    writeText(out, "b");
    readInt(in, value);
    writeText(out, "c");
    readReal(in, ratio);
    char buffer[8] = {};
    ASSERT_TRUE(testing::readableWithin(prompts[0], 0));
    EXPECT_EQ(::read(prompts[0], buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "abc");
    ::close(prompts[0]);
    ::close(prompts[1]);
}

TEST(TieFlush, AReadOnAMarkedStreamFlushesNothing) {
    int prompts[2];
    ASSERT_TRUE(testing::openPipe(prompts));
    ostream out(prompts[1]);
    istream in("");
    in.tie(&out);
    std::int32_t value = integerSentinel;
    readLong(in, value); // meets the end of input: end-of-file and failure
    ASSERT_EQ(in.rdstate(), ios::eofbit | ios::failbit);

    writeText(out, "Number of steps per song: ");
    readInt(in, value);
    double ratio = realSentinel;
    readReal(in, ratio);
    EXPECT_FALSE(testing::readableWithin(prompts[0], 0));
    EXPECT_EQ(out.pending(), 26u);
    EXPECT_EQ(value, integerSentinel);
    EXPECT_EQ(ratio, realSentinel);
    ::close(prompts[0]);
    ::close(prompts[1]);
}

// ---- Base flags ---------------------------------------------------------

TEST(BaseFlags, ASetFlagOverridesThePrefix) {
    struct Case {
        ios::fmtflags flag;
        const char* typed;
        std::int32_t value;
        const char* rest;
    } cases[] = {{ios::dec, "012", 12, ""},  {ios::dec, "0x1F", 0, "x1F"}, {ios::oct, "0x1F", 0, "x1F"},
                 {ios::oct, "178", 15, "8"}, {ios::hex, "1f", 31, ""},     {ios::hex, "0x1F", 0, "x1F"},
                 {ios::hex, "-fF", -255, ""}};
    for (const Case& c : cases) {
        istream in(c.typed);
        in.setf(c.flag);
        std::int32_t target = integerSentinel;
        readLong(in, target);
        EXPECT_EQ(target, c.value) << c.typed;
        EXPECT_EQ(unread(in), c.rest) << c.typed;
    }
}

TEST(BaseFlags, WithoutSkippingWhiteSpaceABlankIsNoNumber) {
    istream in(" 5");
    in.unsetf(ios::skipws);
    std::int32_t target = integerSentinel;
    readLong(in, target);
    EXPECT_EQ(target, 0);
    EXPECT_EQ(in.rdstate(), ios::failbit);
    EXPECT_EQ(unread(in), " 5");
}

} // namespace
} // namespace quorvex
