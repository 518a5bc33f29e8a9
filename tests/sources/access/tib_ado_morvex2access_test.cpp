#include "tib_ado_morvex2access.h"

#include "eado_error.h"
#include "formatsettings.h"
#include "ibo_tablerows.h"
#include "ibo_testdb.h"
#include "inifile.h"
#include "messages.h"
#include "morvexerror.h"
#include "qtapplication.h"
#include "qtprinters.h"
#include "tib_query.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/access/") + QString::fromUtf8(name);
}

QStringList names(const TStringList &list)
{
    QStringList result;
    for (int i = 0; i < list.Count(); ++i)
        result << list[i];
    return result;
}

// Access rows into a Firebird table through a TIB_Query.
class AccessImportTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        ResetFormatSettings();
        transaction.SetIB_Connection(&db->Connection());
        access.OnNeedCommit = [this](QObject *) { transaction.CommitRetaining(); };
    }

    void TearDown() override
    {
        query.Close();
        if (transaction.InTransaction())
            transaction.Commit();
        TIB_DatabaseTest::TearDown();
    }

    // Creates the destination table and maps every one of its columns to
    // the Access field of the same name.
    void destination(const QString &table, const QStringList &columns)
    {
        db->Execute({QStringLiteral("CREATE TABLE %1 (%2)").arg(table, columns.join(QStringLiteral(", ")))});
        query.SetIB_Connection(&db->Connection());
        query.SetIB_Transaction(&transaction);
        query.SetSQL(QStringLiteral("SELECT * FROM %1").arg(table));
        query.Open();
        access.SetDataSet(&query);
        access.Map().Clear();
        for (const QString &column : columns) {
            const QString name = column.section(u' ', 0, 0);
            access.Map().Add(name + u'=' + name);
        }
    }

    QStringList rows(const QString &select) { return TableRows(db->Connection(), transaction, select); }

    void table1Destination()
    {
        destination(QStringLiteral("T1"),
                    {QStringLiteral("A VARCHAR(50)"), QStringLiteral("B VARCHAR(100)"), QStringLiteral("C SMALLINT"),
                     QStringLiteral("D INTEGER"), QStringLiteral("E INTEGER"), QStringLiteral("F DOUBLE PRECISION"),
                     QStringLiteral("G TIMESTAMP"), QStringLiteral("H NUMERIC(15,4)"), QStringLiteral("I BOOLEAN")});
        access.SetFileName(fixture("V2000-test.mdb"));
        access.SetTableName(QStringLiteral("Table1"));
    }

    TIB_Transaction transaction;
    TIB_Query query;
    TIB_ADO_Morvex2Access access;
};

const QString kTable1Row1 = QStringLiteral("abcdefg|hijklmnop|2|222|333333333|444.555|1974-09-21 00:00:00.000|3.5000|True");
const QString kTable1Row2 = QStringLiteral("a|b|0|0|0|0|1981-12-12 00:00:00.000|0.0000|False");

TEST_F(AccessImportTest, EveryValueOfTable1ArrivesAsMdbExportShowsIt)
{
    table1Destination();
    EXPECT_TRUE(access.Execute());
    EXPECT_EQ(access.ImportedRecs(), 2);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM T1 ORDER BY A DESC")), (QStringList{kTable1Row1, kTable1Row2}));
}

// The process-wide formats change the text between reader and engine, not
// the values that arrive.
TEST_F(AccessImportTest, EuropeanFormatsGiveTheSameValues)
{
    table1Destination();
    access.Formats().SetDecimalSeparator(u',');
    access.Formats().SetThousandSeparator(u'.');
    access.Formats().SetDateSeparator(u'.');
    access.Formats().SetShortDateFormat(QStringLiteral("dd/mm/yyyy"));
    QStringList errors;
    access.OnImportError = [&](QObject *) { errors << access.Errors().Text(); };
    access.SetErrorLog(true);
    access.SetErrorLogFileName(db->FilePath(QStringLiteral("errors.log")));
    access.Execute();
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM T1 ORDER BY A DESC")), (QStringList{kTable1Row1, kTable1Row2}));
}

TEST_F(AccessImportTest, MemoAndNumericColumnsOfTheNumericDatabase)
{
    destination(QStringLiteral("T_NUM"),
                {QStringLiteral("COL1 BLOB SUB_TYPE TEXT"), QStringLiteral("COL2 NUMERIC(18,0)"), QStringLiteral("COL3 NUMERIC(18,0)"),
                 QStringLiteral("COL4 NUMERIC(18,0)"), QStringLiteral("COL5 NUMERIC(18,0)"), QStringLiteral("COL6 NUMERIC(18,0)"),
                 QStringLiteral("COL7 NUMERIC(18,0)")});
    access.SetFileName(fixture("V2000-numeric.mdb"));
    access.SetTableName(QStringLiteral("test"));
    access.Execute();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM T_NUM")), QStringList{QStringLiteral("some data|1|0|0|4|-1|1")});
}

TEST_F(AccessImportTest, EmptyTablesOfEveryShapeImportNothing)
{
    QStringList wide;
    for (int i = 1; i <= 89; ++i)
        wide << QStringLiteral("COLUMN%1 VARCHAR(50)").arg(i);
    destination(QStringLiteral("T2"), wide);
    access.SetFileName(fixture("V2000-test.mdb"));
    access.SetTableName(QStringLiteral("Table2"));
    access.Execute();
    EXPECT_EQ(access.ImportedRecs(), 0);

    query.Close();
    destination(QStringLiteral("T3"), {QStringLiteral("A INTEGER"), QStringLiteral("B VARCHAR(50)")});
    access.SetTableName(QStringLiteral("Table3"));
    access.Execute();
    query.Close();
    destination(QStringLiteral("T4"), {QStringLiteral("NAME VARCHAR(50)"), QStringLiteral("DATA VARCHAR(40)")});
    access.SetTableName(QStringLiteral("Table4"));
    access.Execute();
    EXPECT_EQ(access.ImportedRecs(), 0);
}

TEST_F(AccessImportTest, TableNameWithBlanksIsRead)
{
    destination(QStringLiteral("T_NUM"), {QStringLiteral("COL1 VARCHAR(20)"), QStringLiteral("COL5 INTEGER")});
    access.SetFileName(fixture("blank-name.mdb"));
    access.SetTableName(QStringLiteral("My T"));
    access.Execute();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM T_NUM")), QStringList{QStringLiteral("some data|4")});
}

TEST_F(AccessImportTest, NegativeSkipFirstRowsSkipsNothingAndPositiveSkipsLeadingRows)
{
    table1Destination();
    access.SetSkipFirstRows(-3);
    access.Execute();
    EXPECT_EQ(access.ImportedRecs(), 2);

    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM T1"));
    access.SetSkipFirstRows(1);
    access.Execute();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM T1")), QStringList{kTable1Row2});
}

TEST_F(AccessImportTest, QueryWithWhereClauseOverSeveralLines)
{
    table1Destination();
    access.SetSourceType(isSQL);
    access.SQL().Add(QStringLiteral("select A, B, C"));
    access.SQL().Add(QStringLiteral("from Table1 where C > 1"));
    access.Execute();
    // Fields the statement does not return get no value.
    EXPECT_EQ(rows(QStringLiteral("SELECT A, B, C, D FROM T1")), QStringList{QStringLiteral("abcdefg|hijklmnop|2|<null>")});
}

TEST_F(AccessImportTest, StatementMdbtoolsCannotRunFailsBeforeAnyRow)
{
    table1Destination();
    access.SetSourceType(isSQL);
    access.SQL().Add(QStringLiteral("select * from Table1 t join Table3 s on t.C = s.a"));
    bool ended = false;
    access.OnAfterImport = [&](QObject *) { ended = true; };
    try {
        access.Execute();
        FAIL() << "the statement ran";
    } catch (const EADOError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("The statement cannot be run: syntax error"));
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(access.ImportedRecs(), 0);
    EXPECT_TRUE(rows(QStringLiteral("SELECT * FROM T1")).isEmpty());
}

TEST_F(AccessImportTest, MissingTableFileAndForeignFileRaise)
{
    table1Destination();
    access.SetTableName(QStringLiteral("Table1]; drop"));
    EXPECT_THROW(access.Execute(), EADOError);

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.mdb"));
    access.SetFileName(missing);
    try {
        access.Execute();
        FAIL() << "a missing file was imported";
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), MorvexFormat(MXE_FileNotExists, {missing}));
    }

    const QString foreign = dir.filePath(QStringLiteral("customers.mdb"));
    QFile::copy(QStringLiteral(MORVEX_TEST_DATA "/access/LICENSE"), foreign);
    access.SetFileName(foreign);
    EXPECT_THROW(access.Execute(), EADOError);
    TStringList list;
    EXPECT_THROW(access.GetTableNames(list), EADOError);
}

TEST_F(AccessImportTest, TableAndFieldNamesForTheWizard)
{
    TStringList list;
    access.SetFileName(fixture("V2003-empty.mdb"));
    access.GetTableNames(list);
    EXPECT_EQ(list.Count(), 0);
    access.SetFileName(fixture("V2000-test.mdb"));
    access.GetTableNames(list);
    EXPECT_EQ(names(list).join(u','), QStringLiteral("Table1,Table2,Table3,Table4"));

    access.SetTableName(QStringLiteral("Table3"));
    access.GetFieldNames(list);
    EXPECT_EQ(names(list).join(u','), QStringLiteral("a,b"));
    access.SetSourceType(isSQL);
    access.SQL().Add(QStringLiteral("select B, A from Table1"));
    access.GetFieldNames(list);
    EXPECT_EQ(names(list).join(u','), QStringLiteral("B,A"));
}

TEST_F(AccessImportTest, ImportToCsvNeedsNoDestination)
{
    access.SetFileName(fixture("V2000-test.mdb"));
    access.SetTableName(QStringLiteral("Table1"));
    access.Map().Add(QStringLiteral("NAME=A"));
    access.Map().Add(QStringLiteral("WHEN=G"));
    access.Map().Add(QStringLiteral("AMOUNT=H"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    access.ImportToCSV(&buffer, u';', u'"');
    EXPECT_EQ(QString::fromUtf8(buffer.data()), QStringLiteral("\"abcdefg\";\"9/21/1974\";\"3.5000\"\r\n\"a\";\"12/12/1981\";\"0.0000\"\r\n"));
}

TEST_F(AccessImportTest, OptionsAndStatementAreStoredInTheirSections)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("access.ini"));
    access.SetSkipFirstRows(4);
    access.SetSourceType(isSQL);
    access.SetTableName(QStringLiteral("Table3"));
    access.SQL().Add(QStringLiteral("select *"));
    access.SQL().Add(QStringLiteral("from Table1"));
    access.SaveConfiguration(path);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("ACCESS_SQL"), QStringLiteral("Line_1"), QString()), QStringLiteral("from Table1"));

    TIB_ADO_Morvex2Access loaded;
    loaded.SQL().Add(QStringLiteral("replaced"));
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.SkipFirstRows(), 4);
    EXPECT_EQ(loaded.SourceType(), isSQL);
    EXPECT_EQ(loaded.TableName(), QStringLiteral("Table3"));
    EXPECT_EQ(loaded.SQL().Text(), access.SQL().Text());
}

} // namespace
