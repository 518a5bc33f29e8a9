#include "codepages.h"
#include "exception.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

namespace {

// Restores the process-wide code pages after a test that changes them.
struct CodePageGuard
{
    QString ansi = AnsiCodePage();
    QString oem = OemCodePage();
    ~CodePageGuard()
    {
        SetAnsiCodePage(ansi);
        SetOemCodePage(oem);
    }
};

} // namespace

TEST(CodePages, DefaultsAreWindows1252AndIbm437)
{
    EXPECT_EQ(AnsiCodePage(), QStringLiteral("windows-1252"));
    EXPECT_EQ(OemCodePage(), QStringLiteral("IBM437"));
    EXPECT_EQ(AnsiBytesToString(QByteArray("\x80\xE9\xFC")), QStringLiteral("€éü"));
    EXPECT_EQ(StringToAnsiBytes(QStringLiteral("€éü")), QByteArray("\x80\xE9\xFC"));
}

TEST(CodePages, SettableByNameAndUnknownNamesRefused)
{
    CodePageGuard guard;
    SetAnsiCodePage(QStringLiteral("windows-1251"));
    EXPECT_EQ(AnsiBytesToString(QByteArray("\xCF\xF0\xE8")), QStringLiteral("При"));
    EXPECT_THROW(SetAnsiCodePage(QStringLiteral("no-such-page")), Exception);
    EXPECT_EQ(AnsiCodePage(), QStringLiteral("windows-1251"));
    EXPECT_EQ(CodePageBytesToString(QStringLiteral("IBM866"), QByteArray("\x8F\xE0\xA8")), QStringLiteral("При"));
}

TEST(CodePages, OemAnsiConversionKeepsLength)
{
    // 0x81 is 'ü' in IBM437; read as Windows-1252 it is an unassigned byte.
    // 0xE9 is 'é' in Windows-1252 and 'Θ' in IBM437.
    EXPECT_EQ(OemToAnsi(QStringLiteral("abc\u00E9")), QStringLiteral("abc\u0398"));
    EXPECT_EQ(AnsiToOem(QStringLiteral("abc\u0398")), QStringLiteral("abc\u00E9"));
    const QString mixed = QStringLiteral("ü€漢");
    EXPECT_EQ(AnsiToOem(mixed).size(), mixed.size());
    EXPECT_EQ(OemToAnsi(mixed).size(), mixed.size());
    EXPECT_EQ(AnsiToOem(QStringLiteral("漢")), QStringLiteral("漢")) << "no counterpart: kept";
}
