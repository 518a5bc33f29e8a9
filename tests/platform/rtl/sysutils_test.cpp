#include "sysutils.h"
#include "exception.h"

#include <QList>

#include <gtest/gtest.h>

struct IntCase
{
    const char *name;
    const char *text;
    bool ok;
    int value;
};

class TryStrToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(TryStrToIntTest, ParsesLikeTheClassicRuntime)
{
    const IntCase &c = GetParam();
    int value = -7;
    EXPECT_EQ(TryStrToInt(QString::fromLatin1(c.text), value), c.ok);
    if (c.ok) {
        EXPECT_EQ(value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TryStrToIntTest,
    ::testing::Values(IntCase{"LeadingBlank", " 12", true, 12},
                      IntCase{"TrailingBlankRejected", "12 ", false, 0},
                      IntCase{"Hex", "$ff", true, 255},
                      IntCase{"NegativeHex", "-$10", true, -16},
                      IntCase{"Empty", "", false, 0},
                      IntCase{"LoneSign", "-", false, 0},
                      IntCase{"LoneDollar", "$", false, 0},
                      // One past the maximum must not wrap round.
                      IntCase{"Overflow", "2147483648", false, 0},
                      IntCase{"Minimum", "-2147483648", true, -2147483647 - 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SysUtils, StrToIntRaisesNamingTheText)
{
    try {
        StrToInt(QStringLiteral("abc"));
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("\"abc\"")));
    }
    EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 5), 5);
}

TEST(SysUtils, EncodeDateMatchesTheClassicDayNumbers)
{
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2023, 2, 30), EConvertError);
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
}

TEST(SysUtils, DecodeDateRoundTrips)
{
    int y, m, d;
    DecodeDate(45000, y, m, d);
    EXPECT_EQ(QList<int>({y, m, d}), QList<int>({2023, 3, 15}));
    DecodeDate(-1, y, m, d);
    EXPECT_EQ(QList<int>({y, m, d}), QList<int>({1899, 12, 29}));
    for (double day = -693593; day <= 2958465; ++day) {
        DecodeDate(day, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day);
    }
}

TEST(SysUtils, EncodeTimeRejectsOutOfRangeFieldsAndRoundTrips)
{
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), 0.75);
    TDateTime t = 0;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
    int h, m, s, ms;
    DecodeTime(36526 + EncodeTime(23, 59, 59, 999), h, m, s, ms);
    EXPECT_EQ(QList<int>({h, m, s, ms}), QList<int>({23, 59, 59, 999}));
    DecodeTime(EncodeTime(7, 5, 3, 1), h, m, s, ms);
    EXPECT_EQ(QList<int>({h, m, s, ms}), QList<int>({7, 5, 3, 1}));
}

TEST(SysUtils, NowSplitsIntoDateAndTime)
{
    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LE(Date(), now);
    EXPECT_GE(Time(), 0.0);
    EXPECT_LT(Time(), 1.0);
    EXPECT_EQ(IntToStr(int64_t(-9223372036854775807LL - 1)), QStringLiteral("-9223372036854775808"));
}
