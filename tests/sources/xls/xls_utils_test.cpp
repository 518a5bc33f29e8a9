#include "xlsutils.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(XlsUtilsTest, CellNamesRoundTrip)
{
    EXPECT_EQ(Col2Letter(1), QStringLiteral("A"));
    EXPECT_EQ(Col2Letter(26), QStringLiteral("Z"));
    EXPECT_EQ(Col2Letter(27), QStringLiteral("AA"));
    EXPECT_EQ(Col2Letter(256), QStringLiteral("IV"));
    EXPECT_EQ(Letter2Col(QStringLiteral("AB")), 28);
    EXPECT_EQ(Letter2Col(QString()), 0);
    for (int n = 1; n <= 256; ++n)
        ASSERT_EQ(Letter2Col(Col2Letter(n)), n) << n;
    for (int n : {1, 9, 10, 65535, 65536})
        EXPECT_EQ(Number2Row(Row2Number(n)), n);
    EXPECT_THROW(Number2Row(QStringLiteral("12a")), EConvertError);
}

TEST(XlsUtilsTest, RkValuesOfEveryForm)
{
    EXPECT_EQ(DecodeRK(0x3FF00000), 1.0);  // float
    EXPECT_EQ(DecodeRK(0x3FF00001), 0.01); // float / 100
    EXPECT_EQ(DecodeRK(403), 1.0);         // integer 100 / 100
    EXPECT_EQ(DecodeRK(0xFFFFFFFE), -1.0); // integer, every bit above bit 1 set
    EXPECT_EQ(DecodeRK(0x80000002), -536870912.0);
    for (double v : {0.0, 1.0, -1.0, 0.5, 12.34, -5.01, 536870911.0, -536870912.0, 1099511627776.0, 1.25}) {
        uint32_t rk = 0;
        ASSERT_TRUE(EncodeRK(v, rk)) << v;
        EXPECT_EQ(DecodeRK(rk), v) << v;
    }
    uint32_t rk = 0;
    EXPECT_FALSE(EncodeRK(1.0 / 3, rk));
    EXPECT_FALSE(EncodeRK(123456789012.5, rk));
}

TEST(XlsUtilsTest, ErrorCodesAndTheirTexts)
{
    const int codes[] = {0, 7, 15, 23, 29, 36, 42};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(StringToErrCode(ErrCodeToString(codes[i])), codes[i]);
    EXPECT_EQ(ErrCodeToString(99), QStringLiteral("#NULL!"));
    try {
        StringToErrCode(QStringLiteral("#div/0!"));
        FAIL();
    } catch (const ExlsFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid cell error code: '#div/0!'"));
    }
}

TEST(XlsUtilsTest, StringHelpers)
{
    EXPECT_FALSE(IsWide(QStringLiteral("Grüße")));
    EXPECT_TRUE(IsWide(QStringLiteral("Ω")));
    EXPECT_LT(CompareWideStr(QStringLiteral("zz"), QStringLiteral("aaa")), 0);
    EXPECT_GT(CompareWideStr(QStringLiteral("b"), QStringLiteral("a")), 0);
    EXPECT_EQ(WideStringToStringNoCodePage(QStringLiteral("é")), QByteArray("\xE9"));
    EXPECT_EQ(StringToWideStringNoCodePage(QByteArray("\xE9")), QStringLiteral("é"));
    EXPECT_EQ(ByteArrayToStr(QByteArray("\0ab", 3), 2), QStringLiteral("ab"));
    EXPECT_EQ(ByteArrayToStr(QByteArray("\1a\0b\0", 5), 2), QStringLiteral("ab"));
    // Two-byte length, options with runs and far-east data, 3 16-bit characters.
    const QByteArray s("\x03\x00\x0D\x02\x00\x05\x00\x00\x00", 9);
    EXPECT_EQ(GetStrLen(s, 0, true), 2 + 1 + 2 + 4 + 6 + 8 + 5);
    EXPECT_EQ(GetStrLen(QByteArray("\x04\x00", 2), 0, false), 1 + 1 + 4);
    EXPECT_EQ(GetStrLen(QByteArray("\x01", 1), 0, false, 7), 1 + 14);
    EXPECT_EQ(InternalNumberFormats(14), QStringLiteral("m/d/yy"));
    EXPECT_EQ(InternalNumberFormats(48), QStringLiteral("# #0.0E+0"));
    EXPECT_TRUE(InternalNumberFormats(30).isEmpty());
    EXPECT_TRUE(InternalNumberFormats(50).isEmpty());
}
