#include "common/byte_reader.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(ByteReader, ReadsLittleEndianAndFixedText) {
    std::string bytes;
    ByteWriter out(bytes);
    out.u16(0xBEEF);
    out.u32(0x01020304);
    out.i32(-2);
    out.text("abc", 6);

    ByteReader in(bytes.data(), bytes.size());
    EXPECT_EQ(in.u16(), 0xBEEF);
    EXPECT_EQ(in.u32(), 0x01020304u);
    EXPECT_EQ(in.i32(), -2);
    EXPECT_EQ(in.text(6), "abc");
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(ByteReader, FailureIsStickyAndYieldsZeros) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    ByteReader in(bytes, sizeof bytes);
    EXPECT_EQ(in.u32(), 0x04030201u);
    EXPECT_EQ(in.u32(), 0u);  // only two bytes left
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.u8(), 0u);  // nothing more after a failure, not even what is there
    uint8_t out[2] = {0x55, 0x55};
    in.bytes(out, 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(in.view(1), nullptr);
}

TEST(ByteReader, HugeLengthsDoNotWrap) {
    const uint8_t bytes[8] = {};
    ByteReader in(bytes, sizeof bytes);
    in.skip(4);
    EXPECT_EQ(in.view(SIZE_MAX - 2), nullptr);
    EXPECT_FALSE(in.ok());
}

TEST(ByteWriter, TextFieldIsCutToLeaveATerminator) {
    std::string bytes;
    ByteWriter(bytes).text("abcdef", 4);
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes, std::string("abc\0", 4));
}

}  // namespace
}  // namespace quillet
