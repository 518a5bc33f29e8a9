// Range maps resolved against the fixture workbook that python3-xlwt wrote
// (tests/data/xls_import/make_fixtures.sh): open ends, sheets, skipped rows
// and columns, and the cell values a map row yields.
#include "xlsmapparser.h"

#include "exception.h"
#include "formatsettings.h"
#include "qtprinters.h"
#include "xlsfile.h"

#include <gtest/gtest.h>

namespace {

class MapWorkbookTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetFormatSettings(); }

    // The map row of text on the fixture, with its values.
    QStringList values(const QString &text)
    {
        row = std::make_unique<TMapRow>(&list);
        row->SetAsString(text);
        QStringList texts;
        for (int n = 1; n <= row->Total(); ++n)
            texts << row->GetCellValue(n);
        return texts;
    }

    QString error(const QString &text)
    {
        try {
            values(text);
        } catch (const Exception &e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    }

    TxlsFile file{QStringLiteral(MORVEX_TEST_DATA "/xls_import/map.xls")};
    TMapRowList list{&file};
    std::unique_ptr<TMapRow> row;
};

TEST_F(MapWorkbookTest, OpenEndsBecomeTheDataOfTheColumn)
{
    // Column A of "Sparse" holds cells in rows 3..7; the workbook is loaded
    // by the first range that needs it.
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(values(QStringLiteral("[Sparse]A-COLFINISH")),
              (QStringList{QStringLiteral("a3"), QStringLiteral("a4"), QStringLiteral("a5"), QStringLiteral("a6"), QStringLiteral("a7")}));
    EXPECT_TRUE(file.Loaded());
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[SPARSE]A3-A7;"));
    EXPECT_EQ(values(QStringLiteral("[sparse]A-COLSTART")),
              (QStringList{QStringLiteral("a7"), QStringLiteral("a6"), QStringLiteral("a5"), QStringLiteral("a4"), QStringLiteral("a3")}));
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[SPARSE]A7-A3;"));
    EXPECT_EQ(values(QStringLiteral("[:2]A5-COLFINISH")), (QStringList{QStringLiteral("a5"), QStringLiteral("a6"), QStringLiteral("a7")}));
    EXPECT_EQ(values(QStringLiteral("[:2]A5-COLSTART")), (QStringList{QStringLiteral("a5"), QStringLiteral("a4"), QStringLiteral("a3")}));
    EXPECT_EQ(values(QStringLiteral("[:2]COLSTART-A4")), (QStringList{QStringLiteral("a3"), QStringLiteral("a4")}));
    EXPECT_EQ(values(QStringLiteral("[:2]COLFINISH-A6")), (QStringList{QStringLiteral("a7"), QStringLiteral("a6")}));
    // A column with one cell resolves to that cell.
    EXPECT_EQ(values(QStringLiteral("[:2]C-COLFINISH")), QStringList{QStringLiteral("c2")});
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[:2]C2;"));
}

TEST_F(MapWorkbookTest, OpenRowsAndEmptyPositions)
{
    // Row 2 holds B2..F2, row 10 holds B10, D10 and G10 with gaps between.
    EXPECT_EQ(values(QStringLiteral("[:2]2-ROWFINISH")),
              (QStringList{QStringLiteral("2"), QStringLiteral("c2"), QStringLiteral("d2"), QStringLiteral("e2"), QStringLiteral("f2")}));
    EXPECT_EQ(values(QStringLiteral("[:2]10-ROWSTART")),
              (QStringList{QStringLiteral("g10"), QString(), QString(), QStringLiteral("d10"), QString(), QStringLiteral("b10")}));
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[:2]G10-B10;"));
    EXPECT_EQ(values(QStringLiteral("[:2]C10-ROWFINISH")), (QStringList{QString(), QStringLiteral("d10"), QString(), QString(), QStringLiteral("g10")}));
    EXPECT_EQ(values(QStringLiteral("[:2]ROWFINISH-D2")), (QStringList{QStringLiteral("f2"), QStringLiteral("e2"), QStringLiteral("d2")}));
    // Cells that do not exist, and a boolean cell, read as empty text.
    EXPECT_EQ(values(QStringLiteral("[:2]A1-A3;[:2]G1")), (QStringList{QString(), QString(), QStringLiteral("a3"), QString()}));
}

TEST_F(MapWorkbookTest, SheetsAndTextOutsideOneCodePage)
{
    // Without a sheet the first worksheet is read.
    EXPECT_EQ(values(QStringLiteral("B2-B3;[Größe]B2;[:3]A1;[:2]B1")),
              (QStringList{QStringLiteral("Jürgen Müller"), QStringLiteral("Zoë Дмитриева"), QStringLiteral("dritte Seite"),
                           QStringLiteral("3.25"), QStringLiteral("1")}));
    // The fourth value of A1-A3;B1 is B1.
    values(QStringLiteral("[:2]A1-A3;[:2]B1"));
    EXPECT_EQ(row->Total(), 4);
    EXPECT_EQ(row->GetCellValue(4), QStringLiteral("1"));
    EXPECT_EQ(row->GetCellValue(5), QString());
    EXPECT_EQ(row->GetCellValue(0), QString());
}

TEST_F(MapWorkbookTest, NumbersAndDatesFollowTheProcessFormats)
{
    FormatSettings.DecimalSeparator = u',';
    FormatSettings.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    EXPECT_EQ(values(QStringLiteral("D2;E2;E5;F2")),
              (QStringList{QStringLiteral("14.03.1975"), QStringLiteral("29.02.2024 13:45:10"), QStringLiteral("04.07.2010"),
                           QStringLiteral("1234,56")}));
}

TEST_F(MapWorkbookTest, SkippedLeadingRowsAndColumns)
{
    list.SetSkipFirstRows(1);
    EXPECT_EQ(values(QStringLiteral("A1-COLFINISH")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(values(QStringLiteral("A3-A1")), (QStringList{QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_EQ(values(QStringLiteral("B1;1-ROWFINISH")), QStringList());
    list.SetSkipFirstRows(0);
    list.SetSkipFirstCols(1);
    EXPECT_EQ(values(QStringLiteral("1-ROWFINISH")),
              (QStringList{QStringLiteral("NAME"), QStringLiteral("CITY"), QStringLiteral("BORN"), QStringLiteral("STAMP"),
                           QStringLiteral("AMOUNT"), QStringLiteral("ACTIVE")}));
    EXPECT_EQ(values(QStringLiteral("A-COLFINISH;A2")), QStringList());
}

TEST_F(MapWorkbookTest, WhatTheWorkbookLacksFailsWhenResolved)
{
    EXPECT_EQ(error(QStringLiteral("[Nope]A1")), QStringLiteral("Sheet with name NOPE is not found in the source file"));
    EXPECT_EQ(error(QStringLiteral("A1;[:4]A1")),
              QStringLiteral("Sheet number 4 is not found in the source file, which has 3 sheets"));
    // The range that failed is dropped; the ones before it stay.
    EXPECT_EQ(row->GetAsString(), QStringLiteral("A1;"));
    EXPECT_EQ(error(QStringLiteral("[:2]H-COLFINISH")), QStringLiteral("Col 8 not found in the sheet Sparse"));
    EXPECT_EQ(error(QStringLiteral("[:2]8-ROWFINISH")), QStringLiteral("Row 8 not found in the sheet Sparse"));
    EXPECT_EQ(error(QStringLiteral("[:2]200-ROWSTART")), QStringLiteral("Row 200 not found in the sheet Sparse"));
    // A column or row must hold data even when both ends are given; a
    // single cell need not.
    EXPECT_EQ(error(QStringLiteral("[:2]H1-H2")), QStringLiteral("Col 8 not found in the sheet Sparse"));
    EXPECT_EQ(values(QStringLiteral("[:2]H1")), QStringList{QString()});
}

TEST_F(MapWorkbookTest, EditsResolveAgainAgainstTheWorkbook)
{
    values(QStringLiteral("[:2]A-COLFINISH"));
    RemoveCellFromRow(*row, QStringLiteral("Sparse"), 2, 5, 1);
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[:2]A3-A4;[:2]A6-A7;"));
    EXPECT_EQ(row->Total(), 4);
    EXPECT_EQ(row->GetCellValue(3), QStringLiteral("a6"));
    row->SetAsString(QStringLiteral("[:2]A5;[:2]A3-A4"));
    row->Optimize();
    EXPECT_EQ(row->GetAsString(), QStringLiteral("[:2]A3-A5;"));
    EXPECT_EQ(row->GetCellValue(3), QStringLiteral("a5"));
}

TEST(MapWorkbookLoadTest, AWorkbookThatFailsToLoadFailsTheFirstRange)
{
    TxlsFile file(QStringLiteral(MORVEX_TEST_DATA "/xls_import/truncated.xls"));
    TMapRowList list(&file);
    TMapRow row(&list);
    EXPECT_THROW(row.SetAsString(QStringLiteral("A1")), Exception);
    EXPECT_EQ(row.Count(), 0);
}

} // namespace
