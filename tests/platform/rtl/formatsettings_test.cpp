#include "formatsettings.h"

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
