#include "eib_error.h"
#include "ibo_testdb.h"
#include "qtprinters.h"
#include "tib_query.h"
#include "tib_row.h"


#include <gtest/gtest.h>

#include <ibase.h>

using namespace Qt::StringLiterals;

namespace {

class DatasetTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        db->Execute({u"CREATE TABLE PEOPLE (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(30) NOT NULL,"
                     " CITY VARCHAR(30), AGE INTEGER DEFAULT 18 NOT NULL, CONSTRAINT NAME_UNIQUE UNIQUE (NAME))"_s,
                     u"CREATE TABLE PAIRS (A INTEGER NOT NULL, B VARCHAR(10) NOT NULL, VAL VARCHAR(20),"
                     " PRIMARY KEY (A, B))"_s,
                     u"CREATE TABLE LOOSE (X INTEGER, Y VARCHAR(10))"_s,
                     u"INSERT INTO PEOPLE (ID, NAME, CITY) VALUES (1, 'Anna', 'Oslo')"_s,
                     u"INSERT INTO PEOPLE (ID, NAME, CITY) VALUES (2, 'Bert', NULL)"_s,
                     u"INSERT INTO PEOPLE (ID, NAME, CITY) VALUES (3, 'Carl', 'Bergen')"_s,
                     u"INSERT INTO PAIRS VALUES (1, 'x', 'one-x')"_s,
                     u"INSERT INTO PAIRS VALUES (1, 'Y', 'one-y')"_s,
                     u"INSERT INTO PAIRS VALUES (2, 'x', 'two-x')"_s,
                     u"INSERT INTO LOOSE VALUES (1, 'a')"_s,
                     u"INSERT INTO LOOSE VALUES (1, 'a')"_s,
                     u"INSERT INTO LOOSE VALUES (2, 'b')"_s});
        transaction.SetIB_Connection(&db->Connection());
        query.SetIB_Connection(&db->Connection());
        query.SetIB_Transaction(&transaction);
    }

    void TearDown() override
    {
        query.Unprepare();
        if (transaction.InTransaction())
            transaction.Rollback();
        TIB_DatabaseTest::TearDown();
    }

    void Open(const QString &sql)
    {
        query.Close();
        query.SetSQL(sql);
        query.Open();
    }

    // The values of one column of every row, read in a fresh transaction of its own.
    QStringList Committed(const QString &sql)
    {
        TIB_Transaction other;
        other.SetIB_Connection(&db->Connection());
        TIB_Query reader;
        reader.SetIB_Transaction(&other);
        reader.SetSQL(sql);
        reader.Open();
        QStringList values;
        for (; !reader.Eof(); reader.Next())
            values << reader.Fields()->Columns(0)->AsString();
        return values;
    }

    QStringList Values(const QString &sql)
    {
        Open(sql);
        QStringList values;
        for (; !query.Eof(); query.Next())
            values << query.Fields()->Columns(0)->AsString();
        return values;
    }

    TIB_Transaction transaction;
    TIB_Query query;
};

TEST_F(DatasetTest, OpenReadsForwardAndStates)
{
    EXPECT_EQ(query.State(), dssInactive);
    query.SetSQL(u"SELECT ID, NAME FROM PEOPLE ORDER BY ID"_s);
    query.Prepare();
    EXPECT_EQ(query.State(), dssPrepared);
    EXPECT_EQ(query.FieldCount(), 2);
    query.Open();
    EXPECT_TRUE(query.Active());
    EXPECT_EQ(query.State(), dssBrowse);
    EXPECT_TRUE(query.Bof());
    EXPECT_FALSE(query.Eof());
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Anna"_s);
    query.Next();
    EXPECT_FALSE(query.Bof());
    query.Next();
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s);
    query.Next();
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s);
    query.First();
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 1);
    EXPECT_EQ(query.TableName(), u"PEOPLE"_s);
    EXPECT_EQ(query.KeyFieldNames(), QStringList{u"ID"_s});
    query.Close();
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.State(), dssPrepared);
    EXPECT_TRUE(transaction.InTransaction()); // started on demand, never ended by the dataset
}

TEST_F(DatasetTest, AppendPostsOnlyTheColumnsSetSoDefaultsApply)
{
    Open(u"SELECT * FROM PEOPLE"_s);
    query.Append();
    EXPECT_EQ(query.State(), dssInsert);
    query.FieldByName(u"ID"_s)->SetAsInteger(10);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Dora"_s);
    query.Post();
    EXPECT_EQ(query.State(), dssBrowse);
    query.Insert();
    query.FieldByName(u"ID"_s)->SetAsInteger(11);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Emil"_s);
    query.FieldByName(u"AGE"_s)->SetAsInteger(40);
    query.Post();
    EXPECT_EQ(Values(u"SELECT NAME || ':' || AGE FROM PEOPLE WHERE ID >= 10 ORDER BY ID"_s),
              (QStringList{u"Dora:18"_s, u"Emil:40"_s}));
    // Nothing is committed by the dataset.
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"3"_s});
    transaction.Commit();
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"5"_s});
}

TEST_F(DatasetTest, EditUpdatesByKeyAndDeleteRemovesTheRow)
{
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    query.Next(); // Bert
    query.Edit();
    EXPECT_EQ(query.State(), dssEdit);
    query.FieldByName(u"CITY"_s)->SetAsString(u"Tromsø"_s);
    query.FieldByName(u"ID"_s)->SetAsInteger(20); // the key itself may change
    query.Post();
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 20);
    query.Edit();
    query.FieldByName(u"AGE"_s)->SetAsInteger(77);
    query.Post();
    EXPECT_EQ(Values(u"SELECT ID || ':' || COALESCE(CITY, '-') || ':' || AGE FROM PEOPLE ORDER BY ID"_s),
              (QStringList{u"1:Oslo:18"_s, u"3:Bergen:18"_s, u"20:Tromsø:77"_s}));

    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    query.Delete();
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s); // the next row is current
    query.Next();
    query.Delete();
    EXPECT_TRUE(query.Eof());
    EXPECT_THROW(query.Delete(), EIB_Error);
    EXPECT_EQ(Values(u"SELECT NAME FROM PEOPLE"_s), QStringList{u"Carl"_s});
}

TEST_F(DatasetTest, PostAndCancelOnlyActInEditOrInsertState)
{
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    EXPECT_THROW(query.Post(), EIB_Error);
    query.Cancel(); // browsing: nothing happens
    EXPECT_EQ(query.State(), dssBrowse);
    query.Edit();
    query.FieldByName(u"NAME"_s)->SetAsString(u"Changed"_s);
    query.Cancel();
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Anna"_s);
    query.Append();
    query.FieldByName(u"NAME"_s)->SetAsString(u"New"_s);
    query.Cancel();
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Anna"_s);
    EXPECT_EQ(Values(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"3"_s});
}

TEST_F(DatasetTest, AFailedPostKeepsTheStateAndCanBeCancelled)
{
    Open(u"SELECT * FROM PEOPLE"_s);
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(1); // primary key taken
    query.FieldByName(u"NAME"_s)->SetAsString(u"Other"_s);
    try {
        query.Post();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_EQ(e.GDSCODE(), isc_unique_key_violation);
        EXPECT_EQ(e.SQLCODE(), -803);
        EXPECT_TRUE(e.StatusText().contains(u"violation of PRIMARY or UNIQUE KEY constraint"_s)) << e.what();
        EXPECT_TRUE(e.Message().contains(u"GDSCODE: 335544665"_s)) << e.what();
    }
    EXPECT_EQ(query.State(), dssInsert);
    query.Cancel();
    EXPECT_EQ(query.State(), dssBrowse);

    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(4);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Anna"_s); // unique name taken
    EXPECT_THROW(query.Post(), EIB_ISCError);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Dora"_s); // corrected and posted again
    query.Post();
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(5); // NAME missing: NOT NULL
    try {
        query.Post();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_EQ(e.GDSCODE(), isc_not_valid);
        EXPECT_TRUE(e.Message().contains(u"NAME"_s)) << e.what();
    }
    query.Cancel();
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(6);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Finn"_s);
    query.Post();
    EXPECT_EQ(Values(u"SELECT ID FROM PEOPLE ORDER BY ID"_s),
              (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"6"_s}));
}

TEST_F(DatasetTest, AFailedPostWithABlobCanBeCorrectedAndPostedAgain)
{
    db->Execute({u"CREATE TABLE NOTES (ID INTEGER NOT NULL PRIMARY KEY, BODY BLOB SUB_TYPE TEXT)"_s,
                 u"INSERT INTO NOTES VALUES (1, 'old')"_s});
    Open(u"SELECT * FROM NOTES"_s);
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(1);
    query.FieldByName(u"BODY"_s)->SetAsString(u"kept for the retry"_s);
    EXPECT_THROW(query.Post(), EIB_ISCError);
    query.FieldByName(u"ID"_s)->SetAsInteger(2);
    query.Post();
    EXPECT_EQ(Values(u"SELECT BODY FROM NOTES WHERE ID = 2"_s), QStringList{u"kept for the retry"_s});
}

TEST_F(DatasetTest, LocateByOneKeyColumn)
{
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    EXPECT_TRUE(query.Locate(u"ID"_s, 3));
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s);
    EXPECT_TRUE(query.Locate(u"ID"_s, u"2"_s, lopCaseInsensitive)); // text for an integer key
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Bert"_s);
    EXPECT_FALSE(query.Locate(u"ID"_s, 99));
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Bert"_s); // the current row stays
    EXPECT_TRUE(query.Locate(u"id"_s, QVariantList{1}));
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Anna"_s);
    EXPECT_THROW(query.Locate(u"ID"_s, u"abc"_s), EConvertError);
    EXPECT_THROW(query.Locate(u"NOPE"_s, 1), EIB_Error);

    // Locate then edit: the import's update path.
    ASSERT_TRUE(query.Locate(u"ID"_s, 3));
    query.Edit();
    query.FieldByName(u"CITY"_s)->SetAsString(u"Narvik"_s);
    query.Post();
    EXPECT_EQ(Values(u"SELECT CITY FROM PEOPLE WHERE ID = 3"_s), QStringList{u"Narvik"_s});
}

TEST_F(DatasetTest, LocateByTextWithAndWithoutLetterCase)
{
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    EXPECT_FALSE(query.Locate(u"NAME"_s, u"carl"_s));
    EXPECT_TRUE(query.Locate(u"NAME"_s, u"carl"_s, lopCaseInsensitive));
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 3);
    EXPECT_TRUE(query.Locate(u"NAME"_s, u"Be"_s, lopPartialKey));
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 2);
    EXPECT_FALSE(query.Locate(u"NAME"_s, u"be"_s, lopPartialKey));
    EXPECT_TRUE(query.Locate(u"NAME"_s, u"an"_s, TIB_LocateOptions(lopPartialKey | lopCaseInsensitive)));
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 1);
    EXPECT_TRUE(query.Locate(u"NAME"_s, u"Bz"_s, lopFindNearest));
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s);
}

TEST_F(DatasetTest, LocateByTwoKeyColumnsAndNullValues)
{
    Open(u"SELECT * FROM PAIRS"_s);
    EXPECT_EQ(query.KeyFieldNames(), (QStringList{u"A"_s, u"B"_s}));
    EXPECT_TRUE(query.Locate(u"A;B"_s, QVariantList{u"1"_s, u"Y"_s}, lopCaseInsensitive));
    EXPECT_EQ(query.FieldByName(u"VAL"_s)->AsString(), u"one-y"_s);
    EXPECT_TRUE(query.Locate(u"A;B"_s, QVariantList{u"1"_s, u"y"_s}, lopCaseInsensitive));
    EXPECT_EQ(query.FieldByName(u"VAL"_s)->AsString(), u"one-y"_s);
    EXPECT_FALSE(query.Locate(u"A;B"_s, QVariantList{u"2"_s, u"y"_s}, lopCaseInsensitive));
    EXPECT_TRUE(query.Locate(u"A; B"_s, QStringList{u"2"_s, u"x"_s}));
    EXPECT_EQ(query.FieldByName(u"VAL"_s)->AsString(), u"two-x"_s);
    EXPECT_THROW(query.Locate(u"A;B"_s, QVariantList{1}), EIB_Error);
    EXPECT_TRUE(query.Locate(u"A;B"_s, QVariantList{1, u"x"_s}, lopFindNearest));
    EXPECT_EQ(query.FieldByName(u"VAL"_s)->AsString(), u"one-x"_s);

    query.Edit();
    query.FieldByName(u"VAL"_s)->Clear();
    query.Post();
    EXPECT_TRUE(query.Locate(u"A;VAL"_s, QVariantList{1, QVariant()}));
    EXPECT_EQ(query.FieldByName(u"B"_s)->AsString(), u"x"_s);
    EXPECT_FALSE(query.Locate(u"A;VAL"_s, QVariantList{2, QVariant()}));
    query.Delete();
    EXPECT_EQ(Values(u"SELECT A || B FROM PAIRS ORDER BY 1"_s), (QStringList{u"1Y"_s, u"2x"_s}));
}

TEST_F(DatasetTest, LocateFindsOnlyRowsOfTheQuery)
{
    Open(u"SELECT * FROM PEOPLE WHERE CITY IS NOT NULL ORDER BY NAME DESC"_s);
    EXPECT_FALSE(query.Locate(u"ID"_s, 2));
    EXPECT_TRUE(query.Locate(u"ID"_s, 1));
    EXPECT_TRUE(query.Locate(u"CITY"_s, u"b"_s, TIB_LocateOptions(lopPartialKey | lopCaseInsensitive)));
    EXPECT_EQ(query.FieldByName(u"NAME"_s)->AsString(), u"Carl"_s);
}

TEST_F(DatasetTest, ATableWithoutPrimaryKeyIsWrittenByDbKey)
{
    Open(u"SELECT * FROM LOOSE"_s);
    EXPECT_EQ(query.KeyFieldNames(), QStringList{u"RDB$DB_KEY"_s});
    EXPECT_EQ(query.FieldCount(), 2); // the key column stays hidden
    // Two identical rows: editing one changes only that one.
    ASSERT_TRUE(query.Locate(u"X;Y"_s, QVariantList{1, u"a"_s}));
    query.Edit();
    query.FieldByName(u"Y"_s)->SetAsString(u"changed"_s);
    query.Post();
    EXPECT_EQ(Values(u"SELECT Y FROM LOOSE ORDER BY Y"_s), (QStringList{u"a"_s, u"b"_s, u"changed"_s}));

    Open(u"SELECT L.Y FROM LOOSE L WHERE X = 2"_s);
    query.Edit();
    query.FieldByName(u"Y"_s)->SetAsString(u"c"_s);
    query.Post();
    // An appended row gets its key back and can be edited and deleted at once.
    query.Append();
    query.FieldByName(u"Y"_s)->SetAsString(u"new"_s);
    query.Post();
    query.Edit();
    query.FieldByName(u"Y"_s)->SetAsString(u"newer"_s);
    query.Post();
    EXPECT_EQ(Values(u"SELECT Y FROM LOOSE ORDER BY Y"_s), (QStringList{u"a"_s, u"c"_s, u"changed"_s, u"newer"_s}));
    Open(u"SELECT * FROM LOOSE WHERE Y = 'newer'"_s);
    query.Delete();
    EXPECT_EQ(Values(u"SELECT COUNT(*) FROM LOOSE"_s), QStringList{u"3"_s});
}

TEST_F(DatasetTest, KeyLinksReplaceThePrimaryKey)
{
    query.SetKeyLinks({u"PEOPLE.NAME"_s});
    Open(u"SELECT CITY FROM PEOPLE ORDER BY ID"_s);
    EXPECT_EQ(query.KeyFieldNames(), QStringList{u"NAME"_s});
    EXPECT_EQ(query.FieldCount(), 1);
    query.Edit();
    query.FieldByName(u"CITY"_s)->SetAsString(u"Bodø"_s);
    query.Post();
    EXPECT_EQ(Values(u"SELECT CITY FROM PEOPLE WHERE NAME = 'Anna'"_s), QStringList{u"Bodø"_s});
}

TEST_F(DatasetTest, ExpressionsAndJoinsAreReadOnly)
{
    Open(u"SELECT P.NAME, Q.VAL FROM PEOPLE P JOIN PAIRS Q ON Q.A = P.ID"_s);
    EXPECT_EQ(query.TableName(), QString());
    EXPECT_THROW(query.Append(), EIB_Error);
    EXPECT_THROW(query.Edit(), EIB_Error);
    Open(u"SELECT ID, UPPER(NAME) AS BIG FROM PEOPLE"_s);
    EXPECT_TRUE(query.FieldByName(u"BIG"_s)->ReadOnly());
    query.Edit();
    EXPECT_THROW(query.FieldByName(u"BIG"_s)->SetAsString(u"x"_s), EIB_Error);
    query.Cancel();
}

TEST_F(DatasetTest, ErrorsCarryFirebirdsOwnText)
{
    query.SetSQL(u"SELECT * FROM NO_SUCH_TABLE"_s);
    try {
        query.Open();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_TRUE(e.StatusText().contains(u"Table unknown"_s)) << e.what();
        EXPECT_TRUE(e.StatusText().contains(u"NO_SUCH_TABLE"_s)) << e.what();
        EXPECT_EQ(e.SQLCODE(), -204);
    }
    EXPECT_FALSE(query.Active());
    query.SetSQL(u"SELEKT 1 FROM RDB$DATABASE"_s);
    try {
        query.Open();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_EQ(e.GDSCODE(), isc_dsql_error);
        EXPECT_TRUE(e.StatusText().contains(u"Token unknown"_s)) << e.what();
    }
    query.SetSQL(u"SELECT NOPE FROM PEOPLE"_s);
    EXPECT_THROW(query.Open(), EIB_ISCError);
    query.SetSQL(u"UPDATE PEOPLE SET AGE = 1"_s);
    EXPECT_THROW(query.Open(), EIB_Error);
    // The dataset is still usable afterwards.
    query.SetSQL(u"SELECT * FROM PEOPLE"_s);
    query.Open();
    EXPECT_TRUE(query.Active());

    TIB_Connection missing;
    missing.SetDatabaseName(db->FilePath(u"missing/nothing.fdb"_s));
    try {
        missing.Connect();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_EQ(e.GDSCODE(), isc_io_error);
        EXPECT_TRUE(e.StatusText().contains(u"nothing.fdb"_s)) << e.what();
    }
    EXPECT_FALSE(missing.Connected());

    TIB_Connection latin;
    latin.SetDatabaseName(db->Path());
    latin.SetCharSet(u"WIN1252"_s);
    EXPECT_THROW(latin.Connect(), EIB_Error);
    EXPECT_THROW(db->Connection().SetDatabaseName(u"other.fdb"_s), EIB_Error); // connected

    QFile notADatabase(db->FilePath(u"text.fdb"_s));
    ASSERT_TRUE(notADatabase.open(QIODevice::WriteOnly));
    notADatabase.write(QByteArray(20000, 'x'));
    notADatabase.close();
    TIB_Connection wrong;
    wrong.SetDatabaseName(notADatabase.fileName());
    EXPECT_THROW(wrong.Connect(), EIB_ISCError);
}

TEST_F(DatasetTest, ALockedRowRaisesAtOnce)
{
    TIB_Transaction other;
    other.SetIB_Connection(&db->Connection());
    other.ExecuteImmediate(u"UPDATE PEOPLE SET AGE = 50 WHERE ID = 1"_s);
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    query.Edit();
    query.FieldByName(u"AGE"_s)->SetAsInteger(60);
    try {
        query.Post();
        FAIL() << "no exception";
    } catch (const EIB_ISCError &e) {
        EXPECT_EQ(e.GDSCODE(), isc_deadlock);
        EXPECT_TRUE(e.StatusText().contains(u"concurrent update"_s)) << e.what();
    }
    query.Cancel();
    other.Rollback();
}

TEST_F(DatasetTest, DestroyingATransactionRollsItBack)
{
    {
        TIB_Transaction scoped;
        scoped.SetIB_Connection(&db->Connection());
        TIB_Query writer;
        writer.SetIB_Transaction(&scoped);
        writer.SetSQL(u"SELECT * FROM PEOPLE"_s);
        writer.Open();
        writer.Append();
        writer.FieldByName(u"ID"_s)->SetAsInteger(9);
        writer.FieldByName(u"NAME"_s)->SetAsString(u"Gone"_s);
        writer.Post();
        EXPECT_TRUE(scoped.InTransaction());
    }
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"3"_s});

    Open(u"SELECT * FROM PEOPLE"_s);
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(8);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Also gone"_s);
    query.Post();
    transaction.Rollback();
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"3"_s});
}

TEST_F(DatasetTest, CommitEndsTheCursorButNotTheDataset)
{
    Open(u"SELECT * FROM PEOPLE ORDER BY ID"_s);
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(7);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Hans"_s);
    query.Post();
    transaction.CommitRetaining();
    EXPECT_TRUE(transaction.InTransaction());
    query.Next(); // the cursor survives a retaining commit
    EXPECT_FALSE(query.Eof());
    transaction.Commit();
    EXPECT_FALSE(transaction.InTransaction());
    EXPECT_TRUE(query.Active());
    query.Next();
    EXPECT_TRUE(query.Eof());
    // Writing goes on in a new transaction.
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(12);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Ida"_s);
    query.Post();
    EXPECT_TRUE(transaction.InTransaction());
    query.First();
    EXPECT_EQ(query.FieldByName(u"ID"_s)->AsInteger(), 1);
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"4"_s});
}

TEST_F(DatasetTest, DisableControlsNestsAndHoldsBackNotifications)
{
    Open(u"SELECT * FROM PEOPLE"_s);
    int changes = 0;
    QObject::connect(&query, &TIB_Dataset::DataChange, [&changes] { ++changes; });
    query.DisableControls();
    query.DisableControls();
    for (int id = 30; id < 33; ++id) {
        query.Append();
        query.FieldByName(u"ID"_s)->SetAsInteger(id);
        query.FieldByName(u"NAME"_s)->SetAsString(QString::number(id));
        query.Post();
    }
    query.EnableControls();
    EXPECT_TRUE(query.ControlsDisabled());
    EXPECT_EQ(changes, 0);
    query.EnableControls();
    EXPECT_FALSE(query.ControlsDisabled());
    EXPECT_EQ(changes, 1);
    query.EnableControls(); // unbalanced: ignored
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(40);
    query.FieldByName(u"NAME"_s)->SetAsString(u"40"_s);
    query.Post();
    EXPECT_EQ(changes, 2);
}

TEST_F(DatasetTest, DisconnectingClosesDatasetsAndRollsBack)
{
    Open(u"SELECT * FROM PEOPLE"_s);
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(50);
    query.FieldByName(u"NAME"_s)->SetAsString(u"Jon"_s);
    query.Post();
    db->Connection().Disconnect();
    EXPECT_FALSE(query.Active());
    EXPECT_FALSE(transaction.InTransaction());
    db->Connection().Connect();
    EXPECT_EQ(Committed(u"SELECT COUNT(*) FROM PEOPLE"_s), QStringList{u"3"_s});
    query.Open(); // prepares again on the new attachment
    EXPECT_TRUE(query.Active());
}

TEST_F(DatasetTest, UsesTheConnectionsDefaultTransactionWithoutOneOfItsOwn)
{
    TIB_Query plain;
    plain.SetIB_Connection(&db->Connection());
    plain.SetSQL(u"SELECT * FROM PEOPLE"_s);
    plain.Open();
    EXPECT_TRUE(db->Connection().DefaultTransaction()->InTransaction());
    plain.Close();
    db->Connection().DefaultTransaction()->Rollback();
}

} // namespace
