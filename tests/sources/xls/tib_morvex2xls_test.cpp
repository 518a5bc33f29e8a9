// Whole spreadsheet imports of the fixture workbooks into an embedded
// Firebird table, into delimited text and into a callback.
#include "tib_morvex2xls.h"

#include "formatsettings.h"
#include "ibo_tablerows.h"
#include "ibo_testdb.h"
#include "inifile.h"
#include "qtapplication.h"
#include "qtprinters.h"
#include "tib_column.h"
#include "tib_query.h"
#include "tib_row.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kMapFile = QStringLiteral(MORVEX_TEST_DATA "/xls_import/map.xls");

class XlsImportTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        ResetFormatSettings();
        TIB_DatabaseTest::SetUp();
        db->Execute({QStringLiteral("CREATE TABLE CUSTOMERS (ID INTEGER, NAME VARCHAR(60), CITY VARCHAR(40), "
                                    "BORN DATE, STAMP TIMESTAMP, AMOUNT NUMERIC(12,2), ACTIVE BOOLEAN)")});
        transaction.SetIB_Connection(&db->Connection());
        query.SetIB_Connection(&db->Connection());
        query.SetIB_Transaction(&transaction);
        query.SetSQL(QStringLiteral("SELECT * FROM CUSTOMERS"));
        query.Open();
        xls.SetDataSet(&query);
        xls.SetFileName(kMapFile);
        xls.OnNeedCommit = [this](QObject *) {
            transaction.CommitRetaining();
            ++commits;
        };
    }

    void TearDown() override
    {
        query.Close();
        if (transaction.InTransaction())
            transaction.Rollback();
        TIB_DatabaseTest::TearDown();
    }

    void map(std::initializer_list<const char *> lines)
    {
        xls.Map().Clear();
        for (const char *line : lines)
            xls.Map().Add(QString::fromUtf8(line));
    }

    // The table's rows as "ID|NAME|…" texts in Firebird's own notation.
    QStringList tableRows(const QString &columns = QStringLiteral(
                              "ID, NAME, CITY, CAST(BORN AS VARCHAR(10)), CAST(STAMP AS VARCHAR(24)), "
                              "CAST(AMOUNT AS VARCHAR(20)), CAST(ACTIVE AS VARCHAR(5))"))
    {
        return TableRows(db->Connection(), transaction,
                         QStringLiteral("SELECT %1 FROM CUSTOMERS ORDER BY ID, NAME").arg(columns));
    }

    QString csv(QChar comma = u';')
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        xls.ImportToCSV(&buffer, comma, u'"');
        return QString::fromUtf8(buffer.data());
    }

    QString executeError()
    {
        try {
            xls.Execute();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    }

    TIB_Transaction transaction;
    TIB_Query query;
    TIB_Morvex2XLS xls;
    int commits = 0;
};

TEST_F(XlsImportTest, DatesNumbersAndTextLandInTheirColumns)
{
    map({"ID=A2-COLFINISH", "NAME=B2-COLFINISH", "CITY=C2-C6", "BORN=D2-D6", "STAMP=E2-E6", "AMOUNT=F2-COLFINISH",
         "ACTIVE=G2-G6"});
    // Cell texts are made with the run's formats and read back with them.
    xls.Formats().SetDecimalSeparator(u',');
    xls.Formats().SetThousandSeparator(u'.');
    xls.Formats().SetShortDateFormat(QStringLiteral("dd.mm.yyyy"));
    xls.Formats().SetDateSeparator(u'.');
    xls.Formats().SetLongTimeFormat(QStringLiteral("hh:nn:ss"));
    xls.SetCommitRecCount(2);
    xls.Execute();
    EXPECT_EQ(xls.TotalRecCount(), 5);
    EXPECT_EQ(xls.ImportedRecs(), 5);
    EXPECT_EQ(xls.ErrorRecs(), 0);
    // Every second row and once at the end.
    EXPECT_EQ(commits, 3);
    // Boolean cells have no text: ACTIVE stays empty.
    EXPECT_EQ(tableRows(),
              (QStringList{QStringLiteral("1|Jürgen Müller|München|1975-03-14|2024-02-29 13:45:10.0000|1234.56|<null>"),
                           QStringLiteral("2|Zoë Дмитриева|Köln|1988-11-02|1999-12-31 23:59:58.0000|-87.10|<null>"),
                           QStringLiteral("3|O'Brien, Seán|Dublin|1992-02-29|2000-01-01 06:00:00.0000|0.00|<null>"),
                           QStringLiteral("4|Åsa Öberg|Göteborg|1969-12-31|2010-07-04 00:00:00.0000|15000.00|<null>"),
                           QStringLiteral("5|Łukasz Żółć|Kraków|<null>|<null>|12.50|<null>")}));
    // The process-wide formats are back.
    EXPECT_EQ(FormatSettings.DecimalSeparator, u'.');
}

TEST_F(XlsImportTest, ImportRangeTakesTheLongestOrTheShortestMap)
{
    map({"ID=A2-A4", "NAME=B2-B6"});
    xls.Execute();
    EXPECT_EQ(xls.TotalRecCount(), 5);
    EXPECT_EQ(tableRows(QStringLiteral("ID, NAME")),
              (QStringList{QStringLiteral("<null>|Åsa Öberg"), QStringLiteral("<null>|Łukasz Żółć"), QStringLiteral("1|Jürgen Müller"),
                           QStringLiteral("2|Zoë Дмитриева"), QStringLiteral("3|O'Brien, Seán")}));

    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM CUSTOMERS"));
    xls.SetImportRange(mxrMin);
    xls.Execute();
    EXPECT_EQ(xls.TotalRecCount(), 3);
    EXPECT_EQ(tableRows(QStringLiteral("ID")), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));

    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM CUSTOMERS"));
    xls.SetImportRange(mxrMax);
    xls.SetImportRecCount(2);
    xls.Execute();
    EXPECT_EQ(xls.TotalRecCount(), 2);
    EXPECT_EQ(tableRows(QStringLiteral("ID")), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

TEST_F(XlsImportTest, SkippedRowsAndColumnsInDelimitedText)
{
    map({"ID=A2-A6", "CITY=C1-COLFINISH", "CODE=[Sparse]2-ROWFINISH"});
    xls.SetSkipFirstRows(1);
    xls.SetSkipFirstCols(2);
    // Column A lies wholly in the skipped columns, C loses its caption row,
    // row 2 of "Sparse" is cut to C2..F2.
    EXPECT_EQ(csv(), QStringLiteral("\"\";\"München\";\"c2\"\r\n\"\";\"Köln\";\"d2\"\r\n\"\";\"Dublin\";\"e2\"\r\n"
                                    "\"\";\"Göteborg\";\"f2\"\r\n\"\";\"Kraków\";\"\"\r\n"));
    EXPECT_EQ(xls.ImportedRecs(), 5);
    // Nothing reached the table.
    EXPECT_TRUE(tableRows().isEmpty());
}

TEST_F(XlsImportTest, GnumericWorkbookToCSV)
{
    xls.SetFileName(QStringLiteral(MORVEX_TEST_DATA "/xls_import/gnumeric_prices.xls"));
    map({"CODE=A2-COLFINISH", "LABEL=B2-COLFINISH", "PRICE=C2-COLFINISH"});
    xls.Formats().SetDecimalSeparator(u',');
    EXPECT_EQ(csv(u','), QStringLiteral("\"A1\",\"Äpfel\",\"1,5\"\r\n\"B2\",\"Birnen\",\"2,25\"\r\n\"C3\",\"Kirschen\",\"10\"\r\n"));
}

TEST_F(XlsImportTest, UserDefinedDestinationGetsEveryMapLine)
{
    map({"ANYTHING=[Größe]B2", "VALUE=[:3]A1"});
    xls.SetImportDestination(mxdUserDefined);
    QStringList seen;
    xls.OnUserDefinedImport = [&seen](QObject *, TMorvexRow *row) {
        seen << row->ColByName(QStringLiteral("anything"))->Value + u'|' + row->ColByName(QStringLiteral("VALUE"))->Value;
    };
    xls.Execute();
    EXPECT_EQ(seen, QStringList{QStringLiteral("dritte Seite|3.25")});
}

TEST_F(XlsImportTest, MapAndWorkbookFaultsEndTheRunBeforeAnyRow)
{
    bool started = false;
    xls.OnBeforeImport = [&started](QObject *) { started = true; };
    xls.Formats().SetDecimalSeparator(u',');

    map({"ID=A2-A6", "NAME=[Nope]B2-B6"});
    EXPECT_EQ(executeError(), QStringLiteral("Sheet with name NOPE is not found in the source file"));
    map({"ID=A2-A6", "NAME=[:7]B2-B6"});
    EXPECT_EQ(executeError(), QStringLiteral("Sheet number 7 is not found in the source file, which has 3 sheets"));
    map({"ID=A2-A6", "NAME=[:2]H-COLFINISH"});
    EXPECT_EQ(executeError(), QStringLiteral("Col 8 not found in the sheet Sparse"));
    map({"ID=A2-A6", "NAME=B1-C2"});
    EXPECT_EQ(executeError(), QStringLiteral("Range B1-C2 is fail. It must be COL or ROW"));
    map({"ID=A2-A6"});
    xls.SetFileName(QStringLiteral(MORVEX_TEST_DATA "/xls_import/truncated.xls"));
    EXPECT_NE(executeError(), QStringLiteral("<no error>"));

    EXPECT_FALSE(started);
    EXPECT_EQ(FormatSettings.DecimalSeparator, u'.');
    EXPECT_TRUE(tableRows().isEmpty());
    // A later run on a sound workbook works.
    xls.SetFileName(kMapFile);
    xls.Execute();
    EXPECT_EQ(tableRows(QStringLiteral("ID")).size(), 5);
}

TEST_F(XlsImportTest, OptionsAreStoredInTheirSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cfg.ini"));
    map({"NAME=[:1]B2-COLFINISH"});
    xls.SetSkipFirstRows(3);
    xls.SetSkipFirstCols(1);
    xls.SaveConfiguration(path);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("XLS_OPTIONS"), QStringLiteral("SkipRows"), QString()), QStringLiteral("3"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("XLS_OPTIONS"), QStringLiteral("SkipCols"), QString()), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("MAP"), QStringLiteral("NAME"), QString()), QStringLiteral("[:1]B2-COLFINISH"));

    TIB_Morvex2XLS loaded;
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.SkipFirstRows(), 3);
    EXPECT_EQ(loaded.SkipFirstCols(), 1);
    EXPECT_EQ(loaded.Map().ValueFromIndex(0), QStringLiteral("[:1]B2-COLFINISH"));

    // A missing key keeps the current value.
    ini.EraseSection(QStringLiteral("XLS_OPTIONS"));
    ini.WriteInteger(QStringLiteral("XLS_OPTIONS"), QStringLiteral("SkipRows"), 1);
    loaded.LoadConfiguration(ini);
    EXPECT_EQ(loaded.SkipFirstRows(), 1);
    EXPECT_EQ(loaded.SkipFirstCols(), 1);

    TIB_Morvex2XLS defaults;
    EXPECT_EQ(defaults.ImportRange(), mxrMax);
    EXPECT_EQ(defaults.DefaultSheetIDType(), mstNumber);
    EXPECT_EQ(defaults.DefaultSheetNumber(), 1);
    EXPECT_FALSE(defaults.IsImportRange() || defaults.IsDefaultSheetIDType() || defaults.IsDefaultSheetNumber()
                 || defaults.IsDefaultSheetName());
}

} // namespace
