#include "runtime/stream_state.h"

#include <gtest/gtest.h>

#include "runtime/input_stream.h"

namespace quorvex {
namespace {

TEST(StreamState, AFreshStreamSkipsWhiteSpaceAndIsUntied) {
    const istream in("");
    EXPECT_EQ(in.rdstate(), 0u);
    EXPECT_EQ(in.flags(), ios::skipws);
    EXPECT_EQ(in.tie(), nullptr);
    EXPECT_FALSE(in.inError());
}

TEST(StreamState, BitsOnlyAccumulate) {
    istream in("");
    in.setstate(ios::badbit);
    in.setstate(ios::eofbit);
    in.setstate(0);
    EXPECT_EQ(in.rdstate(), ios::badbit | ios::eofbit);
    in.setstate(ios::hardfail);
    EXPECT_EQ(in.rdstate(), 0x85u);
}

TEST(StreamState, EndOfFileAloneIsNoError) {
    for (const ios::iostate bits : {ios::failbit, ios::badbit, ios::hardfail}) {
        istream in("");
        in.setstate(ios::eofbit);
        EXPECT_FALSE(in.inError());
        in.setstate(bits);
        EXPECT_TRUE(in.inError()) << bits;
    }
}

TEST(StreamState, FlagsAreSetAndClearedOneByOne) {
    istream in("");
    in.setf(ios::hex | ios::unitbuf);
    EXPECT_EQ(in.flags(), ios::skipws | ios::hex | ios::unitbuf);
    in.unsetf(ios::skipws | ios::hex);
    EXPECT_EQ(in.flags(), ios::unitbuf);
}

} // namespace
} // namespace quorvex
