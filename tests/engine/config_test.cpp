#include "listsource.h"

#include "formatsettings.h"
#include "inifile.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetFormatSettings();
        grid.setColumnCount(3);
        grid.setRowCount(1);
        grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("ID")));
        grid.setItem(0, 1, new QTableWidgetItem(QStringLiteral("NAME")));
        grid.setItem(0, 2, new QTableWidgetItem(QStringLiteral("PRICE")));
        for (TListSource *s : {&saved, &loaded}) {
            s->SetImportDestination(mxdStringGrid);
            s->SetStringGrid(&grid);
            s->SetGridCaptionRow(0);
        }
        path = dir.filePath(QStringLiteral("import.ini"));
    }

    QByteArray fileBytes() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path;
    QTableWidget grid;
    TListSource saved;
    TListSource loaded;
};

TEST_F(ConfigTest, SavedSettingsLoadBackIntoAnotherComponent)
{
    saved.SetFileName(QStringLiteral("/data/in.txt"));
    saved.Map().Add(QStringLiteral("ID=1"));
    saved.Map().Add(QStringLiteral("NAME=2"));
    saved.SetImportMode(mxmUpdateOrInsert);
    saved.KeyColumns().Add(QStringLiteral("ID"));
    saved.SetCommitRecCount(7);
    saved.SetErrorLog(true);
    saved.SetGridStartRow(1);
    saved.Formats().SetDecimalSeparator(u',');
    saved.Formats().NullValues().Add(QStringLiteral("N/A"));
    TMorvexFieldFormat *price = saved.FieldFormats().Add();
    price->SetFieldName(QStringLiteral("PRICE"));
    price->SetConstantValue(QStringLiteral("1.5 "));
    price->SetCharCase(iccLower);
    TMorvexFieldFormat *name = saved.FieldFormats().Add();
    name->SetFieldName(QStringLiteral("NAME"));
    name->SetGeneratorStep(2);
    saved.SaveConfiguration(path);

    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.FileName(), QStringLiteral("/data/in.txt"));
    EXPECT_EQ(loaded.Map().Text(), QStringLiteral("ID=1\nNAME=2\n"));
    EXPECT_EQ(loaded.ImportMode(), mxmUpdateOrInsert);
    EXPECT_EQ(loaded.KeyColumns().Text(), QStringLiteral("ID\n"));
    EXPECT_EQ(loaded.CommitRecCount(), 7);
    EXPECT_TRUE(loaded.ErrorLog());
    EXPECT_EQ(loaded.GridStartRow(), 1);
    EXPECT_EQ(loaded.Formats().DecimalSeparator(), u',');
    EXPECT_EQ(loaded.Formats().NullValues().Text(), QStringLiteral("Null\nN/A\n"));
    // Field formats come back in destination column order; trailing blanks are lost.
    ASSERT_EQ(loaded.FieldFormats().Count(), 2);
    EXPECT_EQ(loaded.FieldFormats().Items(0)->FieldName(), QStringLiteral("NAME"));
    EXPECT_EQ(loaded.FieldFormats().Items(0)->GeneratorStep(), 2);
    EXPECT_EQ(loaded.FieldFormats().Items(1)->ConstantValue(), QStringLiteral("1.5"));
    EXPECT_EQ(loaded.FieldFormats().Items(1)->CharCase(), iccLower);

    const QByteArray bytes = fileBytes();
    EXPECT_TRUE(bytes.startsWith("[BASE]\r\nFileName=/data/in.txt\r\n"));
    EXPECT_TRUE(bytes.contains("[DATA_FORMATS_PRICE]\r\nGeneratorValue=0\r\nGeneratorStep=0\r\nConstantValue=1.5\r\n"
                               "NullValue=\r\nDefaultValue=\r\nLeftQuote=\r\nRightQuote=\r\nQuoteAction=0\r\n"
                               "CharCase=2\r\nCharSet=0\r\n"));
    EXPECT_TRUE(bytes.contains("[KeyColumns]\r\nID=\r\n"));
}

TEST_F(ConfigTest, MissingSectionsEmptyValuesAndBlankSeparators)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[BASE]\r\nImportMode=9\r\nCommitRecCount=abc\r\n"
               "[MAP]\r\nID=1\r\nNAME=\r\n"
               "[BASE_FORMATS]\r\nThousandSeparator= \r\nDecimalSeparator=,x\r\n");
    file.close();
    loaded.SetCommitRecCount(5);
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.Map().Text(), QStringLiteral("ID=1\n")) << "an empty source side sets no entry";
    EXPECT_EQ(loaded.Formats().BooleanTrue().Count(), 0);
    EXPECT_EQ(loaded.Formats().ThousandSeparator(), FormatSettings.ThousandSeparator);
    EXPECT_EQ(loaded.Formats().DecimalSeparator(), u',');
    EXPECT_EQ(loaded.CommitRecCount(), 5);
    // An ordinal outside the enumeration reads as the default.
    EXPECT_EQ(loaded.ImportMode(), mxmInsertAll);
    EXPECT_EQ(loaded.GridCaptionRow(), -1);
}

TEST_F(ConfigTest, HandWrittenFileInAnotherLetterCase)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[base]\nfilename = data.csv\nimportmode=1\n[map]\nNAME = 2\n[keycolumns]\nID=\n"
               "[data_formats_name]\ncharcase=1\n[base_formats]\nshortdateformat=dd.mm.yyyy\n");
    file.close();
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.FileName(), QStringLiteral("data.csv"));
    EXPECT_EQ(loaded.ImportMode(), mxmInsertNew);
    EXPECT_EQ(loaded.Map().Text(), QStringLiteral("NAME=2\n"));
    EXPECT_EQ(loaded.KeyColumns().Text(), QStringLiteral("ID\n"));
    ASSERT_EQ(loaded.FieldFormats().Count(), 1);
    EXPECT_EQ(loaded.FieldFormats().Items(0)->CharCase(), iccUpper);
    // The date format's own separator becomes the date separator.
    EXPECT_EQ(loaded.Formats().DateSeparator(), u'.');
}

TEST_F(ConfigTest, LoadingAMissingFileOrSavingToABlankNameDoesNothing)
{
    loaded.Map().Add(QStringLiteral("ID=1"));
    loaded.LoadConfiguration(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_EQ(loaded.Map().Count(), 1);
    loaded.SaveConfiguration(QStringLiteral("  "));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ConfigTest, SavingKeepsOtherSectionsAndClearIniFileErasesAll)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MINE]\r\nkeep=1\r\n[MAP]\r\nOLD=9\r\n");
    file.close();
    saved.Map().Add(QStringLiteral("ID=1"));
    saved.SaveConfiguration(path);
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString(QStringLiteral("MINE"), QStringLiteral("keep"), QString()), QStringLiteral("1"));
        EXPECT_FALSE(ini.ValueExists(QStringLiteral("MAP"), QStringLiteral("OLD")));
        TIB_Morvex2::ClearIniFile(ini);
        TStringList sections;
        ini.ReadSections(sections);
        EXPECT_EQ(sections.Count(), 0);
    }
}

} // namespace
