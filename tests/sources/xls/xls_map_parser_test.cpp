// The range map language without a workbook: grammar, messages, printing
// back, cell tests and the edits that build maps cell by cell.
#include "xlsmapparser.h"

#include "exception.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

namespace {

QString parseError(const QString &text)
{
    try {
        TMapRow row;
        ParseMapString(text, &row);
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

QString printed(const QString &text)
{
    TMapRow row;
    row.SetAsString(text);
    return row.GetAsString();
}

struct FormCase
{
    const char *name;
    const char16_t *text;
    const char16_t *printed;
    TRangeType type;
    TRangeDirection direction;
    int row1, col1, row2, col2;
};

class MapFormTest : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(MapFormTest, ParsesAndPrintsBack)
{
    const FormCase &c = GetParam();
    TMapRow row;
    ASSERT_TRUE(ParseMapString(QString::fromUtf16(c.text), &row));
    ASSERT_EQ(row.Count(), 1);
    const TMapRange &r = *row.Items(0);
    EXPECT_EQ(r.RangeType(), c.type);
    EXPECT_EQ(r.Direction, c.direction);
    EXPECT_EQ(r.Row1, c.row1);
    EXPECT_EQ(r.Col1, c.col1);
    EXPECT_EQ(r.Row2, c.row2);
    EXPECT_EQ(r.Col2, c.col2);
    const QString text = row.GetAsString();
    EXPECT_EQ(text, QString::fromUtf16(c.printed));
    // What is printed parses to the same range.
    EXPECT_EQ(printed(text), text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryForm, MapFormTest,
    ::testing::Values(
        FormCase{"Cell", u"b3", u"B3;", rtCell, rdUnknown, 3, 2, 3, 2},
        FormCase{"ColumnDown", u"a1-a10", u"A1-A10;", rtCol, rdDown, 1, 1, 10, 1},
        FormCase{"ColumnUp", u"A10-A1", u"A10-A1;", rtCol, rdUp, 10, 1, 1, 1},
        FormCase{"RowRight", u"A1-E1", u"A1-E1;", rtRow, rdDown, 1, 1, 1, 5},
        FormCase{"RowLeft", u"E1-A1", u"E1-A1;", rtRow, rdUp, 1, 5, 1, 1},
        FormCase{"WholeColumnDown", u"A-COLFINISH", u"A-COLFINISH;", rtCol, rdDown, 0, 1, 0, 1},
        FormCase{"WholeColumnUp", u"a-colstart", u"A-COLSTART;", rtCol, rdUp, 0, 1, 0, 1},
        FormCase{"CellToLastRow", u"A5-COLFINISH", u"A5-COLFINISH;", rtCol, rdDown, 5, 1, 0, 1},
        FormCase{"CellToFirstRow", u"A5-COLSTART", u"A5-COLSTART;", rtCol, rdUp, 5, 1, 0, 1},
        FormCase{"FirstRowToCell", u"COLSTART-A10", u"COLSTART-A10;", rtCol, rdDown, 0, 1, 10, 1},
        FormCase{"LastRowToCell", u"COLFINISH-A10", u"COLFINISH-A10;", rtCol, rdUp, 0, 1, 10, 1},
        FormCase{"WholeRowRight", u"1-ROWFINISH", u"1-ROWFINISH;", rtRow, rdDown, 1, 0, 1, 0},
        FormCase{"WholeRowLeft", u"12-ROWSTART", u"12-ROWSTART;", rtRow, rdUp, 12, 0, 12, 0},
        FormCase{"CellToLastCol", u"A1-ROWFINISH", u"A1-ROWFINISH;", rtRow, rdDown, 1, 1, 1, 0},
        FormCase{"CellToFirstCol", u"E1-ROWSTART", u"E1-ROWSTART;", rtRow, rdUp, 1, 5, 1, 0},
        FormCase{"FirstColToCell", u"ROWSTART-E1", u"ROWSTART-E1;", rtRow, rdDown, 1, 0, 1, 5},
        FormCase{"LastColToCell", u"ROWFINISH-A1", u"ROWFINISH-A1;", rtRow, rdUp, 1, 0, 1, 1},
        FormCase{"LastCellOfTheSheet", u"  iv65536;  ", u"IV65536;", rtCell, rdUnknown, 65536, 256, 65536, 256},
        FormCase{"SameCellTwice", u"C7-C7", u"C7;", rtCell, rdUnknown, 7, 3, 7, 3},
        FormCase{"SheetByName", u"[Sheet2]A1-A10", u"[SHEET2]A1-A10;", rtCol, rdDown, 1, 1, 10, 1},
        FormCase{"SheetNameWithSpacesAndSemicolon", u"[my; Data]B2", u"[MY; DATA]B2;", rtCell, rdUnknown, 2, 2, 2, 2},
        FormCase{"SheetNameKeepsItsLength", u"[Größe]B2", u"[GRÖßE]B2;", rtCell, rdUnknown, 2, 2, 2, 2},
        FormCase{"SheetByNumber", u"[:3]B2-COLFINISH", u"[:3]B2-COLFINISH;", rtCol, rdDown, 2, 2, 0, 2}),
    [](const ::testing::TestParamInfo<FormCase> &info) { return std::string(info.param.name); });

TEST(MapParserTest, SeveralRangesKeepTheirOrderAndSheets)
{
    TMapRow row;
    row.SetAsString(QStringLiteral("[Sheet2]A1-A10;[:3]B2;C1"));
    ASSERT_EQ(row.Count(), 3);
    EXPECT_EQ(row.Items(0)->SheetIDType, sitName);
    EXPECT_EQ(row.Items(0)->SheetName, QStringLiteral("SHEET2"));
    EXPECT_EQ(row.Items(1)->SheetIDType, sitNumber);
    EXPECT_EQ(row.Items(1)->SheetNumber, 3);
    EXPECT_TRUE(row.Items(1)->GetHasSheet());
    // A sheet prefix belongs to the range after it only.
    EXPECT_EQ(row.Items(2)->SheetIDType, sitUnknown);
    EXPECT_FALSE(row.Items(2)->GetHasSheet());
    EXPECT_EQ(row.Total(), 12);
    EXPECT_EQ(row.GetAsString(), QStringLiteral("[SHEET2]A1-A10;[:3]B2;C1;"));
    // Without a workbook there are no values.
    EXPECT_EQ(row.GetCellValue(1), QString());
}

struct ErrorCase
{
    const char *name;
    const char16_t *text;
    const char16_t *message;
};

class MapErrorTest : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(MapErrorTest, FailsWithItsMessage)
{
    EXPECT_EQ(parseError(QString::fromUtf16(GetParam().text)), QString::fromUtf16(GetParam().message));
    // Checking alone fails the same way.
    EXPECT_THROW(ParseMapString(QString::fromUtf16(GetParam().text), nullptr), Exception);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, MapErrorTest,
    ::testing::Values(
        ErrorCase{"NeitherColumnNorRow", u"a1-b10", u"Range A1-B10 is fail. It must be COL or ROW"},
        ErrorCase{"NothingAfterHyphen", u"A1-", u"Letter expected but end of range found (position 4)"},
        ErrorCase{"DigitAfterHyphen", u"A1-5", u"Letter expected but 5 found (position 4)"},
        ErrorCase{"RowKeywordAfterColumn", u"A-ROWFINISH", u"Expect COLSTART or COLFINISH but ROWFINISH found"},
        ErrorCase{"CellAfterColumn", u"A-B5", u"Expect COLSTART or COLFINISH but B found"},
        ErrorCase{"ColumnKeywordAfterRow", u"1-COLSTART", u"Expect ROWSTART or ROWFINISH but COLSTART found"},
        ErrorCase{"WrongKeywordAfterCell", u"A1-COLEND", u"Expect COLSTART, COLFINISH, ROWSTART or ROWFINISH but COLEND found"},
        ErrorCase{"WrongKeywordFirst", u"B2;START-A1", u"Expect COLSTART, COLFINISH, ROWSTART or ROWFINISH but START found"},
        ErrorCase{"ColumnPastIVBeforeHyphen", u"IW-COLFINISH", u"Expect COLSTART, COLFINISH, ROWSTART or ROWFINISH but IW found"},
        ErrorCase{"EmptyText", u"  ", u"Unexpected end of range"},
        ErrorCase{"EmptyRange", u"A1;;B2", u"Unexpected end of range"},
        ErrorCase{"UnclosedSheet", u"[Data", u"Unexpected end of range"},
        ErrorCase{"UnknownSymbol", u"A1+B2", u"The + symbol at position 3 is unknown"},
        ErrorCase{"SpaceInsideARange", u"A1 -A2", u"The   symbol at position 3 is unknown"},
        ErrorCase{"UnknownAfterHyphen", u"A1-?", u"The ? symbol at position 4 is unknown"},
        ErrorCase{"ClosingBracketAfterCell", u"A1]", u"The symbol ] at position 3 is unexpected"},
        ErrorCase{"ColumnAlone", u"B2;A", u"The symbol ; at position 5 is unexpected"},
        ErrorCase{"RowAlone", u"7", u"The symbol ; at position 2 is unexpected"},
        ErrorCase{"LetterAfterRow", u"A1B", u"The symbol B at position 3 is unexpected"},
        ErrorCase{"ColumnAfterKeyword", u"COLSTART-A", u"The symbol ; at position 11 is unexpected"},
        ErrorCase{"TwoSheetPrefixes", u"[A][B]C1", u"The symbol [ at position 4 is unexpected"},
        ErrorCase{"EmptySheetName", u"[]A1", u"The symbol ] at position 2 is unexpected"},
        ErrorCase{"EmptySheetNumber", u"[:]A1", u"The symbol ] at position 3 is unexpected"},
        ErrorCase{"LetterInSheetNumber", u"[:x]A1", u"The symbol X at position 3 is unexpected"},
        ErrorCase{"IllegalSheetChar", u"[Sh*1]A1", u"Illegal char * in sheet name at position 4"},
        ErrorCase{"ColonInsideSheetName", u"[a:b]A1", u"Illegal char : in sheet name at position 3"},
        ErrorCase{"RowZero", u"A0", u"Row 0 is out of range [1..65536]"},
        ErrorCase{"RowPastTheSheet", u"A1-A65537", u"Row 65537 is out of range [1..65536]"},
        ErrorCase{"ColumnPastIV", u"IW1", u"Column 257 is out of range [A..IV]"},
        ErrorCase{"KeywordAsColumn", u"COLFINISH5", u"Column 750740989370 is out of range [A..IV]"},
        ErrorCase{"OverlongRow", u"A1234567890", u"So long row definition"},
        ErrorCase{"OverlongWord", u"ABCDEFGHIJKLM1", u"So long col definition"},
        ErrorCase{"OverlongSheetNumber", u"[:1234567890]A1", u"So long sheet definition"}),
    [](const ::testing::TestParamInfo<ErrorCase> &info) { return std::string(info.param.name); });

TEST(MapParserTest, RangesBeforeAFaultStayInTheRow)
{
    TMapRow row;
    EXPECT_THROW(ParseMapString(QStringLiteral("A1;B2-B3;C1-D2;E1"), &row), Exception);
    ASSERT_EQ(row.Count(), 2);
    EXPECT_EQ(row.GetAsString(), QStringLiteral("A1;B2-B3;"));
    // SetAsString starts afresh; an empty text leaves an empty row.
    row.SetAsString(QString());
    EXPECT_EQ(row.Count(), 0);
}

TEST(MapParserTest, FieldParsers)
{
    EXPECT_EQ(ParseColString(QStringLiteral(" iv ")), 256);
    EXPECT_EQ(ParseRowString(QStringLiteral("65536")), 65536);
    const TMapCell cell = ParseCellString(QStringLiteral("ab12"));
    EXPECT_EQ(cell.Col, 28);
    EXPECT_EQ(cell.Row, 12);
    EXPECT_EQ(ParseSheetNumber(QStringLiteral("3;")), 3);
    EXPECT_EQ(ParseSheetName(QStringLiteral(" Größe ")), QStringLiteral("GRÖßE"));

    auto error = [](auto parse, const QString &text) {
        try {
            parse(text);
        } catch (const Exception &e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    };
    const auto col = [](const QString &t) { return ParseColString(t); };
    const auto row = [](const QString &t) { return ParseRowString(t); };
    const auto cellOf = [](const QString &t) { return ParseCellString(t).Col; };
    const auto number = [](const QString &t) { return ParseSheetNumber(t); };
    const auto name = [](const QString &t) { return ParseSheetName(t).size(); };
    EXPECT_EQ(error(col, QString()), QStringLiteral("Col is empty"));
    EXPECT_EQ(error(col, QStringLiteral("A1")), QStringLiteral("Letter expected but 1 found (position 2)"));
    EXPECT_EQ(error(col, QStringLiteral("A%")), QStringLiteral("The % symbol at position 2 is unknown"));
    EXPECT_EQ(error(col, QStringLiteral("ABCD")), QStringLiteral("So long col definition"));
    EXPECT_EQ(error(col, QStringLiteral("IW")), QStringLiteral("Column 257 is out of range [A..IV]"));
    EXPECT_EQ(error(row, QStringLiteral(";")), QStringLiteral("Row is empty"));
    EXPECT_EQ(error(row, QStringLiteral("1x")), QStringLiteral("Number expected but X found (position 2)"));
    EXPECT_EQ(error(row, QStringLiteral("1234567890")), QStringLiteral("So long row definition"));
    EXPECT_EQ(error(row, QStringLiteral("0")), QStringLiteral("Row 0 is out of range [1..65536]"));
    EXPECT_EQ(error(cellOf, QStringLiteral("  ")), QStringLiteral("Cell is empty"));
    EXPECT_EQ(error(cellOf, QStringLiteral("A")), QStringLiteral("Number expected but end of range found (position 2)"));
    EXPECT_EQ(error(cellOf, QStringLiteral("A-1")), QStringLiteral("Number expected but - found (position 2)"));
    EXPECT_EQ(error(cellOf, QStringLiteral("1A")), QStringLiteral("The symbol 1 at position 1 is unexpected"));
    EXPECT_EQ(error(cellOf, QStringLiteral("A1B")), QStringLiteral("The symbol B at position 3 is unexpected"));
    EXPECT_EQ(error(cellOf, QStringLiteral("A 1")), QStringLiteral("The   symbol at position 2 is unknown"));
    EXPECT_EQ(error(cellOf, QStringLiteral("ABCD1")), QStringLiteral("So long cell definition"));
    EXPECT_EQ(error(number, QString()), QStringLiteral("Sheet is empty"));
    EXPECT_EQ(error(number, QStringLiteral("2b")), QStringLiteral("Number expected but B found (position 2)"));
    EXPECT_EQ(error(number, QStringLiteral("1234567890")), QStringLiteral("So long sheet definition"));
    EXPECT_EQ(error(name, QStringLiteral(";")), QStringLiteral("Sheet is empty"));
    EXPECT_EQ(error(name, QStringLiteral("a/b")), QStringLiteral("Illegal char / in sheet name at position 2"));
    EXPECT_EQ(error(name, QString(256, u'x')), QStringLiteral("So long sheet definition"));
}

TEST(MapParserTest, SkippedRowsAndColumnsCutRanges)
{
    TMapRowList list;
    list.SetSkipFirstRows(1);
    TMapRow row(&list);
    auto count = [&row](const char *text) {
        row.SetAsString(QString::fromLatin1(text));
        return row.Total();
    };
    EXPECT_EQ(count("A1-A10"), 9);
    EXPECT_EQ(count("A10-A1"), 9);
    EXPECT_EQ(count("A5-A10"), 6);
    EXPECT_EQ(count("B1"), 0);
    EXPECT_EQ(count("B2"), 1);
    EXPECT_EQ(count("A1-E1"), 0);
    EXPECT_EQ(count("A2-E2"), 5);
    list.SetSkipFirstRows(0);
    list.SetSkipFirstCols(2);
    EXPECT_EQ(count("A1-E1"), 3);
    EXPECT_EQ(count("B1-B9"), 0);
    EXPECT_EQ(count("C1-C9"), 9);
    EXPECT_EQ(count("B3"), 0);
    EXPECT_EQ(count("A1-A3;B1"), 0);
    list.SetSkipFirstCols(0);
    EXPECT_EQ(count("A1-A3;B1"), 4);
}

TEST(MapParserTest, ShortestAndLongestRows)
{
    TMapRowList list;
    EXPECT_EQ(list.MinIndex(), -1);
    for (const char *text : {"A1-A3", "B1-B5", "C1-C3", "D1-D5"}) {
        auto row = std::make_unique<TMapRow>(&list);
        row->SetAsString(QString::fromLatin1(text));
        list.Add(std::move(row));
    }
    list.Update();
    EXPECT_EQ(list.MinIndex(), 0);
    EXPECT_EQ(list.MaxIndex(), 1);
}

TEST(MapParserTest, AssignAndDirection)
{
    TMapRange range;
    range.Col1 = range.Col2 = 2;
    range.Row1 = 9;
    range.Row2 = 3;
    range.SheetIDType = sitNumber;
    range.SheetNumber = 2;
    TMapRange copy;
    copy.Assign(range);
    EXPECT_EQ(copy.RangeType(), rtCol);
    EXPECT_EQ(copy.Count(), 7);
    copy.UpdateDirection();
    EXPECT_EQ(copy.Direction, rdUp);
    EXPECT_EQ(copy.GetAsString(), QStringLiteral("[:2]B9-B3;"));
    // An open range keeps the direction it was given.
    copy.Row2 = 0;
    copy.Direction = rdDown;
    copy.Update();
    copy.UpdateDirection();
    EXPECT_EQ(copy.Direction, rdDown);
    TMapRange empty;
    empty.Update();
    EXPECT_EQ(empty.RangeType(), rtUnknown);
    EXPECT_EQ(empty.GetAsString(), QString());
}

TEST(MapParserTest, CellTests)
{
    TMapRow row;
    row.SetAsString(QStringLiteral("A5-COLFINISH;COLFINISH-B5;3-ROWSTART;[Data]D1;[:2]E1-E3"));
    auto in = [&row](int r, int c, const QString &sheet = QString(), int number = 1) {
        return CellInRow(row, sheet, number, r, c);
    };
    EXPECT_TRUE(in(5, 1));
    EXPECT_TRUE(in(60000, 1));
    EXPECT_FALSE(in(4, 1));
    // From the last row up to B5: B5 and every row below it.
    EXPECT_TRUE(in(9, 2));
    EXPECT_FALSE(in(4, 2));
    EXPECT_TRUE(in(3, 200));
    EXPECT_FALSE(in(4, 200));
    EXPECT_TRUE(in(1, 4, QStringLiteral("data")));
    EXPECT_FALSE(in(1, 4, QStringLiteral("Other")));
    EXPECT_TRUE(in(2, 5, QString(), 2));
    EXPECT_FALSE(in(2, 5, QString(), 1));

    TMapRow block;
    block.SetAsString(QStringLiteral("A1-A3;B2"));
    const TCellNeighbours n = GetCellNeighbours(block, QString(), 1, 2, 1);
    EXPECT_FALSE(n.Contains(cnLeft));
    EXPECT_TRUE(n.Contains(cnRight));
    EXPECT_TRUE(n.Contains(cnTop));
    EXPECT_TRUE(n.Contains(cnBottom));
    const TCellNeighbours corner = GetCellNeighbours(block, QString(), 1, 1, 2);
    EXPECT_TRUE(corner.Contains(cnLeft));
    EXPECT_TRUE(corner.Contains(cnBottom));
    EXPECT_FALSE(corner.Contains(cnTop));
    EXPECT_FALSE(corner.Contains(cnRight));
}

struct EditCase
{
    const char *name;
    const char16_t *text;
    int sheetNumber;
    int row, col;
    const char16_t *result;
};

class RemoveCellTest : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(RemoveCellTest, LeavesTheOtherCells)
{
    const EditCase &c = GetParam();
    TMapRow row;
    row.SetAsString(QString::fromUtf16(c.text));
    RemoveCellFromRow(row, QString(), c.sheetNumber, c.row, c.col);
    EXPECT_EQ(row.GetAsString(), QString::fromUtf16(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveCellTest,
    ::testing::Values(EditCase{"Inside", u"A1-A10", 1, 5, 1, u"A1-A4;A6-A10;"},
                      EditCase{"Start", u"A1-A10", 1, 1, 1, u"A2-A10;"},
                      EditCase{"Finish", u"A1-A10", 1, 10, 1, u"A1-A9;"},
                      EditCase{"InsideUpwards", u"A10-A1", 1, 5, 1, u"A10-A6;A4-A1;"},
                      EditCase{"StartUpwards", u"A10-A1", 1, 10, 1, u"A9-A1;"},
                      EditCase{"InsideRow", u"A1-E1", 1, 1, 3, u"A1-B1;D1-E1;"},
                      EditCase{"SecondOfThree", u"B1-B3", 1, 2, 2, u"B1;B3;"},
                      EditCase{"OnlyCell", u"B3", 1, 3, 2, u""},
                      EditCase{"OpenColumn", u"A-COLFINISH", 1, 5, 1, u"COLSTART-A4;A6-COLFINISH;"},
                      EditCase{"OpenColumnUpwards", u"A-COLSTART", 1, 5, 1, u"COLFINISH-A6;A4-COLSTART;"},
                      EditCase{"OtherRangesStay", u"C1;A1-A3;D4", 1, 2, 1, u"C1;A1;A3;D4;"},
                      EditCase{"CellElsewhere", u"A1-A3", 1, 2, 2, u"A1-A3;"},
                      EditCase{"OtherSheet", u"[:2]A1-A3", 1, 2, 1, u"[:2]A1-A3;"},
                      EditCase{"SameSheet", u"[:2]A1-A3", 2, 2, 1, u"[:2]A1;[:2]A3;"}),
    [](const ::testing::TestParamInfo<EditCase> &info) { return std::string(info.param.name); });

struct OptimizeCase
{
    const char *name;
    const char16_t *text;
    const char16_t *result;
};

class OptimizeTest : public ::testing::TestWithParam<OptimizeCase>
{
};

TEST_P(OptimizeTest, MergesNeighbours)
{
    TMapRow row;
    row.SetAsString(QString::fromUtf16(GetParam().text));
    const int total = row.Total();
    row.Optimize();
    EXPECT_EQ(row.GetAsString(), QString::fromUtf16(GetParam().result));
    // Merging never gains or loses a cell (open ends count only once they
    // are resolved against a workbook).
    if (!QString::fromUtf16(GetParam().text).contains(QStringLiteral("FINISH"))) {
        EXPECT_EQ(row.Total(), total);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptimizeTest,
    ::testing::Values(OptimizeCase{"TwoCellsInAColumn", u"B2;B3", u"B2-B3;"},
                      OptimizeCase{"TwoCellsUpwards", u"B3;B2", u"B3-B2;"},
                      OptimizeCase{"TwoCellsInARow", u"B2;C2", u"B2-C2;"},
                      OptimizeCase{"CellBeforeItsContinuation", u"A5;A6-A10", u"A5-A10;"},
                      OptimizeCase{"CellAfterTheRangeAfterIt", u"A5;A1-A4", u"A1-A5;"},
                      OptimizeCase{"CellBeforeARow", u"A1;B1-E1", u"A1-E1;"},
                      OptimizeCase{"ColumnThenColumn", u"A1-A4;A5-A9", u"A1-A9;"},
                      OptimizeCase{"ColumnThenOpenEnd", u"A1-A4;A5-COLFINISH", u"A1-COLFINISH;"},
                      OptimizeCase{"UpwardsColumns", u"A10-A6;A5-A1", u"A10-A1;"},
                      OptimizeCase{"RowThenCell", u"A1-E1;F1", u"A1-F1;"},
                      OptimizeCase{"Chain", u"B2;B3;B4;B5", u"B2-B5;"},
                      OptimizeCase{"Gap", u"A1-A4;A6", u"A1-A4;A6;"},
                      OptimizeCase{"OppositeDirections", u"A1-A4;A6-A5", u"A1-A4;A6-A5;"},
                      OptimizeCase{"OtherColumn", u"A1-A4;B5", u"A1-A4;B5;"},
                      OptimizeCase{"OtherSheetNames", u"[X]B2;[Y]B3", u"[X]B2;[Y]B3;"},
                      OptimizeCase{"SheetNameAndNumber", u"[:1]B2;B3", u"[:1]B2;B3;"},
                      OptimizeCase{"SameSheet", u"[X]B2;[x]B3", u"[X]B2-B3;"},
                      OptimizeCase{"OpenFinishIsNotContinued", u"A-COLFINISH;A1", u"A-COLFINISH;A1;"}),
    [](const ::testing::TestParamInfo<OptimizeCase> &info) { return std::string(info.param.name); });

} // namespace
