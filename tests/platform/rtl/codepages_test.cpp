#include "codepages.h"
#include "exception.h"

#include <QBuffer>

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

QStringList readAll(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TTextLineReader reader(&buffer);
    QStringList lines;
    QString line;
    while (reader.ReadLine(line))
        lines << line;
    return lines;
}

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

TEST(CodePages, TextLinesAreUtf8WithAnsiFallbackPerLine)
{
    const QByteArray file = "\xEF\xBB\xBF" "caf\xC3\xA9\r\n"
                            "caf\xE9\n"
                            "\n"
                            "last";
    EXPECT_EQ(readAll(file), (QStringList{QStringLiteral("café"), QStringLiteral("café"), QString(), QStringLiteral("last")}));
    EXPECT_EQ(readAll(QByteArray("one\ntwo\n")), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_TRUE(readAll(QByteArray()).isEmpty());
    // A byte-order mark is only skipped at the start of the file.
    EXPECT_EQ(readAll(QByteArray("a\n\xEF\xBB\xBF" "b")).at(1), QStringLiteral("\uFEFFb"));
}
