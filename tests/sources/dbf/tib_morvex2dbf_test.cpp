#include "tib_morvex2dbf.h"

#include "formatsettings.h"
#include "inifile.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The dBase III table python3-dbf wrote: five records, the third deleted.
class DbfImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetFormatSettings();
        grid.setColumnCount(3);
        dbf.SetFileName(QStringLiteral(MORVEX_TEST_DATA "/dbf/py_db3.dbf"));
        dbf.SetImportDestination(mxdStringGrid);
        dbf.SetStringGrid(&grid);
        dbf.Map().Add(QStringLiteral("0=name"));
        dbf.Map().Add(QStringLiteral("1=BORN"));
        dbf.Map().Add(QStringLiteral("2=NOTES"));
    }

    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < grid.rowCount(); ++r)
            texts << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
        return texts;
    }

    QTableWidget grid;
    TIB_Morvex2DBF dbf;
};

TEST_F(DbfImportTest, DeletedRecordsAreSkippedUnlessAskedFor)
{
    dbf.Execute();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("Zoë"), QStringLiteral("Bob"), QStringLiteral("Edge"), QStringLiteral("Tail")}));
    EXPECT_EQ(dbf.ImportedRecs(), 4);
    EXPECT_EQ(dbf.TotalRecCount(), 5);
    // Dates reach the row in the short date format; a blank date stays empty.
    EXPECT_EQ(column(1).mid(0, 2), (QStringList{QStringLiteral("2/29/2024"), QString()}));
    EXPECT_EQ(column(2).at(1), QString(700, u'y'));

    grid.setRowCount(0);
    dbf.SetSkipDeleted(false);
    dbf.Execute();
    EXPECT_EQ(column(0).at(2), QStringLiteral("Del"));
    EXPECT_EQ(dbf.ImportedRecs(), 5);
}

// Which field fills which column is kept only while the map and the row stay
// as they are: a handler that changes either is obeyed from the next record.
TEST_F(DbfImportTest, MapOrRowChangedDuringTheRunTakesEffectFromTheNextRecord)
{
    int posted = 0;
    dbf.OnAfterPost = [&](QObject *, TMorvexRow *row) {
        ++posted;
        if (posted == 1) {
            dbf.Map().SetValues(QStringLiteral("0"), QStringLiteral("NOTES"));
            dbf.Map().SetValues(QStringLiteral("2"), QStringLiteral("name"));
        }
        if (posted == 2)
            row->Delete(row->IndexOf(row->ColByName(QStringLiteral("2"))));
    };
    dbf.Execute();
    const QStringList names = column(0);
    ASSERT_EQ(names.size(), 4);
    EXPECT_EQ(names.at(0), QStringLiteral("Zoë"));
    EXPECT_EQ(names.at(1), QString(700, u'y'));
    EXPECT_EQ(column(2).at(1), QStringLiteral("Bob"));
    EXPECT_EQ(column(2).at(2), QString());
}

TEST_F(DbfImportTest, SkipFirstRowsCountsDeletedRecordsAndImportRecCountStops)
{
    dbf.SetSkipFirstRows(2);
    dbf.Execute();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("Edge"), QStringLiteral("Tail")}));

    grid.setRowCount(0);
    dbf.SetSkipFirstRows(0);
    dbf.SetImportRecCount(3);
    dbf.Execute();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("Zoë"), QStringLiteral("Bob"), QStringLiteral("Edge")}));
}

TEST_F(DbfImportTest, OptionsAreStoredInTheirSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cfg.ini"));
    dbf.SetSkipFirstRows(3);
    dbf.SetCodePage(QStringLiteral("auto"));
    dbf.SaveConfiguration(path);
    TIB_Morvex2DBF loaded;
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.SkipFirstRows(), 3);
    EXPECT_EQ(loaded.CodePage(), QStringLiteral("auto"));
}

TEST_F(DbfImportTest, MissingTableFailsBeforeTheFirstRow)
{
    QTemporaryDir dir;
    dbf.SetFileName(dir.filePath(QStringLiteral("none.dbf")));
    EXPECT_THROW(dbf.Execute(), Exception);
}

} // namespace
