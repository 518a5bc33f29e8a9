#include "tib_morvex2ascii.h"

#include "inifile.h"
#include "messages.h"
#include "morvexerror.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Imports text into the user-defined destination and keeps every row.
class AsciiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ascii.SetImportDestination(mxdUserDefined);
        ascii.SetComma(u',');
        ascii.OnUserDefinedImport = [this](QObject *, TMorvexRow *row) {
            QStringList values;
            for (int i = 0; i < row->Count(); ++i)
                values << row->Items(i)->Value;
            rows << values.join(u'|');
        };
    }

    void write(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("in.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ascii.SetFileName(path);
    }

    QTemporaryDir dir;
    TIB_Morvex2ASCII ascii;
    QStringList rows;
};

TEST_F(AsciiTest, SkipFirstRowsCountsBlankLeadingLinesLaterBlanksAreSkipped)
{
    write("\nheader\n1,one\n   \n2,two\r\n");
    ascii.Map().Add(QStringLiteral("ID=1"));
    ascii.Map().Add(QStringLiteral("NAME=2"));
    ascii.SetSkipFirstRows(2);
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|one"), QStringLiteral("2|two")}));
}

TEST_F(AsciiTest, AFieldMissingFromALineIsEmptyNotTheLastLinesText)
{
    write("1,first,x\n2\n3,,z\n");
    ascii.Map().Add(QStringLiteral("ID=1"));
    ascii.Map().Add(QStringLiteral("NAME=2"));
    ascii.Map().Add(QStringLiteral("CODE=3"));
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|first|x"), QStringLiteral("2||"), QStringLiteral("3||z")}));
}

TEST_F(AsciiTest, MissingFieldsGiveEmptyTextAndValuesAreTrimmed)
{
    write("a, b ,c\n");
    ascii.Map().Add(QStringLiteral("X=2"));
    ascii.Map().Add(QStringLiteral("Y=5"));
    ascii.Execute();
    EXPECT_EQ(rows, QStringList{QStringLiteral("b|")});
}

// What the component remembers of the map and of the row's names holds only
// while they stay as they are: a handler that changes the map mid-run is
// obeyed from the next row on.
TEST_F(AsciiTest, MapChangedDuringTheRunTakesEffectFromTheNextRow)
{
    write("1,one,uno\n2,two,dos\n3,three,tres\n");
    ascii.Map().Add(QStringLiteral("ID=1"));
    ascii.Map().Add(QStringLiteral("NAME=2"));
    const auto keep = ascii.OnUserDefinedImport;
    ascii.OnUserDefinedImport = [&](QObject *sender, TMorvexRow *row) {
        keep(sender, row);
        if (rows.size() == 1)
            ascii.Map().SetValues(QStringLiteral("NAME"), QStringLiteral("3"));
        if (rows.size() == 2)
            row->NameIndex().Clear();
    };
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|one"), QStringLiteral("2|dos"), QStringLiteral("|")}));
}

// Columns renamed by a handler take the fields their new names map from the
// next row on.
TEST_F(AsciiTest, ColumnsRenamedDuringTheRunTakeTheirNewFieldsFromTheNextRow)
{
    write("1,one,uno\n2,two,dos\n");
    ascii.Map().Add(QStringLiteral("ID=1"));
    ascii.Map().Add(QStringLiteral("NAME=2"));
    ascii.Map().Add(QStringLiteral("OTHER=3"));
    const auto keep = ascii.OnUserDefinedImport;
    ascii.OnUserDefinedImport = [&](QObject *sender, TMorvexRow *row) {
        keep(sender, row);
        if (rows.size() == 1) {
            row->Items(1)->Name = QStringLiteral("OTHER");
            row->Items(2)->Name = QStringLiteral("NAME");
            row->NameIndex().Clear();
            for (int i = 0; i < row->Count(); ++i)
                row->NameIndex().AddObject(row->Items(i)->Name, i);
            row->NameIndex().Sort();
        }
    };
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|one|uno"), QStringLiteral("2|dos|two")}));
}

// Row values reuse the storage of the strings a line was split into: what a
// handler keeps of one row must not change with the rows after it, and a
// field that two columns take reaches both.
TEST_F(AsciiTest, ValuesKeptFromARowStayAsTheyWereAndAFieldCanFeedTwoColumns)
{
    write("first,1\nsecond longer, 2 \nx,3,extra\n,\nlast one,5\n");
    ascii.Map().Add(QStringLiteral("A=1"));
    ascii.Map().Add(QStringLiteral("N=2"));
    ascii.Map().Add(QStringLiteral("B=1"));
    std::vector<QStringList> kept;
    ascii.OnUserDefinedImport = [&](QObject *, TMorvexRow *row) {
        QStringList values;
        for (int i = 0; i < row->Count(); ++i)
            values << row->Items(i)->Value;
        kept.push_back(values);
    };
    ascii.Execute();
    const std::vector<QStringList> expected{
        {QStringLiteral("first"), QStringLiteral("1"), QStringLiteral("first")},
        {QStringLiteral("second longer"), QStringLiteral("2"), QStringLiteral("second longer")},
        {QStringLiteral("x"), QStringLiteral("3"), QStringLiteral("x")},
        {QString(), QString(), QString()},
        {QStringLiteral("last one"), QStringLiteral("5"), QStringLiteral("last one")},
    };
    EXPECT_EQ(kept, expected);
}

TEST_F(AsciiTest, FixedWidthCutsByPositionAndLength)
{
    write("abcdefg\nab\n");
    ascii.SetComma(QChar());
    ascii.Map().Add(QStringLiteral("A=0;3"));
    ascii.Map().Add(QStringLiteral("B=3;4"));
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("abc|defg"), QStringLiteral("ab|")}));
}

TEST_F(AsciiTest, MapEntriesThatDoNotFitTheModeAreRefused)
{
    write("x\n");
    ascii.Map().Add(QStringLiteral("A=0;3"));
    try {
        ascii.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Missing definition of map"));
    }
    ascii.SetComma(QChar());
    ascii.Map().Clear();
    ascii.Map().Add(QStringLiteral("A=3"));
    EXPECT_THROW(ascii.Execute(), EMorvexError);
    ascii.Map().Clear();
    ascii.Map().Add(QStringLiteral("A=x;3"));
    EXPECT_THROW(ascii.Execute(), EMorvexError);
}

TEST_F(AsciiTest, QuotedLineBreaksContinueTheRecordAsInTheFile)
{
    write("id,text\n1,\"first\r\nsecond\"\n2,\"a\nb\nc\",end\n3,plain\n");
    ascii.Map().Add(QStringLiteral("ID=1"));
    ascii.Map().Add(QStringLiteral("TEXT=2"));
    ascii.SetSkipFirstRows(1);
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|first\r\nsecond"), QStringLiteral("2|a\nb\nc"), QStringLiteral("3|plain")}));
}

TEST_F(AsciiTest, UnclosedQuoteFailsOneRowNotTheFile)
{
    QByteArray file("1,ok\n2,\"never closed\n");
    const QByteArray filler(1000, 'x');
    while (file.size() < TIB_Morvex2ASCII::kMaxRecordChars + 5000)
        file += filler + '\n';
    file += "3,after\n";
    write(file);
    ascii.SetImportDestination(mxdStringGrid);
    // The string grid only collects; any destination gets the same row error.
    QTableWidget grid;
    grid.setColumnCount(2);
    ascii.SetStringGrid(&grid);
    ascii.SetErrorLog(true);
    ascii.SetErrorLogFileName(dir.filePath(QStringLiteral("e.log")));
    ascii.Map().Add(QStringLiteral("0=1"));
    ascii.Map().Add(QStringLiteral("1=2"));
    ascii.Execute();
    ASSERT_EQ(ascii.ErrorRecs(), 1);
    EXPECT_TRUE(ascii.Errors()[0].endsWith(QStringLiteral("The quoted field opened in line 2 is not closed within 1 MiB")))
        << ascii.Errors()[0].toStdString();
    ASSERT_GE(grid.rowCount(), 2);
    EXPECT_EQ(grid.item(0, 1)->text(), QStringLiteral("ok"));
    EXPECT_EQ(grid.item(grid.rowCount() - 1, 1)->text(), QStringLiteral("after"));
}

TEST_F(AsciiTest, NonUtf8LinesUseTheAnsiCodePageAndCodePageOverridesIt)
{
    write("\xEF\xBB\xBF" "caf\xC3\xA9\n" "caf\xE9\n");
    ascii.Map().Add(QStringLiteral("A=1"));
    ascii.Execute();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("café"), QStringLiteral("café")}));

    rows.clear();
    write("\x8F\xE0\xA8\xA2\xA5\xE2\n");
    ascii.SetCodePage(QStringLiteral("IBM866"));
    ascii.Execute();
    EXPECT_EQ(rows, QStringList{QStringLiteral("Привет")});
}

TEST_F(AsciiTest, OptionsRoundTripWithCharacterNotation)
{
    const QString path = dir.filePath(QStringLiteral("cfg.ini"));
    ascii.SetComma(u'\t');
    ascii.SetQuote(QChar());
    ascii.SetSkipFirstRows(3);
    ascii.SetCodePage(QStringLiteral("windows-1251"));
    ascii.SaveConfiguration(path);
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString(QStringLiteral("ASCII_OPTIONS"), QStringLiteral("Comma"), QString()), QStringLiteral("#9"));
        EXPECT_EQ(ini.ReadString(QStringLiteral("ASCII_OPTIONS"), QStringLiteral("Quote"), QString()), QStringLiteral("#0"));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("ASCII_OPTIONS"), QStringLiteral("SkipLines"), 0), 3);
    }
    TIB_Morvex2ASCII loaded;
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.Comma(), u'\t');
    EXPECT_TRUE(loaded.Quote().isNull());
    EXPECT_EQ(loaded.SkipFirstRows(), 3);
    EXPECT_EQ(loaded.CodePage(), QStringLiteral("windows-1251"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[ASCII_OPTIONS]\nComma=;\nQuote=#x\n");
    file.close();
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.Comma(), u';');
    EXPECT_TRUE(loaded.Quote().isNull()) << "a number sign without a number is code 0";
}

} // namespace
