#include "tib_morvex2dataset.h"

#include "formatsettings.h"
#include "ibo_tablerows.h"
#include "ibo_testdb.h"
#include "inifile.h"
#include "messages.h"
#include "morvexerror.h"
#include "qtapplication.h"
#include "qtprinters.h"
#include "tib_query.h"
#include "tsqlquerydataset.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Five source records in a Firebird table and in an SQLite table, imported
// into a Firebird table.
class DataSetImportTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        ResetFormatSettings();
        db->Execute({QStringLiteral("CREATE TABLE SRC (ID INTEGER, NAME VARCHAR(20), NOTE BLOB SUB_TYPE TEXT, PRICE NUMERIC(9,2))"),
                     QStringLiteral("CREATE TABLE DST (ID INTEGER, NAME VARCHAR(20), NOTE BLOB SUB_TYPE TEXT, PRICE NUMERIC(9,2))")});
        transaction.SetIB_Connection(&db->Connection());
        for (int i = 1; i <= 5; ++i)
            transaction.ExecuteImmediate(QStringLiteral("INSERT INTO SRC VALUES (%1, '  name %1  ', '  note %1  ', %1.25)").arg(i));
        transaction.CommitRetaining();
        source.SetIB_Connection(&db->Connection());
        source.SetIB_Transaction(&transaction);
        source.SetSQL(QStringLiteral("SELECT * FROM SRC ORDER BY ID"));
        source.Open();
        destination.SetIB_Connection(&db->Connection());
        destination.SetIB_Transaction(&transaction);
        destination.SetSQL(QStringLiteral("SELECT * FROM DST"));
        destination.Open();
        import.SetDataSet(&destination);
        import.SetSource(&source);
        import.Map().Add(QStringLiteral("ID=ID"));
        import.Map().Add(QStringLiteral("NAME=name"));
        import.Map().Add(QStringLiteral("NOTE=NOTE"));
        import.Map().Add(QStringLiteral("PRICE=PRICE"));
        import.OnNeedCommit = [this](QObject *) { transaction.CommitRetaining(); };
    }

    void TearDown() override
    {
        source.Close();
        destination.Close();
        if (transaction.InTransaction())
            transaction.Commit();
        TIB_DatabaseTest::TearDown();
    }

    QStringList importedIds()
    {
        return TableRows(db->Connection(), transaction, QStringLiteral("SELECT ID FROM DST ORDER BY ID"));
    }

    // The message of the EMorvexError that Execute raises.
    QString checkError()
    {
        try {
            import.Execute();
        } catch (const EMorvexError &e) {
            return e.Message();
        }
        return {};
    }

    TIB_Transaction transaction;
    TIB_Query source;
    TIB_Query destination;
    TIB_Morvex2DataSet import;
};

TEST_F(DataSetImportTest, EveryRecordArrivesAndBlobTextStaysUntrimmed)
{
    import.Execute();
    const QStringList rows = TableRows(db->Connection(), transaction, QStringLiteral("SELECT * FROM DST ORDER BY ID"));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.first(), QStringLiteral("1|name 1|  note 1  |1.25"));
    EXPECT_FALSE(source.ControlsDisabled());
}

TEST_F(DataSetImportTest, SkipAndRecordLimitCountRecordsMovedPast)
{
    import.SetSkipFirstRows(2);
    import.Execute();
    EXPECT_EQ(importedIds(), (QStringList{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}));

    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM DST"));
    import.SetSkipFirstRows(1);
    import.SetImportRecCount(3);
    import.Execute();
    EXPECT_EQ(importedIds(), (QStringList{QStringLiteral("2"), QStringLiteral("3")}));

    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM DST"));
    import.SetImportRecCount(-1);
    import.Execute();
    EXPECT_TRUE(importedIds().isEmpty());
}

TEST_F(DataSetImportTest, WithoutGoToFirstRecordTheRunStartsAtTheCurrentRecord)
{
    source.First();
    for (int i = 1; i < 4; ++i)
        source.Next();
    import.SetGoToFirstRecord(false);
    import.Execute();
    EXPECT_EQ(importedIds(), (QStringList{QStringLiteral("4"), QStringLiteral("5")}));
}

TEST_F(DataSetImportTest, ChecksNeedTheDestinationDatasetWhateverTheDestination)
{
    QTableWidget grid(0, 4);
    import.SetImportDestination(mxdStringGrid);
    import.SetStringGrid(&grid);
    import.Map().Clear();
    import.Map().Add(QStringLiteral("0=ID"));
    EXPECT_EQ(checkError(), MorvexFormat(MXE_FieldNotFound, {QStringLiteral("0")}));
    import.SetDataSet(nullptr);
    EXPECT_EQ(checkError(), MorvexText(MXE_NoDataSet));

    // Grid columns named like destination fields take the values.
    import.SetDataSet(&destination);
    import.Map().Clear();
    import.Map().Add(QStringLiteral("ID=ID"));
    grid.setHorizontalHeaderLabels({QStringLiteral("ID")});
    import.SetGridCaptionRow(-1);
    EXPECT_EQ(checkError(), QString());
}

TEST_F(DataSetImportTest, ChecksNameTheMissingSourceAndItsFields)
{
    import.Map().Add(QStringLiteral("NAME=MISSING"));
    EXPECT_EQ(checkError(), MorvexFormat(MXE_SourceFieldNotFound, {QStringLiteral("MISSING")}));
    import.Map().Clear();
    EXPECT_EQ(checkError(), MorvexText(MXE_MappingEmpty));
    {
        TIB_Query gone;
        import.SetSource(&gone);
    }
    EXPECT_EQ(import.Source(), nullptr);
    EXPECT_EQ(checkError(), MorvexText(MXE_NoSource));
}

TEST_F(DataSetImportTest, SkipLinesIsStoredInItsSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dataset.ini"));
    import.SetSkipFirstRows(7);
    import.SaveConfiguration(path);
    EXPECT_EQ(TIniFile(path).ReadInteger(QStringLiteral("DATA_SET_OPTIONS"), QStringLiteral("SkipLines"), 0), 7);
    TIB_Morvex2DataSet loaded;
    loaded.SetDataSet(&destination);
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.SkipFirstRows(), 7);
}

// An SQLite database through Qt SQL as the source.
class SqliteSourceTest : public DataSetImportTest
{
protected:
    void SetUp() override
    {
        DataSetImportTest::SetUp();
        {
            QSqlDatabase sqlite = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
            sqlite.setDatabaseName(QStringLiteral(":memory:"));
            ASSERT_TRUE(sqlite.open()) << sqlite.lastError().text().toStdString();
            QSqlQuery setup(sqlite);
            ASSERT_TRUE(setup.exec(QStringLiteral("CREATE TABLE src (id INTEGER, name TEXT, note BLOB, price REAL)")));
            for (int i = 1; i <= 5; ++i) {
                setup.prepare(QStringLiteral("INSERT INTO src VALUES (?, ?, ?, ?)"));
                setup.addBindValue(i);
                setup.addBindValue(QStringLiteral("  name %1  ").arg(i));
                setup.addBindValue(QStringLiteral("  note %1  ").arg(i).toUtf8());
                setup.addBindValue(i == 5 ? QVariant() : QVariant(i + 0.25));
                ASSERT_TRUE(setup.exec());
            }
        }
        QSqlQuery query(QSqlDatabase::database(kConnection));
        query.setForwardOnly(true);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT * FROM src ORDER BY id")));
        sqliteSource = std::make_unique<TSqlQueryDataSet>(std::move(query));
        import.SetSource(sqliteSource.get());
    }

    void TearDown() override
    {
        sqliteSource.reset();
        QSqlDatabase::removeDatabase(kConnection);
        DataSetImportTest::TearDown();
    }

    const QString kConnection = QStringLiteral("dataset-test");
    std::unique_ptr<TSqlQueryDataSet> sqliteSource;
};

TEST_F(SqliteSourceTest, ValuesArriveInTheProcessWideFormats)
{
    import.Formats().SetDecimalSeparator(u',');
    import.Formats().SetThousandSeparator(u'.');
    import.Execute();
    const QStringList rows = TableRows(db->Connection(), transaction, QStringLiteral("SELECT * FROM DST ORDER BY ID"));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|name 1|  note 1  |1.25"), QStringLiteral("2|name 2|  note 2  |2.25"),
                                 QStringLiteral("3|name 3|  note 3  |3.25"), QStringLiteral("4|name 4|  note 4  |4.25"),
                                 QStringLiteral("5|name 5|  note 5  |<null>")}));
    EXPECT_FALSE(sqliteSource->ControlsDisabled());
}

TEST_F(SqliteSourceTest, ForwardOnlyQueryRunsAgainForASecondImport)
{
    import.SetSkipFirstRows(2);
    import.Execute();
    transaction.ExecuteImmediate(QStringLiteral("DELETE FROM DST"));
    import.SetSkipFirstRows(0);
    import.SetImportRecCount(2);
    import.Execute();
    EXPECT_EQ(importedIds(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

TEST_F(SqliteSourceTest, BinaryColumnsAreBlobsAndTextIsNot)
{
    EXPECT_TRUE(sqliteSource->FindField(QStringLiteral("NOTE"))->IsBlob());
    EXPECT_FALSE(sqliteSource->FindField(QStringLiteral("name"))->IsBlob());
    EXPECT_EQ(sqliteSource->FindField(QStringLiteral("missing")), nullptr);
}

} // namespace
