#include "strutils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "qtprinters.h"

#include <gtest/gtest.h>

TEST(StrUtils, TrimRemovesEveryControlCharacterAndBlank)
{
    const QString text = QStringLiteral("\t\r\n \x01value with  inner blanks\x1F \x7F");
    EXPECT_EQ(Trim(text), QStringLiteral("value with  inner blanks\x1F \x7F"));
    EXPECT_EQ(Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(TrimLeft(QStringLiteral("  a b  ")), QStringLiteral("a b  "));
    EXPECT_EQ(TrimRight(QStringLiteral("  a b  ")), QStringLiteral("  a b"));
    EXPECT_EQ(Trim(QStringLiteral(" \t ")), QString());
    EXPECT_EQ(Trim(QString()), QString());
    EXPECT_EQ(TrimmedView(text), QStringView(text).mid(5));
    // U+00A0 is above U+0020 and is kept.
    EXPECT_EQ(Trim(QStringLiteral("\u00A0x\u00A0")), QStringLiteral("\u00A0x\u00A0"));
}

TEST(StrUtils, CaseInsensitiveComparisonsCoverNonAscii)
{
    EXPECT_TRUE(SameText(QStringLiteral("Name"), QStringLiteral("NAME")));
    EXPECT_TRUE(AnsiSameText(QStringLiteral("Größe"), QStringLiteral("GRÖßE")));
    EXPECT_FALSE(AnsiSameText(QStringLiteral("a"), QStringLiteral("ab")));
    // Letters that fold across the end of ASCII or beyond the first plane.
    EXPECT_TRUE(AnsiSameText(QStringLiteral("\u212A"), QStringLiteral("k")));
    EXPECT_TRUE(AnsiSameText(QString::fromUcs4(U"x\U00010400"), QString::fromUcs4(U"X\U00010428")));
    EXPECT_LT(AnsiCompareText(QStringLiteral("apple"), QStringLiteral("BANANA")), 0);
    EXPECT_EQ(AnsiUpperCase(QStringLiteral("čaj")), QStringLiteral("ČAJ"));
    EXPECT_EQ(AnsiLowerCase(QStringLiteral("ÄÖÜ")), QStringLiteral("äöü"));
}

// The ASCII shortcut must order exactly as Qt's case folding does, also where
// a non-ASCII character folds to an ASCII letter.
TEST(StrUtils, CompareTextIgnoringCaseOrdersAsQtDoes)
{
    const QString texts[] = {
        QString(), QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("ab"), QStringLiteral("AB_1"),
        QStringLiteral("ab[1"), QStringLiteral("Z"), QStringLiteral("_"), QStringLiteral("k"),
        QStringLiteral("\u212A"), QStringLiteral("\u212Ax"), QStringLiteral("\u017F"), QStringLiteral("S"),
        QStringLiteral("Größe"), QStringLiteral("GRÖSSE"), QStringLiteral("gröbe"), QStringLiteral("é"),
        QStringLiteral("É1"), QStringLiteral("\U0001F600"), QStringLiteral("a\U00010400"), QStringLiteral("A\U00010428"),
    };
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const QString &a : texts) {
        for (const QString &b : texts) {
            EXPECT_EQ(sign(CompareTextIgnoringCase(a, b)), sign(QString::compare(a, b, Qt::CaseInsensitive)))
                << a.toStdString() << " vs " << b.toStdString();
            EXPECT_EQ(SameText(a, b), QString::compare(a, b, Qt::CaseInsensitive) == 0);
        }
    }
}

TEST(StrUtils, FileNameParts)
{
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/data/in/table.dbf")), QStringLiteral("/data/in/"));
    EXPECT_EQ(ExtractFileName(QStringLiteral("/data/in/table.dbf")), QStringLiteral("table.dbf"));
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/data/in/table.dbf")), QStringLiteral(".dbf"));
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/data/in.d/table")), QString());
    EXPECT_EQ(ExtractFilePath(QStringLiteral("table.dbf")), QString());
    EXPECT_EQ(ChangeFileExt(QStringLiteral("/a.b/table.dbf"), QStringLiteral(".dbt")), QStringLiteral("/a.b/table.dbt"));
    EXPECT_EQ(ChangeFileExt(QStringLiteral("/a.b/table"), QStringLiteral(".fpt")), QStringLiteral("/a.b/table.fpt"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
}

TEST(StrUtils, FileExistsAndForceDirectories)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString nested = dir.filePath(QStringLiteral("a/b/c"));
    EXPECT_FALSE(FileExists(nested));
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(QDir(nested).exists());
    EXPECT_FALSE(FileExists(nested)) << "a directory is not a file";
    QFile file(dir.filePath(QStringLiteral("a/x.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(FileExists(file.fileName()));
    EXPECT_FALSE(ForceDirectories(QString()));
}
