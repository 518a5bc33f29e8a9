#include "ibo_testdb.h"
#include "qtprinters.h"
#include "tib_datasource.h"
#include "tib_grid.h"
#include "tib_query.h"
#include "tib_row.h"

#include <QHeaderView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class GridTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        QStringList ddl{u"CREATE TABLE ITEMS (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20), PRICE NUMERIC(9,2),"
                        " NOTE BLOB SUB_TYPE TEXT, RAW BLOB SUB_TYPE BINARY)"_s};
        for (int i = 1; i <= 150; ++i)
            ddl << u"INSERT INTO ITEMS (ID, NAME, PRICE) VALUES (%1, 'item %1', %1.25)"_s.arg(i);
        ddl << u"UPDATE ITEMS SET NOTE = 'first note', RAW = x'0102' WHERE ID = 1"_s;
        db->Execute(ddl);
        query.SetIB_Connection(&db->Connection());
        query.SetSQL(u"SELECT * FROM ITEMS ORDER BY ID"_s);
        source.SetDataset(&query);
    }

    void TearDown() override
    {
        grid.reset();
        query.Unprepare();
        TIB_DatabaseTest::TearDown();
    }

    QAbstractItemModel *Model() { return grid->model(); }
    QVariant Cell(int row, int column) { return Model()->data(Model()->index(row, column)); }
    void FetchAll()
    {
        while (Model()->canFetchMore({}))
            Model()->fetchMore({});
    }

    TIB_Query query;
    TIB_DataSource source;
    std::unique_ptr<TIB_Grid> grid = std::make_unique<TIB_Grid>();
};

TEST_F(GridTest, ShowsTheDatasetsColumnsAndReadsRowsInBatches)
{
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_EQ(grid->GridFieldCount(), 0);
    grid->SetDataSource(&source);
    EXPECT_EQ(grid->GridFieldCount(), 0); // the dataset is closed
    query.Open();
    ASSERT_EQ(grid->GridFieldCount(), 5);
    EXPECT_EQ(Model()->columnCount(), 5);
    EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), u"NAME"_s);
    EXPECT_EQ(Model()->rowCount(), 0);
    ASSERT_TRUE(Model()->canFetchMore({}));
    Model()->fetchMore({});
    EXPECT_GT(Model()->rowCount(), 0);
    EXPECT_LT(Model()->rowCount(), 150); // not the whole table at once
    FetchAll();
    EXPECT_EQ(Model()->rowCount(), 150);
    EXPECT_EQ(Cell(0, 0), QVariant(1LL));
    EXPECT_EQ(Cell(149, 1), QVariant(u"item 150"_s));
    EXPECT_DOUBLE_EQ(Cell(2, 2).toDouble(), 3.25);
    EXPECT_EQ(Cell(0, 3), QVariant(u"first note"_s));
    EXPECT_EQ(Cell(0, 4), QVariant(u"(BLOB)"_s));
    EXPECT_FALSE(Cell(1, 3).isValid());
}

TEST_F(GridTest, RefreshesAfterChangesExceptWhileControlsAreDisabled)
{
    grid->SetDataSource(&source);
    query.Open();
    FetchAll();
    query.DisableControls();
    query.DisableControls();
    query.Append();
    query.FieldByName(u"ID"_s)->SetAsInteger(151);
    query.FieldByName(u"NAME"_s)->SetAsString(u"late"_s);
    query.Post();
    ASSERT_TRUE(query.Locate(u"ID"_s, 1));
    query.Edit();
    query.FieldByName(u"NAME"_s)->SetAsString(u"renamed"_s);
    query.Post();
    EXPECT_EQ(Model()->rowCount(), 150);
    EXPECT_EQ(Cell(0, 1), QVariant(u"item 1"_s));
    query.EnableControls();
    EXPECT_EQ(Model()->rowCount(), 150);
    query.EnableControls();
    FetchAll();
    EXPECT_EQ(Model()->rowCount(), 151);
    EXPECT_EQ(Cell(0, 1), QVariant(u"renamed"_s));
    EXPECT_EQ(Cell(150, 1), QVariant(u"late"_s));

    query.Delete(); // the located row, ID 1
    FetchAll();
    EXPECT_EQ(Model()->rowCount(), 150);
    EXPECT_EQ(Cell(0, 0), QVariant(2LL));
    query.Close();
    EXPECT_EQ(Model()->rowCount(), 0);
    EXPECT_EQ(Model()->columnCount(), 0);
}

TEST_F(GridTest, GridFieldsFollowTheDisplayedOrder)
{
    grid->SetDataSource(&source);
    query.Open();
    query.FieldByName(u"PRICE"_s)->SetDisplayLabel(u"Price"_s);
    EXPECT_EQ(grid->GridFields(0), query.FieldByName(u"ID"_s));
    grid->horizontalHeader()->moveSection(2, 0);
    EXPECT_EQ(grid->GridFields(0), query.FieldByName(u"PRICE"_s));
    EXPECT_EQ(grid->GridFields(0)->DisplayLabel(), u"Price"_s);
    EXPECT_EQ(grid->GridFields(1), query.FieldByName(u"ID"_s));
    EXPECT_EQ(grid->GridFields(5), nullptr);
}

TEST_F(GridTest, ForgetsADestroyedDataSourceOrDataset)
{
    grid->SetDataSource(&source);
    query.Open();
    FetchAll();
    {
        TIB_Query other;
        other.SetIB_Connection(&db->Connection());
        other.SetSQL(u"SELECT ID FROM ITEMS WHERE ID < 3"_s);
        other.Open();
        source.SetDataset(&other);
        FetchAll();
        EXPECT_EQ(Model()->rowCount(), 2);
        EXPECT_EQ(grid->GridFieldCount(), 1);
    }
    EXPECT_EQ(source.Dataset(), nullptr);
    EXPECT_EQ(grid->GridFieldCount(), 0);
    EXPECT_EQ(Model()->rowCount(), 0);
    auto scoped = std::make_unique<TIB_DataSource>();
    scoped->SetDataset(&query);
    grid->SetDataSource(scoped.get());
    EXPECT_EQ(grid->GridFieldCount(), 5);
    scoped.reset();
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_EQ(grid->GridFieldCount(), 0);
}

TEST_F(GridTest, KeepsShownRowsWhenTheTransactionEnds)
{
    grid->SetDataSource(&source);
    query.Open();
    Model()->fetchMore({});
    const int shown = Model()->rowCount();
    ASSERT_GT(shown, 0);
    db->Connection().DefaultTransaction()->Commit();
    // The commit is a change of the dataset: the grid reads again, in a new transaction.
    FetchAll();
    EXPECT_EQ(Model()->rowCount(), 150);
}

} // namespace
