#include "bytereader.h"

#include <gtest/gtest.h>

TEST(ByteReaderTest, ReadsLittleEndianValuesInOrder)
{
    const char raw[] = "\x01\x34\x12\x78\x56\x34\x12\xff\xff\xff\xff\x00\x00\x00\x00\x00\x00\xf0\x3f";
    TByteReader r(QByteArrayView(raw, sizeof raw - 1));
    EXPECT_EQ(r.u8(), 0x01);
    EXPECT_EQ(r.u16le(), 0x1234);
    EXPECT_EQ(r.u32le(), 0x12345678u);
    EXPECT_EQ(r.i32le(), -1);
    EXPECT_EQ(r.f64le(), 1.0);
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReaderTest, ShortReadRaisesWithWhatWhereAndHowMuch)
{
    const char raw[] = "\x01\x02\x03";
    TByteReader r(QByteArrayView(raw, 3));
    r.skip(1);
    try {
        r.u32le("record length");
        FAIL() << "no error";
    } catch (const EReadError &e) {
        EXPECT_EQ(e.Offset, 1);
        EXPECT_EQ(e.Expected, 4);
        EXPECT_EQ(e.Found, 2);
        EXPECT_EQ(e.Message(), QStringLiteral("Unexpected end of data reading record length at offset 1: expected 4 bytes, found 2"));
    }
    // A failed read does not move the position.
    EXPECT_EQ(r.pos(), 1);
    EXPECT_THROW(r.bytes(-1), EReadError);
    EXPECT_THROW(r.seek(4), EReadError);
    r.seek(3);
    EXPECT_TRUE(r.atEnd());
}
