#pragma once

// Range maps: the small language in which a spreadsheet map line names the
// cells that feed one destination column, for example
// "[Sheet2]A1-A10;[:3]B2;" (column A rows 1 to 10 of the sheet named Sheet2,
// then cell B2 of the third worksheet). A text parses into a TMapRow of
// TMapRange objects; open ends ("A-COLFINISH") are resolved against a loaded
// workbook. Rows and columns are 1-based here, 0-based in the workbook.

#include <QString>

#include <memory>
#include <vector>

class TxlsFile;
class TxlsWorkSheet;
class TMapRow;
class TMapRowList;

enum TRangeType { rtCol, rtRow, rtCell, rtUnknown };
// rdDown runs down a column or rightwards along a row; rdUp the other way.
enum TRangeDirection { rdDown, rdUp, rdUnknown };
// sitUnknown: no sheet given, the first worksheet is read.
enum TSheetIDType { sitUnknown, sitName, sitNumber };
enum TCellNeighbour { cnLeft, cnRight, cnTop, cnBottom };

class TCellNeighbours
{
public:
    constexpr bool Contains(TCellNeighbour n) const { return m_bits & bit(n); }
    constexpr void Include(TCellNeighbour n) { m_bits |= bit(n); }
    constexpr bool IsFull() const { return m_bits == 0xF; }
    constexpr bool operator==(const TCellNeighbours &) const = default;

private:
    static constexpr unsigned bit(TCellNeighbour n) { return 1u << unsigned(n); }
    unsigned m_bits = 0;
};

// One range: a cell, a piece of one column or a piece of one row. A bound of
// 0 is open: for a column range Row1 = 0 means "from where the data starts"
// and Row2 = 0 "to where the data finishes"; Col1 and Col2 likewise for a row.
class TMapRange
{
public:
    explicit TMapRange(TMapRow *row = nullptr) : m_row(row) {}

    TMapRow *Row() const { return m_row; }
    void SetRow(TMapRow *row) { m_row = row; }
    // The workbook of the row (null without a row).
    TxlsFile *File() const;

    TRangeDirection Direction = rdUnknown;
    TSheetIDType SheetIDType = sitUnknown;
    int SheetNumber = 0; // 1-based
    QString SheetName;
    int Row1 = 0;
    int Col1 = 0;
    int Row2 = 0;
    int Col2 = 0;

    // Derived by Update.
    TRangeType RangeType() const { return m_rangeType; }
    int Count() const { return m_count; }

    // Derives the type from the bounds and the number of cells from the
    // bounds and the row list's skipped leading rows and columns.
    void Update();
    // Resolves open bounds against the workbook (loading it when needed),
    // then updates.
    void Arrange();
    // Copies bounds, direction and sheet, then updates.
    void Assign(const TMapRange &other);
    // A closed column or row range runs the way its bounds go.
    void UpdateDirection();
    // The range as map text, ended by a semicolon; empty for an unknown range.
    QString GetAsString() const;
    bool GetHasSheet() const { return !SheetName.isEmpty() || SheetNumber > 0; }
    int GetSkipFirstRows() const;
    int GetSkipFirstCols() const;

    // The worksheet this range reads: the first one unless a sheet is given.
    // Raises when the workbook has no such sheet.
    TxlsWorkSheet *Sheet() const;

private:
    TMapRow *m_row;
    TRangeType m_rangeType = rtUnknown;
    int m_count = 0;
};

// The ranges that feed one destination column, in map order.
class TMapRow
{
public:
    // A row of a list takes the list's workbook; a row of its own can be
    // given one.
    explicit TMapRow(TMapRowList *list = nullptr);
    explicit TMapRow(TxlsFile *file) : m_file(file) {}
    TMapRow(const TMapRow &) = delete;
    TMapRow &operator=(const TMapRow &) = delete;

    TMapRowList *List() const { return m_list; }
    TxlsFile *File() const { return m_file; }
    void SetFile(TxlsFile *file) { m_file = file; }

    int Count() const { return int(m_ranges.size()); }
    TMapRange *Items(int i) const { return m_ranges[size_t(i)].get(); }
    // Appends the range and resolves it against the workbook; a range that
    // fails to resolve is dropped and the error goes on to the caller.
    void Add(std::unique_ptr<TMapRange> range);
    void Delete(int i);
    void Clear() { m_ranges.clear(); m_total = 0; }

    // The sum of the ranges' cell counts, as of the last Update.
    int Total() const { return m_total; }
    void Update();
    // The text of the n-th cell (1-based) the ranges yield; empty past the
    // end, without a workbook, or where there is no cell.
    QString GetCellValue(int n) const;
    // Merges neighbouring ranges into one where they continue each other.
    void Optimize();

    // Empties the row and parses text into it.
    void SetAsString(const QString &text);
    QString GetAsString() const;

    int GetSkipFirstRows() const;
    int GetSkipFirstCols() const;

private:
    TMapRowList *m_list = nullptr;
    TxlsFile *m_file = nullptr;
    std::vector<std::unique_ptr<TMapRange>> m_ranges;
    int m_total = 0;
};

// The map rows of one import, in map order.
class TMapRowList
{
public:
    explicit TMapRowList(TxlsFile *file = nullptr) : m_file(file) {}
    TMapRowList(const TMapRowList &) = delete;
    TMapRowList &operator=(const TMapRowList &) = delete;

    TxlsFile *File() const { return m_file; }
    int SkipFirstRows() const { return m_skipFirstRows; }
    void SetSkipFirstRows(int value) { m_skipFirstRows = value; }
    int SkipFirstCols() const { return m_skipFirstCols; }
    void SetSkipFirstCols(int value) { m_skipFirstCols = value; }

    int Count() const { return int(m_rows.size()); }
    TMapRow *Items(int i) const { return m_rows[size_t(i)].get(); }
    void Add(std::unique_ptr<TMapRow> row) { m_rows.push_back(std::move(row)); }
    void Clear();

    // Positions of the first row with the smallest and of the first with the
    // largest Total; -1 until Update.
    int MinIndex() const { return m_minIndex; }
    int MaxIndex() const { return m_maxIndex; }
    void Update();

private:
    TxlsFile *m_file;
    int m_skipFirstRows = 0;
    int m_skipFirstCols = 0;
    std::vector<std::unique_ptr<TMapRow>> m_rows;
    int m_minIndex = -1;
    int m_maxIndex = -1;
};

// Parses a map text, appending one range per range of the text to row (each
// resolved as it is added). Without a row the text is only checked. Raises
// Exception with the position (1-based, in the trimmed, upper-cased text)
// on the first fault; ranges added before it stay in the row.
bool ParseMapString(const QString &text, TMapRow *row);

// Single fields of a range, as the range editor takes them.
int ParseColString(const QString &text);
int ParseRowString(const QString &text);
struct TMapCell
{
    int Col = 0;
    int Row = 0;
};
TMapCell ParseCellString(const QString &text);
int ParseSheetNumber(const QString &text);
QString ParseSheetName(const QString &text);

// Cell tests and edits for building maps by clicking cells; rows and columns
// are 1-based.
bool CellInRange(TMapRange &range, const QString &sheetName, int sheetNumber, int row, int col);
bool CellInRow(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col);
TCellNeighbours GetCellNeighbours(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col);
// Takes the cell out of the map row: a range that starts or ends at it is
// shortened, one that holds it inside is split in two, a cell range is dropped.
void RemoveCellFromRow(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col);
