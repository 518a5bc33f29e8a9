#include "formatsettings.h"
#include "conversions.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(FormatSettings, ResetGivesTheClassicUsEnglishDefaults)
{
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    ResetFormatSettings();
    EXPECT_EQ(FormatSettings.DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(FormatSettings.ThousandSeparator, QLatin1Char(','));
    EXPECT_EQ(FormatSettings.ShortDateFormat, QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(FormatSettings.LongTimeFormat, QStringLiteral("h:mm:ss AMPM"));
    EXPECT_EQ(FormatSettings.LongMonthNames[11], QStringLiteral("December"));
    EXPECT_EQ(FormatSettings.ShortDayNames[0], QStringLiteral("Sun"));
    EXPECT_EQ(FormatSettings.TimePMString, QStringLiteral("PM"));
}

TEST(FormatSettings, LocaleFormatsAreRewrittenInTheClassicLetters)
{
    const TFormatSettings german = TFormatSettings::FromLocale(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(german.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(german.ThousandSeparator, QLatin1Char('.'));
    EXPECT_EQ(german.DateSeparator, QLatin1Char('.'));
    EXPECT_EQ(german.TimeSeparator, QLatin1Char(':'));
    // The separator becomes '/', which stands for DateSeparator; Qt's m (minutes) becomes n.
    EXPECT_EQ(german.ShortDateFormat, QStringLiteral("dd/mm/yy"));
    EXPECT_EQ(german.LongDateFormat, QStringLiteral("dddd, d. mmmm yyyy"));
    EXPECT_EQ(german.ShortTimeFormat, QStringLiteral("hh:nn"));
    EXPECT_EQ(german.LongTimeFormat, QStringLiteral("hh:nn:ss"));
    EXPECT_EQ(german.LongMonthNames[2], QStringLiteral("März"));

    const TFormatSettings us = TFormatSettings::FromLocale(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(us.ShortDateFormat, QStringLiteral("m/d/yy"));
    EXPECT_EQ(us.ShortTimeFormat, QStringLiteral("h:nn AMPM"));
    EXPECT_EQ(us.LongDayNames[0], QStringLiteral("Sunday"));

    // Letters that are text, not fields, are quoted.
    const TFormatSettings japanese = TFormatSettings::FromLocale(QLocale(QStringLiteral("ja_JP")));
    EXPECT_EQ(japanese.LongTimeFormat, QStringLiteral("h\"時\"nn\"分\"ss\"秒\""));

    const TFormatSettings c = TFormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(c.ShortDateFormat, QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(c.ShortTimeFormat, QStringLiteral("h:mm AMPM"));
}

TEST(FormatSettings, ConversionsWorkUnderLocaleSettings)
{
    FormatSettings = TFormatSettings::FromLocale(QLocale(QStringLiteral("fi_FI")));
    const TDateTime value = EncodeDate(2023, 12, 31) + EncodeTime(13, 4, 5, 0);
    EXPECT_EQ(DateTimeToStr(value), QStringLiteral("31.12.2023 13.04.05"));
    EXPECT_EQ(StrToDateTime(QStringLiteral("31.12.2023 13.04.05")), value);
    EXPECT_EQ(FloatToStr(1.5), QStringLiteral("1,5"));
    ResetFormatSettings();
}
