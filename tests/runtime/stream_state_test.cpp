#include "runtime/stream_state.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/input_stream.h"
#include "runtime/typed_reading.h"

namespace quorvex {
namespace {

// A fresh stream reads as the dialogue needs it to: past leading white
// space, in the base the number's own prefix gives, with no tie to flush.
TEST(StreamState, AFreshStreamReadsPastWhiteSpaceByThePrefix) {
    const struct {
        const char* typed;
        std::int32_t value;
    } cases[] = {{" \t\n42", 42}, {"  0x1F", 31}, {"017", 15}, {"\r\n-9", -9}};
    for (const auto& c : cases) {
        istream in(c.typed);
        std::int32_t target = -1;
        readLong(in, target);
        EXPECT_EQ(target, c.value) << c.typed;
        EXPECT_EQ(in.rdstate(), 0u) << c.typed;
    }
}

// The state bits are distinct single bits, so that a state that gained
// several still tells each apart.
TEST(StreamState, EachStateBitIsABitOfItsOwn) {
    const ios::iostate bits[] = {ios::eofbit, ios::failbit, ios::badbit, ios::hardfail};
    ios::iostate seen = 0;
    for (const ios::iostate bit : bits) {
        EXPECT_EQ(bit & (bit - 1), 0u) << bit;
        EXPECT_NE(bit, 0u);
        EXPECT_EQ(seen & bit, 0u) << bit;
        seen |= bit;
    }
}

TEST(StreamState, BitsOnlyAccumulate) {
    istream in("");
    in.setstate(ios::badbit);
    in.setstate(ios::eofbit);
    in.setstate(0);
    EXPECT_EQ(in.rdstate(), ios::badbit | ios::eofbit);
    in.setstate(ios::hardfail);
    EXPECT_EQ(in.rdstate(), ios::badbit | ios::eofbit | ios::hardfail);
}

TEST(StreamState, EndOfFileAloneIsNoError) {
    const struct {
        ios::iostate state;
        bool error;
    } cases[] = {{0, false},
                 {ios::eofbit, false},
                 {ios::failbit, true},
                 {ios::badbit, true},
                 {ios::hardfail, true},
                 {ios::eofbit | ios::failbit, true},
                 {ios::eofbit | ios::badbit, true}};
    for (const auto& c : cases) {
        istream in("");
        in.setstate(c.state);
        EXPECT_EQ(in.inError(), c.error) << c.state;
    }
}

// Setting and clearing flags touches only the flags named, as the reads show.
TEST(StreamState, FlagsAreSetAndClearedOneByOne) {
    istream in(" 10 10 10");
    std::int32_t target = 0;
    in.setf(ios::hex | ios::unitbuf);
    readLong(in, target);
    EXPECT_EQ(target, 16);
    in.unsetf(ios::hex);
    readLong(in, target);
    EXPECT_EQ(target, 10);
    EXPECT_NE(in.flags() & ios::unitbuf, 0u);
    in.unsetf(ios::skipws);
    readLong(in, target);
    EXPECT_EQ(target, 0);
    EXPECT_EQ(in.rdstate(), ios::failbit);
}

} // namespace
} // namespace quorvex
