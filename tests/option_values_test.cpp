#include "app/option_values.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/input_stream.h"
#include "runtime/numeric_mode.h"
#include "runtime/typed_reading.h"

namespace quorvex::app {
namespace {

constexpr std::int64_t int32Max = 2147483647;

TEST(ReadWholeNumber, DecimalDigitsWithinTheBounds) {
    struct Case {
        const char* text = nullptr;
        std::optional<std::int64_t> expected;
    };
    for (const Case& c : {
             Case{"1", 1},
             Case{"+400", 400},
             Case{"010", 10}, // leading zeros are not octal
             Case{"2147483647", int32Max},
             Case{"000000000000000000002147483647", int32Max}, // length alone is no fault
             Case{"2147483648", std::nullopt},
             Case{"4294967297", std::nullopt},              // no wrap to 1
             Case{"99999999999999999999999", std::nullopt}, // no overflow of the reader either
             Case{"0", std::nullopt},
             Case{"-1", std::nullopt},
             Case{"0x10", std::nullopt},
             Case{"1e3", std::nullopt},
             Case{"12x", std::nullopt},
             Case{" 12", std::nullopt},
             Case{"12 ", std::nullopt},
             Case{"+", std::nullopt},
             Case{"++1", std::nullopt},
             Case{"", std::nullopt},
         })
        EXPECT_EQ(readWholeNumber(c.text, 1, int32Max), c.expected) << '"' << c.text << '"';
}

TEST(ReadWholeNumber, TheSeedsRangeReachesTwoToThe32Less1) {
    EXPECT_EQ(readWholeNumber("0", 0, 4294967295), 0);
    EXPECT_EQ(readWholeNumber("4294967295", 0, 4294967295), 4294967295);
    EXPECT_EQ(readWholeNumber("4294967296", 0, 4294967295), std::nullopt);
}

// The double the dialogue's reader gives for the same text typed at its prompt.
double typedAtThePrompt(const std::string& text) {
    istream in(text);
    double ratio = 0.0;
    readReal(in, ratio);
    return ratio;
}

TEST(ReadPerfectRatio, ReadsAsTheDialogueDoes) {
    setNumericMode();
    struct Case {
        const char* text = nullptr;
        double expected = 0;
    };
    for (const Case& c : {
             Case{"0.95", 0x1.e666666666666p-1},
             Case{".5", 0x1p-1},
             Case{"1", 1.0},
             Case{"1.", 1.0},
             Case{"0.1e1", 1.0},
             Case{"+0.25", 0x1p-2},
             Case{"1e-1", 0x1.999999999999ap-4},
             // The digit-accumulating reader lands one step above the
             // nearest double (0x1.791819d2391d5p-9) here, as the dialogue does.
             Case{"0.002877", 0x1.791819d2391d6p-9},
             Case{"4.9e-324", 0x0.0000000000001p-1022},
         }) {
        const std::optional<double> ratio = readPerfectRatio(c.text);
        ASSERT_TRUE(ratio.has_value()) << c.text;
        EXPECT_EQ(*ratio, c.expected) << c.text;
        EXPECT_EQ(*ratio, typedAtThePrompt(c.text)) << c.text;
    }
}

TEST(ReadPerfectRatio, RefusesWhatLiesOutsideTheOpenClosedUnitOrIsNoNumber) {
    setNumericMode();
    for (const char* text : {"0",      "0.0", "-0",    "-0.5",   "1.0000000000000002",
                             "1.5",    "2",   "1e999", "1e-400", "inf",
                             "nan",    "abc", "0.9x",  "0.95 ",  " 0.95",
                             "\t0.95", "",    ".",     "-",      "1e",
                             "0x1p-1", "0,95"})
        EXPECT_EQ(readPerfectRatio(text), std::nullopt) << '"' << text << '"';
}

TEST(ReadScoreList, CommaSeparatedScoresFirstOccurrenceKept) {
    using Scores = std::vector<std::int32_t>;
    struct Case {
        const char* text = nullptr;
        std::optional<Scores> expected;
    };
    for (const Case& c : {
             Case{"950", Scores{950}},
             Case{"0,1000", Scores{0, 1000}},
             Case{"990,950,990,+950,999", Scores{990, 950, 999}},
             Case{"1001", std::nullopt},
             Case{"950,", std::nullopt},
             Case{",950", std::nullopt},
             Case{"950,,990", std::nullopt},
             Case{"950, 990", std::nullopt},
             Case{"-1", std::nullopt},
             Case{"", std::nullopt},
         })
        EXPECT_EQ(readScoreList(c.text), c.expected) << '"' << c.text << '"';
}

} // namespace
} // namespace quorvex::app
