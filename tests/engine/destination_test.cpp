#include "listsource.h"

#include "morvexdestination.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class DestinationTest : public ::testing::Test
{
protected:

    static void fill(QTableWidget &grid, const QList<QStringList> &rows)
    {
        grid.setRowCount(int(rows.size()));
        grid.setColumnCount(rows.isEmpty() ? 0 : int(rows.first().size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                grid.setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }

    static QStringList column(const QTableWidget &grid, int c)
    {
        QStringList texts;
        for (int r = 0; r < grid.rowCount(); ++r)
            texts.append(grid.item(r, c) ? grid.item(r, c)->text() : QString());
        return texts;
    }
};

TEST_F(DestinationTest, StringGridColumnsAreFoundByNumberOrByExactCaption)
{
    QTableWidget grid;
    fill(grid, {{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}});
    auto find = [&](const QString &name, int captionRow) {
        return MorvexDestinationFindColumn(false, mxdStringGrid, nullptr, &grid, nullptr, nullptr, name, captionRow);
    };
    EXPECT_EQ(find(QStringLiteral("B"), 0), 1);
    EXPECT_EQ(find(QStringLiteral("2"), 0), 2);
    EXPECT_EQ(find(QStringLiteral("b"), 0), -1);
    EXPECT_EQ(find(QStringLiteral("3"), 0), -1);
    EXPECT_EQ(find(QStringLiteral("B"), -1), -1);
    EXPECT_EQ(find(QStringLiteral("-1"), 0), -1);
    EXPECT_EQ(find(QStringLiteral("B"), 0), 1);
    EXPECT_EQ(MorvexDestinationColName(false, mxdStringGrid, nullptr, &grid, nullptr, nullptr, 2, -1), QStringLiteral("2"));
    EXPECT_EQ(MorvexDestinationColName(false, mxdStringGrid, nullptr, &grid, nullptr, nullptr, 2, 0), QStringLiteral("C"));
    EXPECT_EQ(MorvexDestinationColName(false, mxdStringGrid, nullptr, &grid, nullptr, nullptr, 2, 5), QStringLiteral("2"));
    // In CSV mode there is no destination at all.
    EXPECT_EQ(MorvexDestinationFindColumn(true, mxdStringGrid, nullptr, &grid, nullptr, nullptr, QStringLiteral("B"), 0), -1);
    EXPECT_EQ(MorvexDestinationColCount(true, mxdStringGrid, nullptr, &grid, nullptr, nullptr), 0);
    EXPECT_FALSE(MorvexDestinationAssigned(true, mxdStringGrid, nullptr, &grid, nullptr, nullptr));
}

TEST_F(DestinationTest, ListViewColumnsAreFoundByCaptionIgnoringCase)
{
    QTreeWidget view;
    view.setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Name")});
    EXPECT_EQ(MorvexDestinationFindColumn(false, mxdListView, nullptr, nullptr, &view, nullptr, QStringLiteral("NAME"), -1), 1);
    EXPECT_EQ(MorvexDestinationColCount(false, mxdListView, nullptr, nullptr, &view, nullptr), 2);
    EXPECT_EQ(MorvexDestinationColName(false, mxdListView, nullptr, nullptr, &view, nullptr, 0, -1), QStringLiteral("Code"));
    EXPECT_TRUE(MorvexIsDestinationActive(false, mxdListView, nullptr, nullptr, &view, nullptr));
}

TEST_F(DestinationTest, StringGridWithoutStartRowOverwritesTheLastRowThenAppends)
{
    QTableWidget grid;
    fill(grid, {{QStringLiteral("r0")}, {QStringLiteral("r1")}, {QStringLiteral("r2")}, {QStringLiteral("r3")}, {QStringLiteral("r4")}});
    TListSource source;
    source.SetImportDestination(mxdStringGrid);
    source.SetStringGrid(&grid);
    source.Map().Add(QStringLiteral("0=1"));
    source.Rows = {{QStringLiteral("a")}, {QStringLiteral("b")}, {QStringLiteral("c")}};
    source.Execute();
    EXPECT_EQ(column(grid, 0), (QStringList{QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2"),
                                            QStringLiteral("r3"), QStringLiteral("a"), QStringLiteral("b"),
                                            QStringLiteral("c")}));
}

TEST_F(DestinationTest, EmptyStringGridWithoutStartRowKeepsTheFirstRow)
{
    QTableWidget grid;
    grid.setColumnCount(1);
    TListSource source;
    source.SetImportDestination(mxdStringGrid);
    source.SetStringGrid(&grid);
    source.Map().Add(QStringLiteral("0=1"));
    source.Rows = {{QStringLiteral("a")}, {QStringLiteral("b")}};
    source.Execute();
    EXPECT_EQ(column(grid, 0), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(DestinationTest, StringGridModesFindRowsByKeyIgnoringCase)
{
    QTableWidget grid;
    fill(grid, {{QStringLiteral("ID"), QStringLiteral("NAME")},
                {QStringLiteral("a1"), QStringLiteral("one")},
                {QStringLiteral("a2"), QStringLiteral("two")},
                {QStringLiteral("a3"), QStringLiteral("three")}});
    TListSource source;
    source.SetImportDestination(mxdStringGrid);
    source.SetStringGrid(&grid);
    source.SetGridCaptionRow(0);
    source.Map().Add(QStringLiteral("ID=1"));
    source.Map().Add(QStringLiteral("NAME=2"));
    source.KeyColumns().Add(QStringLiteral("ID"));

    source.SetImportMode(mxmUpdate);
    source.Rows = {{QStringLiteral("A2"), QStringLiteral("TWO")}, {QStringLiteral("zz"), QStringLiteral("none")}};
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 2) << "a row that matches nothing still counts";
    EXPECT_EQ(column(grid, 1), (QStringList{QStringLiteral("NAME"), QStringLiteral("one"), QStringLiteral("TWO"), QStringLiteral("three")}));

    source.SetImportMode(mxmDelete);
    source.Rows = {{QStringLiteral("a1"), QString()}};
    source.Execute();
    EXPECT_EQ(column(grid, 0), (QStringList{QStringLiteral("ID"), QStringLiteral("A2"), QStringLiteral("a3")}));
}

TEST_F(DestinationTest, ListViewItemsGetASubItemForEveryFurtherColumn)
{
    QTreeWidget view;
    view.setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Extra")});
    TListSource source;
    source.SetImportDestination(mxdListView);
    source.SetListView(&view);
    source.SetErrorLog(true);
    source.SetErrorLogFileName(QDir::temp().filePath(QStringLiteral("morvex-listview-test.log")));
    // Two row columns, but the second feeds the list view's third column.
    source.Map().Add(QStringLiteral("Code=1"));
    source.Map().Add(QStringLiteral("Extra=2"));
    source.Rows = {{QStringLiteral("1"), QStringLiteral("x")}, {QStringLiteral("2"), QStringLiteral("y")}};
    source.Execute();
    EXPECT_EQ(source.ErrorRecs(), 0);
    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(view.topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(view.topLevelItem(1)->text(2), QStringLiteral("y"));
    EXPECT_EQ(view.topLevelItem(1)->columnCount(), 3);

    source.SetImportMode(mxmDeleteOrInsert);
    source.KeyColumns().Add(QStringLiteral("code"));
    source.Rows = {{QStringLiteral("1"), QString()}, {QStringLiteral("3"), QStringLiteral("z")}};
    source.Execute();
    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(view.topLevelItem(0)->text(0), QStringLiteral("2"));
    EXPECT_EQ(view.topLevelItem(1)->text(2), QStringLiteral("z"));
    QFile::remove(source.ErrorLogFileName());
}

TEST_F(DestinationTest, DestroyedDestinationClearsTheReference)
{
    TListSource source;
    {
        QTableWidget grid;
        source.SetStringGrid(&grid);
        QTreeWidget view;
        source.SetListView(&view);
        EXPECT_EQ(source.StringGrid(), &grid);
    }
    EXPECT_EQ(source.StringGrid(), nullptr);
    EXPECT_EQ(source.ListView(), nullptr);
}

} // namespace
