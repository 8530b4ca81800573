#include "containers/apvector.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "index_death.h"

namespace quorvex {
namespace {

// The 80 bits of an extended real, for comparisons that must be bit for bit.
struct Bits {
    std::uint64_t significand;
    std::uint16_t signExponent;
    friend bool operator==(const Bits&, const Bits&) = default;
};

Bits bitsOf(long double x) {
    Bits bits{};
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    std::memcpy(&bits.significand, bytes, 8);
    std::memcpy(&bits.signExponent, bytes + 8, 2);
    return bits;
}

// Values whose bits would suffer from any arithmetic on the way: the last
// significand bit, negative zero, a denormal, the largest value.
const long double samples[] = {0x1.0000000000000002p0L, -0.0L, std::numeric_limits<long double>::denorm_min(),
                               std::numeric_limits<long double>::max(), 1000.0L};
constexpr std::int32_t sampleCount = 5;

apvector<long double> filledWithSamples() {
    apvector<long double> v(sampleCount);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        v[k] = samples[k];
    return v;
}

TEST(ApvectorShape, DefaultAndSizedConstruction) {
    const apvector<long double> empty;
    EXPECT_EQ(empty.length(), 0);
    const apvector<long double> sized(7);
    EXPECT_EQ(sized.length(), 7);
    // New cells are value-initialised here (left open by the contract of
    // the containers, chosen so that no cell is ever unpredictable).
    for (std::int32_t k = 0; k < 7; ++k)
        EXPECT_EQ(bitsOf(sized[k]), bitsOf(0.0L));
    const apvector<apvector<long double>> rows(3);
    for (std::int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(rows[k].length(), 0);
}

TEST(ApvectorShape, NegativeLengthIsRefusedAndChangesNothing) {
    EXPECT_THROW(apvector<long double>(-1), std::length_error);
    apvector<long double> v = filledWithSamples();
    EXPECT_THROW(v.resize(-3), std::length_error);
    ASSERT_EQ(v.length(), sampleCount);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        EXPECT_EQ(bitsOf(v[k]), bitsOf(samples[k]));
}

TEST(ApvectorResize, GrowingKeepsEveryElementAndAppends) {
    apvector<long double> v = filledWithSamples();
    v.resize(8);
    ASSERT_EQ(v.length(), 8);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        EXPECT_EQ(bitsOf(v[k]), bitsOf(samples[k])) << k;
}

TEST(ApvectorResize, ShrinkingDropsTheTail) {
    apvector<long double> v = filledWithSamples();
    v.resize(2);
    ASSERT_EQ(v.length(), 2);
    EXPECT_EQ(bitsOf(v[0]), bitsOf(samples[0]));
    EXPECT_EQ(bitsOf(v[1]), bitsOf(samples[1]));
    v.resize(0);
    EXPECT_EQ(v.length(), 0);
}

TEST(ApvectorResize, SameLengthKeepsValuesButTakesFreshStorage) {
    apvector<long double> v = filledWithSamples();
    const long double* before = &v[0];
    v.resize(sampleCount);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        EXPECT_EQ(bitsOf(v[k]), bitsOf(samples[k])) << k;
    // The old storage was still held while the new one was obtained, so the
    // element cannot be where it was: earlier references are stale.
    EXPECT_NE(&v[0], before);
}

TEST(ApvectorResize, RowsOfAVectorOfVectorsAreCopiedWhole) {
    apvector<apvector<long double>> rows(2);
    rows[0] = filledWithSamples();
    rows[1].resize(1);
    rows[1][0] = 42.0L;
    rows.resize(3);
    ASSERT_EQ(rows.length(), 3);
    ASSERT_EQ(rows[0].length(), sampleCount);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        EXPECT_EQ(bitsOf(rows[0][k]), bitsOf(samples[k]));
    ASSERT_EQ(rows[1].length(), 1);
    EXPECT_EQ(rows[1][0], 42.0L);
    EXPECT_EQ(rows[2].length(), 0);
}

TEST(ApvectorAssignment, SelfAssignmentChangesNothing) {
    apvector<long double> v = filledWithSamples();
    const long double* storage = &v[0];
    apvector<long double>& alias = v;
    v = alias;
    ASSERT_EQ(v.length(), sampleCount);
    EXPECT_EQ(&v[0], storage);
    for (std::int32_t k = 0; k < sampleCount; ++k)
        EXPECT_EQ(bitsOf(v[k]), bitsOf(samples[k]));
}

TEST(ApvectorAssignment, ShorterSourceLeavesAnExactShorterCopy) {
    apvector<long double> source(3);
    for (std::int32_t k = 0; k < 3; ++k)
        source[k] = samples[k];
    apvector<long double> target = filledWithSamples();
    target = source;
    ASSERT_EQ(target.length(), 3);
    for (std::int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(bitsOf(target[k]), bitsOf(samples[k]));
}

TEST(ApvectorAssignment, CopiesAreDeep) {
    apvector<long double> source = filledWithSamples();
    apvector<long double> assigned;
    assigned = source;
    const apvector<long double> constructed(source);
    source[0] = -1.0L;
    EXPECT_EQ(bitsOf(assigned[0]), bitsOf(samples[0]));
    EXPECT_EQ(bitsOf(constructed[0]), bitsOf(samples[0]));
    EXPECT_NE(&assigned[1], &source[1]);

    apvector<apvector<long double>> rows(1);
    rows[0] = filledWithSamples();
    apvector<apvector<long double>> rowsCopy(rows);
    rows[0][4] = 0.0L;
    EXPECT_EQ(rowsCopy[0][4], 1000.0L);
}

TEST(ApvectorIndexDeathTest, ReportsTheBadIndexAndEndsWithStatus3) {
    apvector<long double> v = filledWithSamples();
    EXPECT_EXIT(v[7] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 7 max index = 4"));
    EXPECT_EXIT(v[5] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 5 max index = 4"));
    EXPECT_EXIT(v[-1] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: -1 max index = 4"));
    EXPECT_EXIT(v[std::numeric_limits<std::int32_t>::min()] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: -2147483648 max index = 4"));
}

TEST(ApvectorIndexDeathTest, ReadOnlyIndexChecksAlike) {
    const apvector<long double> v = filledWithSamples();
    EXPECT_EXIT(static_cast<void>(v[5]), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 5 max index = 4"));
    const apvector<long double> empty;
    EXPECT_EXIT(static_cast<void>(empty[0]), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 0 max index = -1"));
}

} // namespace
} // namespace quorvex
