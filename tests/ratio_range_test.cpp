// The points of a range A:B:STEP in exact decimal arithmetic: each point the
// decimal A + i STEP written out once (checked against integer arithmetic on
// the same numbers), B included exactly when the steps reach it, and every
// bad range refused.

#include "app/ratio_range.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::app {
namespace {

std::vector<std::string> textsOf(const RangePoints& range) {
    std::vector<std::string> texts;
    for (const RangePoint& point : range.points)
        texts.push_back(point.text);
    return texts;
}

std::vector<std::string> labelsOf(const RangePoints& range) {
    std::vector<std::string> labels;
    for (const RangePoint& point : range.points)
        labels.push_back(point.label);
    return labels;
}

// n / 10^6 written out by hand: six decimals, then trailing zeros dropped.
std::string millionths(std::int64_t n) {
    const std::string digits =
        std::string(7 - std::min<std::size_t>(7, std::to_string(n).size()), '0') + std::to_string(n);
    std::string text = digits.substr(0, digits.size() - 6) + "." + digits.substr(digits.size() - 6);
    text.erase(text.find_last_not_of('0') + 1);
    return text.back() == '.' ? text.substr(0, text.size() - 1) : text;
}

TEST(RatioRange, ExactDecimalsOfTheReadersTexts) {
    struct Case {
        std::string text;
        std::int64_t units;
        int decimals;
    };
    const std::vector<Case> cases = {
        {"0.95", 95, 2},  {".5", 5, 1},      {"0.50", 5, 1},          {"9.5e-1", 95, 2}, {"1", 1, 0},
        {"1.", 1, 0},     {"000.001", 1, 3}, {"-0.01", -1, 2},        {"+0.01", 1, 2},   {"1e-30", 1, 30},
        {"25E-3", 25, 3}, {"0.0", 0, 0},     {"1234567", 1234567, 0},
    };
    for (const Case& c : cases) {
        const std::optional<DecimalNumber> got = exactDecimal(c.text);
        ASSERT_TRUE(got.has_value()) << c.text;
        EXPECT_EQ(static_cast<std::int64_t>(got->units), c.units) << c.text;
        EXPECT_EQ(got->decimals, c.decimals) << c.text;
    }
    for (const char* refused : {"", ".", "e5", "1e", "1e+", "0.5x", "1..2", "1e-31",
                                "0.0000000000000000000000000000001", "12345678", "1e7"})
        EXPECT_FALSE(exactDecimal(refused).has_value()) << refused;
}

TEST(RatioRange, EveryPointIsTheExactDecimalWrittenOnce) {
    // Ranges of millionths against integer arithmetic on the same numbers.
    std::mt19937_64 random(1700000000);
    for (int n = 0; n < 2000; ++n) {
        const auto a = static_cast<std::int64_t>(random() % 1000000) + 1;
        const auto s = static_cast<std::int64_t>(random() % 5000) + 1;
        const auto b = std::min<std::int64_t>(1000000, a + s * static_cast<std::int64_t>(random() % 150));
        const std::string start = millionths(a), stop = millionths(b), step = millionths(s) + "0";
        SCOPED_TRACE(::testing::Message() << start << ":" << stop << ":" << step);
        const RangePoints range = expandRange({start, stop, step}, 10000);
        ASSERT_EQ(range.fault, RangeFault::none);
        ASSERT_EQ(range.points.size(), static_cast<std::size_t>((b - a) / s + 1));
        for (std::size_t i = 1; i + 1 < range.points.size(); ++i)
            ASSERT_EQ(range.points[i].text, millionths(a + static_cast<std::int64_t>(i) * s));
        EXPECT_EQ(range.points.front().text, start);
    }
}

TEST(RatioRange, PointsEndAtBExactlyWhenTheStepsReachIt) {
    struct Case {
        RangeTexts range;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        // Doubles would miss these: 0.9 + 9 x 0.01 exceeds the double 0.99,
        // 0.1 + 2 x 0.1 rounds to 0.30000000000000004, and 0.9 + 5 x 0.01 to
        // 0.9500000000000001, a double the program's reader makes of no text.
        {{"0.9", "0.99", "0.01"},
         {"0.9", "0.91", "0.92", "0.93", "0.94", "0.95", "0.96", "0.97", "0.98", "0.99"}},
        {{"0.1", "0.3", "0.1"}, {"0.1", "0.2", "0.3"}},
        {{"0.1", "1", "0.1"}, {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"}},
        // B off the grid: the last point before it.
        {{"0.9", "0.985", "0.01"}, {"0.9", "0.91", "0.92", "0.93", "0.94", "0.95", "0.96", "0.97", "0.98"}},
        {{"0.9", "0.99000000000000000001", "0.01"},
         {"0.9", "0.91", "0.92", "0.93", "0.94", "0.95", "0.96", "0.97", "0.98", "0.99"}},
        // A and B keep their texts; the points between are written shortest.
        {{"9e-1", "1.00", "0.05"}, {"9e-1", "0.95", "1.00"}},
        // Downwards, a single point, and a step longer than the range.
        {{"1", "0.9", "-0.05"}, {"1", "0.95", "0.9"}},
        {{"0.5", "0.5", "0.1"}, {"0.5"}},
        {{"0.5", "0.5", "-0.1"}, {"0.5"}},
        {{"0.5", "0.6", "1"}, {"0.5"}},
        {{"1e-30", "3e-30", "1e-30"}, {"1e-30", "0.000000000000000000000000000002", "3e-30"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.range.start) + ":" + std::string(c.range.stop) + ":" +
                     std::string(c.range.step));
        const RangePoints got = expandRange(c.range, 10000);
        ASSERT_EQ(got.fault, RangeFault::none);
        EXPECT_EQ(textsOf(got), c.texts);
    }
    EXPECT_EQ(labelsOf(expandRange({"0.9", "1", "0.05"}, 10000)),
              (std::vector<std::string>{"0.90", "0.95", "1.00"}));
    EXPECT_EQ(labelsOf(expandRange({"0.99", "1", "0.0005"}, 10000))[1], "0.9905");
}

TEST(RatioRange, AtMostTheLimit) {
    // 0.0001:1:0.0001 is exactly 10000 points; one more is refused, and so
    // is a range of 10^29 points, without counting them.
    const RangePoints full = expandRange({"0.0001", "1", "0.0001"}, 10000);
    EXPECT_EQ(full.fault, RangeFault::none);
    EXPECT_EQ(full.points.size(), 10000U);
    EXPECT_EQ(full.points.back().text, "1");
    EXPECT_EQ(expandRange({"0.00001", "0.10001", "0.00001"}, 10000).fault, RangeFault::tooManyPoints);
    EXPECT_EQ(expandRange({"0.00001", "0.10001", "0.00001"}, 10001).points.size(), 10001U);
    EXPECT_EQ(expandRange({"0.1", "1", "1e-30"}, 10000).fault, RangeFault::tooManyPoints);
    EXPECT_EQ(expandRange({"0.1", "0.2", "0.1"}, 1).fault, RangeFault::tooManyPoints);
}

TEST(RatioRange, BadRangesAreFaults) {
    const std::vector<std::pair<RangeTexts, RangeFault>> cases = {
        {{"0.9", "1", "0"}, RangeFault::zeroStep},
        {{"0.5", "0.5", "0.000"}, RangeFault::zeroStep},
        {{"0.9", "1", "-0.01"}, RangeFault::stepAwayFromB},
        {{"1", "0.9", "0.01"}, RangeFault::stepAwayFromB},
        {{"0.5", "0.6", "1.0000000000000000001"}, RangeFault::stepBeyondOne},
        {{"0.5", "1", "1e-31"}, RangeFault::tooFine},
        {{"1e-31", "1", "0.1"}, RangeFault::tooFine},
    };
    for (const auto& [range, fault] : cases) {
        const RangePoints got = expandRange(range, 10000);
        EXPECT_EQ(got.fault, fault) << range.start << ":" << range.stop << ":" << range.step;
        EXPECT_TRUE(got.points.empty());
    }
}

} // namespace
} // namespace quorvex::app
