#include "eado_error.h"
#include "formatsettings.h"
#include "mdbtrialread_p.h"
#include "tadoconnection.h"
#include "tadodataset.h"

#include <QFile>
#include <QTemporaryDir>

#include <QDir>

#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/access/") + QString::fromUtf8(name);
}

QString connectionTo(const QString &file)
{
    return AccessConnectionString(file);
}

QStringList names(const TStringList &list)
{
    QStringList result;
    for (int i = 0; i < list.Count(); ++i)
        result << list[i];
    return result;
}

// Every row of the dataset as field=text lines.
QList<QStringList> rowsOf(TADODataSet &dataset)
{
    QList<QStringList> rows;
    for (; !dataset.Eof(); dataset.Next()) {
        QStringList row;
        for (int i = 0; i < dataset.FieldCount(); ++i)
            row << dataset.Fields(i)->Text();
        rows << row;
    }
    return rows;
}

// The message of the EADOError that f raises; empty when it raises none.
template <typename F>
QString errorOf(F f)
{
    try {
        f();
    } catch (const EADOError &e) {
        return e.Message();
    }
    return {};
}

class AdoTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetFormatSettings(); }
    void TearDown() override { ResetFormatSettings(); }

    void openTable(const char *file, const QString &table)
    {
        dataset.SetConnectionString(connectionTo(fixture(file)));
        dataset.SetCommandType(cmdTable);
        dataset.SetCommandText(table);
        dataset.Open();
    }

    void openStatement(const char *file, const QString &statement)
    {
        dataset.SetConnectionString(connectionTo(fixture(file)));
        dataset.SetCommandType(cmdText);
        dataset.SetCommandText(statement);
        dataset.Open();
    }

    TADODataSet dataset;
};

TEST(AdoConnectionStringTest, DataSourceIsTheFileWhateverElseTheStringHolds)
{
    EXPECT_EQ(ConnectionDataSource(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/tmp/a b.mdb")),
              QStringLiteral("/tmp/a b.mdb"));
    EXPECT_EQ(ConnectionDataSource(QStringLiteral("data source = x.mdb ; Persist Security Info=False")), QStringLiteral("x.mdb"));
    EXPECT_EQ(ConnectionDataSource(QStringLiteral("Data Source=\"/tmp/a;b \"\"c\"\".mdb\";Mode=Read")),
              QStringLiteral("/tmp/a;b \"c\".mdb"));
    EXPECT_EQ(ConnectionDataSource(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0")), QString());
    // What AccessConnectionString writes reads back as the same file.
    for (const QString &file : {QStringLiteral("/tmp/plain.mdb"), QStringLiteral("/tmp/a;b.mdb"), QStringLiteral("\"q\".mdb"),
                                QStringLiteral(" blank.mdb ")})
        EXPECT_EQ(ConnectionDataSource(AccessConnectionString(file)), file);
    EXPECT_EQ(AccessConnectionString(QStringLiteral("/tmp/plain.mdb")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/tmp/plain.mdb"));
}

TEST_F(AdoTest, TableNamesLeaveOutSystemTablesUnlessAsked)
{
    TADOConnection connection;
    connection.SetLoginPrompt(false);
    connection.SetConnectionString(connectionTo(fixture("V2000-test.mdb")));
    TStringList list;
    list.Add(QStringLiteral("stale"));
    connection.GetTableNames(list);
    EXPECT_EQ(names(list), (QStringList{QStringLiteral("Table1"), QStringLiteral("Table2"), QStringLiteral("Table3"),
                                        QStringLiteral("Table4")}));
    connection.GetTableNames(list, true);
    EXPECT_TRUE(names(list).contains(QStringLiteral("MSysObjects")));

    connection.SetConnectionString(connectionTo(fixture("V2003-empty.mdb")));
    connection.GetTableNames(list);
    EXPECT_EQ(list.Count(), 0);
}

// The values mdb-export shows for Table1, in the classic formats.
TEST_F(AdoTest, TableValuesArriveAsMdbExportShowsThem)
{
    openTable("V2000-test.mdb", QStringLiteral("table1"));
    TStringList fields;
    dataset.GetFieldNames(fields);
    EXPECT_EQ(names(fields).join(u','), QStringLiteral("A,B,C,D,E,F,G,H,I"));
    const QList<QStringList> rows = rowsOf(dataset);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].join(u'|'), QStringLiteral("abcdefg|hijklmnop|2|222|333333333|444.555|9/21/1974|3.5000|1"));
    EXPECT_EQ(rows[1].join(u'|'), QStringLiteral("a|b|0|0|0|0|12/12/1981|0.0000|0"));
}

TEST_F(AdoTest, NumbersAndDatesFollowTheProcessWideFormats)
{
    FormatSettings.DecimalSeparator = u',';
    FormatSettings.DateSeparator = u'.';
    FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    openTable("V2000-test.mdb", QStringLiteral("Table1"));
    EXPECT_EQ(dataset.FindField(QStringLiteral("F"))->Text(), QStringLiteral("444,555"));
    EXPECT_EQ(dataset.FindField(QStringLiteral("G"))->Text(), QStringLiteral("21.09.1974"));
    EXPECT_EQ(dataset.FindField(QStringLiteral("h"))->Text(), QStringLiteral("3,5000"));
}

TEST_F(AdoTest, MemoFieldsAreBlobsAndNumericColumnsAreNot)
{
    openTable("V2000-numeric.mdb", QStringLiteral("test"));
    ASSERT_FALSE(dataset.Eof());
    EXPECT_TRUE(dataset.FindField(QStringLiteral("col1"))->IsBlob());
    EXPECT_EQ(dataset.FindField(QStringLiteral("col1"))->Text(), QStringLiteral("some data"));
    EXPECT_FALSE(dataset.FindField(QStringLiteral("col2"))->IsBlob());
    EXPECT_EQ(rowsOf(dataset), (QList<QStringList>{{QStringLiteral("some data"), QStringLiteral("1"), QStringLiteral("0"),
                                                    QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("-1"),
                                                    QStringLiteral("1")}}));
}

TEST_F(AdoTest, TableNameWithBlanksIsReadDirectly)
{
    openTable("blank-name.mdb", QStringLiteral("My T"));
    EXPECT_EQ(rowsOf(dataset).size(), 1);
}

TEST_F(AdoTest, MissingTableRaisesNamingItAndNoNameReachesSqlText)
{
    EXPECT_EQ(errorOf([&] { openTable("V2000-test.mdb", QStringLiteral("Nope")); }),
              QStringLiteral("The table 'Nope' does not exist in '%1'.").arg(fixture("V2000-test.mdb")));
    // A name that would close the brackets of "select * from [%s]" is only a name.
    const QString escape = QStringLiteral("Table1] where C > 1 or [A");
    EXPECT_TRUE(errorOf([&] { openTable("V2000-test.mdb", escape); }).contains(escape));
    EXPECT_FALSE(dataset.Active());
}

TEST_F(AdoTest, StatementWithWhereClauseSelectsRows)
{
    openStatement("V2000-test.mdb", QStringLiteral("select A, F from Table1\nwhere C > 1"));
    EXPECT_EQ(rowsOf(dataset), (QList<QStringList>{{QStringLiteral("abcdefg"), QStringLiteral("444.555")}}));
    EXPECT_EQ(dataset.FieldCount(), 2);
    // First reads the rows again.
    dataset.First();
    EXPECT_FALSE(dataset.Eof());
    EXPECT_EQ(dataset.FindField(QStringLiteral("a"))->Text(), QStringLiteral("abcdefg"));
}

TEST_F(AdoTest, StatementsMdbtoolsCannotRunRaiseItsText)
{
    EXPECT_EQ(errorOf([&] { openStatement("V2000-test.mdb", QStringLiteral("select * from Table1, Table3")); }),
              QStringLiteral("The statement cannot be run: syntax error"));
    EXPECT_TRUE(errorOf([&] { openStatement("V2000-test.mdb", QStringLiteral("select * from Nope")); }).contains(QStringLiteral("Nope")));
    EXPECT_TRUE(errorOf([&] { openStatement("V2000-test.mdb", QStringLiteral("connect to 'other.mdb'")); })
                    .startsWith(QStringLiteral("Only SELECT statements can be run")));
    EXPECT_FALSE(dataset.Active());
    // The dataset opens again afterwards.
    openStatement("V2000-test.mdb", QStringLiteral("select * from Table1"));
    EXPECT_EQ(rowsOf(dataset).size(), 2);
}

TEST_F(AdoTest, MissingFileAndFilesOfAnotherKindRaiseClearErrors)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.mdb"));
    EXPECT_EQ(errorOf([&] {
                  TADOConnection connection;
                  connection.SetConnectionString(connectionTo(missing));
                  connection.Open();
              }),
              QStringLiteral("Could not find file '%1'.").arg(missing));

    QFile real(fixture("V2000-test.mdb"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray head = real.read(3 * 4096);
    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"text.mdb", QByteArray(9000, 'x')},
        {"empty.mdb", QByteArray()},
        {"cut-in-page.mdb", head.left(5000)},
        {"signature-only.mdb", head.left(32)},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        dataset.SetConnectionString(connectionTo(path));
        dataset.SetCommandType(cmdTable);
        dataset.SetCommandText(QStringLiteral("Table1"));
        EXPECT_EQ(errorOf([&] { dataset.Open(); }), QStringLiteral("Unrecognized database format '%1'.").arg(path)) << c.name;
    }
}

// A read that crashes mdbtools crashes the child process that tries it, and
// the caller gets an error instead; the read's own exceptions are left to the
// real read. (A sanitizer turns the signal into an exit status.)
TEST(AdoTrialReadTest, CrashInTheTrialBecomesAnErrorAndExceptionsAreLeftToTheRealRead)
{
    const QString path = fixture("V2000-numeric.mdb");
    const QString damaged = QStringLiteral("The database '%1' is damaged: reading it ").arg(QDir::toNativeSeparators(path));
    EXPECT_TRUE(errorOf([&] { MdbTrialRead(path, [] { std::raise(SIGSEGV); }); }).startsWith(damaged));
    EXPECT_TRUE(errorOf([&] { MdbTrialRead(path, [] { std::_Exit(3); }); }).startsWith(damaged));
    EXPECT_EQ(errorOf([&] { MdbTrialRead(path, [] { throw EADOError(QStringLiteral("no such table")); }); }), QString());
    const QString missing = QStringLiteral("/nonexistent/x.mdb");
    EXPECT_EQ(errorOf([&] { MdbTrialRead(missing, [] {}); }), QStringLiteral("Could not find file '%1'.").arg(missing));
}

// mdbtools crashes reading this file's catalog in some processes and not in
// others (it depends on what lies behind its buffers): either way the process
// lives on, and an error, when there is one, names the file as damaged.
TEST_F(AdoTest, DamagedCatalogNeverTakesTheProcessDown)
{
    const QString path = fixture("damaged-catalog.mdb");
    const QString damaged = QStringLiteral("The database '%1' is damaged: reading it ").arg(QDir::toNativeSeparators(path));
    TADOConnection connection;
    connection.SetConnectionString(connectionTo(path));
    TStringList tables;
    const QString error = errorOf([&] { connection.GetTableNames(tables, false); });
    EXPECT_TRUE(error.isEmpty() || error.startsWith(damaged)) << error.toStdString();
}

} // namespace
