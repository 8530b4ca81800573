#include "runtime/numeric_mode.h"

#include <thread>

#include <gtest/gtest.h>

#include "numeric_control_word.h"

namespace quorvex {
namespace {

// The x87 control word with precision control 10 (53-bit significand), the
// default of new threads under some Windows runtimes.
constexpr unsigned short doublePrecisionWord = 0x027F;

void loadControlWord(unsigned short word) {
    asm volatile("fldcw %0" : : "m"(word));
}

// 1 + 2^-60 survives a 64-bit significand and not a 53-bit one.
bool holdsSixtyFourBits() {
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-60L;
    return one + tiny != one;
}

TEST(NumericMode, ExtendedPrecisionNearestAndAllMasked) {
    loadControlWord(doublePrecisionWord);
    ASSERT_FALSE(holdsSixtyFourBits());
    setNumericMode();
    EXPECT_EQ(numericControlWord(), 0x037F);
    EXPECT_TRUE(holdsSixtyFourBits());
}

TEST(NumericMode, EveryThreadSetsItsOwn) {
    // The control word is per thread: a thread that changes its own leaves
    // the main thread's alone, and setting the mode there works as here.
    setNumericMode();
    unsigned short before = 0, after = 0;
    bool extended = false;
    std::thread worker([&] {
        loadControlWord(doublePrecisionWord);
        before = numericControlWord();
        setNumericMode();
        after = numericControlWord();
        extended = holdsSixtyFourBits();
    });
    worker.join();
    EXPECT_EQ(before, doublePrecisionWord);
    EXPECT_EQ(after, 0x037F);
    EXPECT_TRUE(extended);
    EXPECT_EQ(numericControlWord(), 0x037F);
}

} // namespace
} // namespace quorvex
