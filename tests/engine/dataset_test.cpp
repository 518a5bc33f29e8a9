// The whole loop against a real embedded Firebird table.
#include "listsource.h"

#include "formatsettings.h"
#include "ibo_tablerows.h"
#include "qtapplication.h"
#include "qtprinters.h"
#include "tib_column.h"
#include "tib_row.h"
#include "tib_connection.h"
#include "tib_datasource.h"
#include "tib_grid.h"
#include "tib_query.h"
#include "tib_transaction.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DatasetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetFormatSettings();
        ASSERT_TRUE(dir.isValid());
        connection.SetDatabaseName(dir.filePath(QStringLiteral("engine.fdb")));
        connection.CreateDatabase();
        transaction.SetIB_Connection(&connection);
        transaction.StartTransaction();
        transaction.ExecuteImmediate(QStringLiteral(
            "CREATE TABLE ITEMS (ID INTEGER NOT NULL, CODE VARCHAR(10) NOT NULL, NAME VARCHAR(40), "
            "QTY INTEGER, BIG BIGINT, PRICE NUMERIC(12,2), RATE DOUBLE PRECISION, "
            "MADE TIMESTAMP, OK BOOLEAN, PRIMARY KEY (ID, CODE))"));
        transaction.Commit();
        query.SetIB_Connection(&connection);
        query.SetIB_Transaction(&transaction);
        query.SetSQL(QStringLiteral("SELECT * FROM ITEMS"));
        query.Open();

        source.SetDataSet(&query);
        source.Map().Add(QStringLiteral("ID=1"));
        source.Map().Add(QStringLiteral("CODE=2"));
        source.Map().Add(QStringLiteral("NAME=3"));
        source.OnNeedCommit = [this](QObject *) { transaction.CommitRetaining(); ++commits; };
    }

    // The table's rows as "ID|CODE|NAME|…" texts, in key order.
    QStringList tableRows(const QString &columns = QStringLiteral("ID, CODE, NAME"))
    {
        return TableRows(connection, transaction, QStringLiteral("SELECT %1 FROM ITEMS ORDER BY ID, CODE").arg(columns));
    }

    void importRows(TMorvexMode mode, const QList<QStringList> &rows)
    {
        source.SetImportMode(mode);
        source.Rows = rows;
        source.Execute();
    }

    QTemporaryDir dir;
    TIB_Connection connection;
    TIB_Transaction transaction;
    TIB_Query query;
    TListSource source;
    int commits = 0;
};

TEST_F(DatasetTest, EveryModeWithTwoKeyColumns)
{
    importRows(mxmInsertAll, {{QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("one")},
                              {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("two")}});
    EXPECT_EQ(tableRows(), (QStringList{QStringLiteral("1|a|one"), QStringLiteral("2|b|two")}));
    EXPECT_EQ(commits, 1);

    source.KeyColumns().Add(QStringLiteral("ID"));
    source.KeyColumns().Add(QStringLiteral("CODE"));
    importRows(mxmInsertNew, {{QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("again")},
                              {QStringLiteral("3"), QStringLiteral("c"), QStringLiteral("three")}});
    // Key search ignores case: 1/A is the row 1/a.
    EXPECT_EQ(tableRows(), (QStringList{QStringLiteral("1|a|one"), QStringLiteral("2|b|two"), QStringLiteral("3|c|three")}));

    importRows(mxmUpdate, {{QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("TWO")},
                           {QStringLiteral("9"), QStringLiteral("z"), QStringLiteral("none")}});
    EXPECT_EQ(source.ImportedRecs(), 2);
    EXPECT_EQ(tableRows().at(1), QStringLiteral("2|b|TWO"));
    EXPECT_EQ(tableRows().size(), 3);

    importRows(mxmUpdateOrInsert, {{QStringLiteral("3"), QStringLiteral("c"), QStringLiteral("THREE")},
                                   {QStringLiteral("4"), QStringLiteral("d"), QStringLiteral("four")}});
    EXPECT_EQ(tableRows().mid(2), (QStringList{QStringLiteral("3|c|THREE"), QStringLiteral("4|d|four")}));

    importRows(mxmDelete, {{QStringLiteral("1"), QStringLiteral("a"), QString()}, {QStringLiteral("8"), QStringLiteral("x"), QString()}});
    EXPECT_EQ(tableRows().size(), 3);
    EXPECT_EQ(tableRows().first(), QStringLiteral("2|b|TWO"));

    importRows(mxmDeleteOrInsert, {{QStringLiteral("2"), QStringLiteral("b"), QString()},
                                   {QStringLiteral("5"), QStringLiteral("e"), QStringLiteral("five")}});
    EXPECT_EQ(tableRows(), (QStringList{QStringLiteral("3|c|THREE"), QStringLiteral("4|d|four"), QStringLiteral("5|e|five")}));
}

TEST_F(DatasetTest, ValuesAreConvertedByColumnTypeWithTheRunsFormats)
{
    source.Map().Add(QStringLiteral("QTY=4"));
    source.Map().Add(QStringLiteral("BIG=5"));
    source.Map().Add(QStringLiteral("PRICE=6"));
    source.Map().Add(QStringLiteral("RATE=7"));
    source.Map().Add(QStringLiteral("MADE=8"));
    source.Map().Add(QStringLiteral("OK=9"));
    source.Formats().SetDecimalSeparator(u',');
    source.Formats().SetThousandSeparator(u' ');
    source.Formats().SetDateSeparator(u'.');
    source.Formats().SetShortDateFormat(QStringLiteral("dd.mm.yyyy"));
    source.Formats().BooleanTrue().Add(QStringLiteral("ja"));
    importRows(mxmInsertAll,
               {{QStringLiteral("1"), QStringLiteral("a"), QStringLiteral(" Zoë "), QStringLiteral("1 234"),
                 QStringLiteral("9007199254740993"), QStringLiteral("1 234,56"), QStringLiteral("1234.5"),
                 QStringLiteral("29.02.2024 13:45:10"), QStringLiteral("JA")},
                {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("Null"), QStringLiteral("-3,9"),
                 QString(), QString(), QStringLiteral("0,25"), QString(), QStringLiteral("0")}});
    EXPECT_EQ(tableRows(QStringLiteral("NAME, QTY, BIG, PRICE, RATE, MADE, OK")),
              (QStringList{QStringLiteral("Zoë|1234|9007199254740993|1234.56|1234.5|2024-02-29 13:45:10.000|True"),
                           QStringLiteral("<null>|-3|<null>|<null>|0.25|<null>|False")}));
}

TEST_F(DatasetTest, TextThatNoColumnCanTakeFailsTheRow)
{
    source.Map().Add(QStringLiteral("QTY=4"));
    source.SetErrorLog(true);
    source.SetErrorLogFileName(dir.filePath(QStringLiteral("e.log")));
    source.Formats().SetShortDateFormat(QStringLiteral("\"D\""));
    source.Formats().SetShortTimeFormat(QStringLiteral("\"T\""));
    importRows(mxmInsertAll, {{QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("ok"), QStringLiteral("12x")},
                              {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("ok"), QStringLiteral("99999999999")},
                              {QStringLiteral("3"), QStringLiteral("c"), QStringLiteral("ok"), QStringLiteral("7")}});
    EXPECT_EQ(source.ImportedRecs(), 1);
    ASSERT_EQ(source.ErrorRecs(), 2);
    EXPECT_EQ(source.Errors()[0], QStringLiteral("D T - Value '12x' can not be converted for column QTY"));
    EXPECT_EQ(source.Errors()[1], QStringLiteral("D T - Value '99999999999' can not be converted for column QTY"));
    EXPECT_EQ(tableRows(), QStringList{QStringLiteral("3|c|ok")});
}

TEST_F(DatasetTest, FailedPostIsCancelledAndTheRunGoesOn)
{
    source.SetErrorLog(true);
    source.SetErrorLogFileName(dir.filePath(QStringLiteral("e.log")));
    // CODE is NOT NULL: the empty text stores null and the post fails.
    importRows(mxmInsertAll, {{QStringLiteral("1"), QStringLiteral("Null"), QStringLiteral("x")},
                              {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("y")}});
    EXPECT_EQ(source.ErrorRecs(), 1);
    EXPECT_EQ(tableRows(), QStringList{QStringLiteral("2|b|y")});
}

TEST_F(DatasetTest, ConfigurationLoadsFieldFormatsForTheTablesColumns)
{
    TMorvexFieldFormat *format = source.FieldFormats().Add();
    format->SetFieldName(QStringLiteral("name"));
    format->SetCharCase(iccUpper);
    TMorvexFieldFormat *missing = source.FieldFormats().Add();
    missing->SetFieldName(QStringLiteral("NOSUCH"));
    missing->SetConstantValue(QStringLiteral("x"));
    const QString path = dir.filePath(QStringLiteral("cfg.ini"));
    source.SaveConfiguration(path);
    TListSource loaded;
    loaded.SetDataSet(&query);
    loaded.LoadConfiguration(path);
    ASSERT_EQ(loaded.FieldFormats().Count(), 1);
    EXPECT_EQ(loaded.FieldFormats().Items(0)->FieldName(), QStringLiteral("NAME"));
    EXPECT_EQ(loaded.FieldFormats().Items(0)->CharCase(), iccUpper);
}

TEST_F(DatasetTest, GridDestinationWritesItsDatasetByDisplayLabels)
{
    TIB_DataSource dataSource;
    dataSource.SetDataset(&query);
    TIB_Grid grid;
    grid.SetDataSource(&dataSource);
    query.FieldByName(QStringLiteral("NAME"))->SetDisplayLabel(QStringLiteral("Item name"));
    TListSource viaGrid;
    viaGrid.SetImportDestination(mxdDBGrid);
    viaGrid.SetDBGrid(&grid);
    viaGrid.Map().Add(QStringLiteral("ID=1"));
    viaGrid.Map().Add(QStringLiteral("CODE=2"));
    viaGrid.Map().Add(QStringLiteral("item NAME=3"));
    viaGrid.KeyColumns().Add(QStringLiteral("ID"));
    viaGrid.KeyColumns().Add(QStringLiteral("CODE"));
    viaGrid.SetImportMode(mxmUpdateOrInsert);
    viaGrid.OnNeedCommit = [this](QObject *) { transaction.CommitRetaining(); };
    viaGrid.Rows = {{QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("one")},
                    {QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("uno")},
                    {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("two")}};
    viaGrid.Execute();
    EXPECT_EQ(viaGrid.ErrorRecs(), 0);
    EXPECT_EQ(tableRows(), (QStringList{QStringLiteral("1|a|uno"), QStringLiteral("2|b|two")}));
}

} // namespace
