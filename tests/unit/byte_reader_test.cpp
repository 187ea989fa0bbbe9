// The decoders' byte reader: both byte orders, and running out of bytes as a failure that sticks
// and moves nothing, for the reader and for the sub-ranges taken from it.
#include <gtest/gtest.h>

#include "core/byte_reader.h"

using tess::ByteReader;

TEST(ByteReader, ReadsBothByteOrdersAndFailsForGoodAtTheEnd) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
    ByteReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.u16le(), 0x0201);
    EXPECT_EQ(r.u16be(), 0x0304);
    ByteReader ahead = r;  // a copy reads ahead without moving r
    EXPECT_EQ(ahead.u32be(), 0x05060708u);
    EXPECT_EQ(r.u32le(), 0x08070605u);
    EXPECT_EQ(r.remaining(), 1u);
    EXPECT_EQ(r.u16le(), 0);  // one byte short
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.position(), 8u);
    EXPECT_EQ(r.u8(), 0);  // the byte that was left is not read after a failure
    EXPECT_FALSE(r.skip(0));
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReader, SubRangesAreBoundedByTheirLength) {
    const uint8_t bytes[] = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
    ByteReader r(bytes, sizeof bytes);
    ByteReader first = r.sub(2);
    EXPECT_EQ(first.u8(), 0xAA);
    EXPECT_EQ(first.u16le(), 0);  // past the range, though the bytes go on
    EXPECT_TRUE(first.failed());
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.u8(), 0xCC);
    ByteReader tooLong = r.sub(3);
    EXPECT_TRUE(tooLong.failed());
    EXPECT_TRUE(r.failed());

    const ByteReader whole(bytes, sizeof bytes);
    ByteReader tail = whole.from(4);
    ASSERT_NE(tail.bytes(1), nullptr);
    EXPECT_EQ(tail.bytes(1), nullptr);
    EXPECT_FALSE(whole.from(5).failed());  // the end itself is a place to read nothing from
    EXPECT_TRUE(whole.from(6).failed());
}
