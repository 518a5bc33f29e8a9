#pragma once

#include "xlscommon.h"
#include "xlsutils.h"
#include "sysutils.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class TByteReader;
class TbiffContinue;
class TxlsGlobals;
class TxlsSection;
class TxlsWorkbook;
class TxlsFile;
class TbiffXFList;
class TbiffFormatList;
class TbiffSSTList;

// ---------------------------------------------------------------- records

// One record of the workbook stream. Its data is a view into the workbook
// stream, which the workbook keeps for as long as it lives.
class TbiffRecord
{
public:
    TbiffRecord(TxlsSection *section, uint16_t id, QByteArrayView data);
    virtual ~TbiffRecord();
    TbiffRecord(const TbiffRecord &) = delete;
    TbiffRecord &operator=(const TbiffRecord &) = delete;

    TxlsSection *Section() const { return m_section; }
    uint16_t Id() const { return m_id; }
    uint16_t Size() const { return m_size; }
    QByteArrayView Data() const { return QByteArrayView(m_data, m_size); }
    TbiffContinue *Continue() const { return m_continue.get(); }
    void AddContinue(std::unique_ptr<TbiffContinue> next);

    TbiffXFList &GetXFList() const;
    TbiffFormatList &GetFormatList() const;
    TbiffSSTList &GetSSTList() const;

private:
    TxlsSection *m_section;
    const char *m_data;
    uint16_t m_id;
    uint16_t m_size;
    std::unique_ptr<TbiffContinue> m_continue;
};

// CONTINUE (0x003C): more data of the record before it.
class TbiffContinue : public TbiffRecord
{
public:
    using TbiffRecord::TbiffRecord;
};

// BOF (0x0809): start of a sub-stream.
class TbiffBOF : public TbiffRecord
{
public:
    TbiffBOF(TxlsSection *section, uint16_t id, QByteArrayView data);
    uint16_t GetBOFType() const { return m_type; }
    // Offset of the record's header in the workbook stream.
    qsizetype StreamPos = -1;

private:
    uint16_t m_type;
};

// EOF (0x000A): end of the current section.
class TbiffEOF : public TbiffRecord
{
public:
    using TbiffRecord::TbiffRecord;
};

// NAME (0x0018): a defined name.
class TbiffName : public TbiffRecord
{
public:
    TbiffName(TxlsSection *section, uint16_t id, QByteArrayView data);
    int GetNameLength() const;
    int GetOptionFlags() const;
    QString GetName() const;
    qsizetype GetNameSize() const;
    int GetRow1() const { return Area(3); }
    int GetRow2() const { return Area(5); }
    int GetCol1() const { return Area(7); }
    int GetCol2() const { return Area(9); }

private:
    int Area(qsizetype past) const;
};

// BOUNDSHEET (0x0085): sheet name, options and stream position.
class TbiffBoundSheet : public TbiffRecord
{
public:
    TbiffBoundSheet(TxlsSection *section, uint16_t id, QByteArrayView data);
    int GetOptionFlags() const;
    QString GetName() const { return m_name; }
    // Stream offset of the sheet's BOF record.
    uint32_t GetStreamPos() const;

private:
    QString m_name;
};

// STRING (0x0207): the text result of the formula before it.
class TbiffString : public TbiffRecord
{
public:
    using TbiffRecord::TbiffRecord;
    QString GetValue() const;
};

// SHRFMLA (0x04BC): a formula shared by a range of cells.
class TbiffShrFmla : public TbiffRecord
{
public:
    TbiffShrFmla(TxlsSection *section, uint16_t id, QByteArrayView data);
    int GetFirstRow() const;
    int GetLastRow() const;
    int GetFirstCol() const;
    int GetLastCol() const;
    uint32_t GetKey() const;
};

// XF (0x00E0): an extended format; only its number format matters here.
class TbiffXF : public TbiffRecord
{
public:
    TbiffXF(TxlsSection *section, uint16_t id, QByteArrayView data);
    int FormatIndex() const { return m_formatIndex; }

private:
    int m_formatIndex;
};

// FORMAT (0x041E): a number format text and its index.
class TbiffFormat : public TbiffRecord
{
public:
    TbiffFormat(TxlsSection *section, uint16_t id, QByteArrayView data);
    int FormatIndex() const { return m_formatIndex; }
    QString FormatText() const { return m_text; }

private:
    int m_formatIndex;
    QString m_text;
};

// SST (0x00FC): the shared-string table, unpacked into the globals.
class TbiffSST : public TbiffRecord
{
public:
    using TbiffRecord::TbiffRecord;
    uint32_t GetCount() const;
};

// A record that starts with a row and a column word.
class TbiffColRow : public TbiffRecord
{
public:
    TbiffColRow(TxlsSection *section, uint16_t id, QByteArrayView data);
    // A record with no bytes of its own, made from a run record.
    TbiffColRow(TxlsSection *section, uint16_t id, int row, int col);
    int GetRow() const { return m_row; }
    int GetCol() const { return m_col; }
    void SetRow(int row) { m_row = uint16_t(row); }
    void SetCol(int col) { m_col = uint16_t(col); }

private:
    uint16_t m_row;
    uint16_t m_col;
};

// A cell: row, column and XF index, and the typed access of its value.
// The XF index and the value are the record's own bytes in the workbook
// stream (read there and written back by the setters), so any number of
// objects made for one cell agree on its value.
class TbiffCell : public TbiffColRow
{
public:
    TbiffCell(TxlsSection *section, uint16_t id, QByteArrayView data);
    // A cell made from values: its fields live in the object.
    TbiffCell(TxlsSection *section, uint16_t id, int row, int col, int xf);
    // A cell of a MULRK or MULBLANK run: fields is its entry in the run
    // record (the XF index, then the value).
    TbiffCell(TxlsSection *section, uint16_t id, int row, int col, char *fields);

    virtual TbiffCellType GetCellType() const { return bctUnknown; }
    virtual bool GetIsFormula() const { return false; }
    virtual QString GetAsString() const { return QString(); }
    virtual void SetAsString(const QString &value);
    virtual bool GetAsBoolean() const;
    virtual void SetAsBoolean(bool value);
    virtual double GetAsFloat() const;
    virtual void SetAsFloat(double value);
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsDateTime(TDateTime value);
    virtual QVariant GetAsVariant() const { return QVariant(); }
    virtual void SetAsVariant(const QVariant &value);

    int GetXFIndex() const;
    void SetXFIndex(int xf);
    int GetFormatIndex() const;
    QString GetCellName() const;

    bool GetIsString() const { return GetCellType() == bctString; }
    bool GetIsBoolean() const { return GetCellType() == bctBoolean; }
    bool GetIsFloat() const { return GetCellType() == bctNumeric; }
    bool GetIsDateTime() const { return GetCellType() == bctDateTime; }
    bool GetIsVariant() const { return GetCellType() == bctUnknown; }
    bool GetIsDateOnly() const;
    bool GetIsTimeOnly() const;

protected:
    [[noreturn]] void AccessError(const char *type) const;
    // The date test of number cells: a built-in date format, or a format
    // text with a date or time letter.
    bool HasDateFormat() const;
    // The workbook's date-time value of a number: shifted from the 1904
    // date system when the workbook uses it.
    TDateTime ToDateTime(double number) const;
    // The text of a number: the date and/or time for a date-time cell,
    // otherwise the general float text.
    QString NumberText(double number, bool isDate) const;
    // The value bytes that follow the XF index.
    char *Value() const { return m_fields + 2; }

private:
    char *m_fields;
    // XF index and value of a cell made from values.
    char m_own[10] = {};
};

// BLANK (0x0201): an empty cell that carries only a format.
class TbiffBlank : public TbiffCell
{
public:
    TbiffBlank(TxlsSection *section, uint16_t id, QByteArrayView data);
    TbiffBlank(TxlsSection *section, int row, int col, int xf);
    TbiffBlank(TxlsSection *section, int row, int col, char *fields);
};

// NUMBER (0x0203): an IEEE double.
class TbiffNumber : public TbiffCell
{
public:
    TbiffNumber(TxlsSection *section, uint16_t id, QByteArrayView data);
    TbiffCellType GetCellType() const override;
    QString GetAsString() const override;
    void SetAsString(const QString &value) override;
    double GetAsFloat() const override;
    void SetAsFloat(double value) override;
    TDateTime GetAsDateTime() const override;
    QVariant GetAsVariant() const override { return GetAsFloat(); }
    void SetAsVariant(const QVariant &value) override;
};

// RK (0x027E), and each entry of a MULRK: a compressed number.
class TbiffRK : public TbiffCell
{
public:
    TbiffRK(TxlsSection *section, uint16_t id, QByteArrayView data);
    // An RK cell built from one entry of a MULRK record.
    TbiffRK(TxlsSection *section, int row, int col, int xf, uint32_t rk);
    TbiffRK(TxlsSection *section, int row, int col, char *fields);
    TbiffCellType GetCellType() const override;
    QString GetAsString() const override;
    void SetAsString(const QString &value) override;
    double GetAsFloat() const override;
    void SetAsFloat(double value) override;
    TDateTime GetAsDateTime() const override;
    void SetAsDateTime(TDateTime value) override { SetAsFloat(value); }
    QVariant GetAsVariant() const override;
};

// BOOLERR (0x0205): a boolean or an error code.
class TbiffBoolErr : public TbiffCell
{
public:
    TbiffBoolErr(TxlsSection *section, uint16_t id, QByteArrayView data);
    TbiffCellType GetCellType() const override { return bctBoolean; }
    bool GetAsBoolean() const override { return Value()[0] != 0; }
    void SetAsBoolean(bool value) override;
    QVariant GetAsVariant() const override;
    void SetAsVariant(const QVariant &value) override;
    bool GetIsError() const { return Value()[1] != 0; }
};

class TxlsSSTEntry;

// LABELSST (0x00FD): a string of the shared-string table.
class TbiffLabelSST : public TbiffCell
{
public:
    TbiffLabelSST(TxlsSection *section, uint16_t id, QByteArrayView data);
    TbiffCellType GetCellType() const override { return bctString; }
    QString GetAsString() const override;
    void SetAsString(const QString &value) override;
    QVariant GetAsVariant() const override { return GetAsString(); }
    void SetAsVariant(const QVariant &value) override { SetAsString(value.toString()); }
    // The shared string the cell shows.
    TxlsSSTEntry *Entry() const;
};

// FORMULA (0x0006): the cached result and the formula's token bytes.
class TbiffFormula : public TbiffCell
{
public:
    TbiffFormula(TxlsSection *section, uint16_t id, QByteArrayView data);
    bool GetIsFormula() const override { return true; }
    QString GetAsString() const override;
    void SetAsString(const QString &value) override { m_value = value; }
    QVariant GetAsVariant() const override { return m_value; }
    void SetAsVariant(const QVariant &value) override { m_value = value; }
    // The token bytes, for the calculator.
    QByteArrayView Tokens() const { return m_tokens; }
    // A formula with a string result waits for the STRING record after it.
    bool WantsString() const { return m_wantsString; }
    void SetStringResult(const QString &text);

private:
    QVariant m_value;
    QByteArrayView m_tokens;
    bool m_wantsString = false;
};

// A record that holds a run of cells of one row.
class TbiffMultiple : public TbiffColRow
{
public:
    using TbiffColRow::TbiffColRow;
    virtual bool GetEOF() const = 0;
    virtual std::unique_ptr<TbiffCell> GetCell() = 0;
    // Passes over the next cell without building it.
    void Advance() { ++m_index; }

protected:
    int m_index = 0;
};

// MULRK (0x00BD): row, first column, then XF index and RK value per column.
class TbiffMulRK : public TbiffMultiple
{
public:
    using TbiffMultiple::TbiffMultiple;
    bool GetEOF() const override;
    std::unique_ptr<TbiffCell> GetCell() override;
};

// MULBLANK (0x00BE): row, first column, then an XF index per column.
class TbiffMulBlank : public TbiffMultiple
{
public:
    using TbiffMultiple::TbiffMultiple;
    bool GetEOF() const override;
    std::unique_ptr<TbiffCell> GetCell() override;
};

// ---------------------------------------------------------------- strings

// A BIFF8 unicode string as read from record data.
class TxlsString
{
public:
    TxlsString() = default;
    // Builds the string of a text; with a one-byte length a text of 256 or
    // more characters raises "Invalid String record".
    TxlsString(const QString &text, TxlsCharSize lenOfLen);

    TxlsCharSize GetLenOfLen() const { return m_lenOfLen; }
    QString GetValue() const;
    int Compare(const TxlsString &other) const;

    TxlsCharSize m_lenOfLen = 2;
    int m_length = 0;
    uint8_t m_options = 0;
    int m_runCount = 0;
    QByteArray m_runs;
    uint32_t m_farEastSize = 0;
    QByteArray m_farEast;
    QString m_value; // the characters, stored 8-bit (options bit 0 clear) or 16-bit
};

// Reads across a record and its CONTINUE records.
class TxlsRecordReader
{
public:
    explicit TxlsRecordReader(const TbiffRecord *record, qsizetype pos = 0);
    // Copies count bytes (dest may be null to skip them), moving on to the
    // CONTINUE record when the current one ends.
    void ReadMem(qsizetype count, char *dest);
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadInteger();
    // A whole string with a length field of lenOfLen bytes.
    TxlsString ReadString(TxlsCharSize lenOfLen);
    bool AtEnd() const;

private:
    void ReadStr(TxlsString &s);
    void NextRecord();

    const TbiffRecord *m_record;
    qsizetype m_pos;
};

// ---------------------------------------------------------------- globals lists

class TxlsSSTEntry
{
public:
    TxlsSSTEntry(TxlsString value, uint32_t id) : Value(std::move(value)), Id(id) {}
    int RefCount = 0;
    TxlsString Value;
    // The entry's number as LABELSST records hold it: its position in the
    // table as read, and for strings added later the order they came in.
    uint32_t Id;
};

class TbiffSSTList
{
public:
    int Count() const { return int(m_items.size()); }
    TxlsSSTEntry *Items(int i) const { return m_items[size_t(i)].get(); }
    // The entry a LABELSST record refers to; null past the table.
    TxlsSSTEntry *ById(uint32_t id) const { return id < m_byId.size() ? m_byId[id] : nullptr; }
    void Add(TxlsString s);
    void Sort();
    // Searches the sorted list; index is the match or the insert position.
    bool Find(const TxlsString &s, int &index) const;
    int AddString(const QString &text);
    void Clear();
    void Reserve(qsizetype n);

private:
    std::vector<std::unique_ptr<TxlsSSTEntry>> m_items;
    std::vector<TxlsSSTEntry *> m_byId;
};

class TbiffXFList
{
public:
    int Count() const { return int(m_items.size()); }
    TbiffXF *Items(int i) const { return m_items[size_t(i)].get(); }
    void Add(std::unique_ptr<TbiffXF> xf) { m_items.push_back(std::move(xf)); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TbiffXF>> m_items;
};

class TbiffFormatList
{
public:
    int Count() const { return int(m_items.size()); }
    TbiffFormat *Items(int i) const { return m_items[size_t(i)].get(); }
    void Add(std::unique_ptr<TbiffFormat> f);
    bool Find(int formatIndex, int &index);
    // The FORMAT text of that index, else the built-in one, else empty.
    QString GetFormat(int formatIndex);
    void Clear();

private:
    std::vector<std::unique_ptr<TbiffFormat>> m_items;
    bool m_sorted = true;
};

class TbiffBoundSheetList
{
public:
    int Count() const { return int(m_items.size()); }
    TbiffBoundSheet *Items(int i) const { return m_items[size_t(i)].get(); }
    void Add(std::unique_ptr<TbiffBoundSheet> b) { m_items.push_back(std::move(b)); }
    QString GetName(int i) const;
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TbiffBoundSheet>> m_items;
};

class TbiffNameList
{
public:
    int Count() const { return int(m_items.size()); }
    TbiffName *Items(int i) const { return m_items[size_t(i)].get(); }
    void Add(std::unique_ptr<TbiffName> n) { m_items.push_back(std::move(n)); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TbiffName>> m_items;
};

class TbiffShrFmlaList
{
public:
    int Count() const { return int(m_items.size()); }
    TbiffShrFmla *Items(int i) const { return m_items[size_t(i)].get(); }
    void Add(std::unique_ptr<TbiffShrFmla> f);
    bool Find(uint32_t key, int &index);

private:
    std::vector<std::unique_ptr<TbiffShrFmla>> m_items;
    bool m_sorted = true;
};

// ---------------------------------------------------------------- sections

class TxlsSection
{
public:
    explicit TxlsSection(TxlsWorkbook *workbook) : m_workbook(workbook) {}
    virtual ~TxlsSection();
    TxlsSection(const TxlsSection &) = delete;
    TxlsSection &operator=(const TxlsSection &) = delete;

    virtual void Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof) = 0;
    TxlsWorkbook *Workbook() const { return m_workbook; }
    TbiffBOF *BOF() const { return m_bof.get(); }
    TbiffEOF *EOFRecord() const { return m_eof.get(); }

protected:
    TxlsWorkbook *m_workbook;
    std::unique_ptr<TbiffBOF> m_bof;
    std::unique_ptr<TbiffEOF> m_eof;
};

class TxlsGlobals : public TxlsSection
{
public:
    using TxlsSection::TxlsSection;
    void Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof) override;
    void Clear();

    TbiffBoundSheetList &BoundSheets() { return m_boundSheets; }
    TbiffNameList &Names() { return m_names; }
    TbiffSSTList &SST() { return m_sst; }
    TbiffXFList &XFs() { return m_xfs; }
    TbiffFormatList &Formats() { return m_formats; }
    // DATEMODE (0x0022) holds 1: day 0 is 1 January 1904.
    bool Date1904() const { return m_date1904; }
    // Whether the number format of that XF is a date or time format.
    bool IsDateXF(int xf);

private:
    void LoadSST(const TbiffSST &sst);
    bool IsDateFormat(int formatIndex);

    TbiffBoundSheetList m_boundSheets;
    TbiffNameList m_names;
    TbiffSSTList m_sst;
    TbiffXFList m_xfs;
    TbiffFormatList m_formats;
    bool m_date1904 = false;
    // The date test per XF, made on first use for the lists as they are.
    std::vector<uint8_t> m_dateXFs;
    int m_dateXFsFormats = -1;
};

class TxlsSheet : public TxlsSection
{
public:
    using TxlsSection::TxlsSection;
    int Index() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    QString GetName() const;

private:
    int m_index = -1;
};

class TxlsWorkSheet;

// The cells of one row (or one column), found by column (or row). The
// cells are the sheet's; a list hands them out through the sheet.
class TxlsCellList
{
public:
    int Count() const { return int(m_count); }

protected:
    friend class TxlsWorkSheet;
    TxlsWorkSheet *m_sheet = nullptr;
    uint32_t m_count = 0;
};

// A row: its cells are one stretch of the sheet's cells, sorted by column.
class TxlsRow : public TxlsCellList
{
public:
    // The row number and the smallest and largest column, -1 while the row
    // is empty: read off its cells, which keeps a row small.
    int Number() const;
    int MinIndex() const;
    int MaxIndex() const;
    TbiffCell *Items(int i) const;
    bool Find(int col, int &index) const;

private:
    friend class TxlsWorkSheet;
    uint32_t m_first = 0;
};

// A column: which of the sheet's cells are its own is worked out on the
// first request for them.
class TxlsCol : public TxlsCellList
{
public:
    int Number() const { return m_number; }
    int MinIndex() const { return m_min; }
    int MaxIndex() const { return m_max; }
    TbiffCell *Items(int i) const;
    bool Find(int row, int &index) const;

private:
    friend class TxlsWorkSheet;
    void Index() const;
    int m_number = -1;
    int m_min = -1;
    int m_max = -1;
    mutable std::vector<uint32_t> m_cells;
};

class TxlsRowList
{
public:
    int Count() const { return int(m_items.size()); }
    TxlsRow &Items(int i) { return m_items[size_t(i)]; }
    void Clear() { m_items.clear(); }

private:
    friend class TxlsWorkSheet;
    std::vector<TxlsRow> m_items;
};

class TxlsColList
{
public:
    int Count() const { return int(m_items.size()); }
    TxlsCol &Items(int i) { return m_items[size_t(i)]; }
    void Clear() { m_items.clear(); }

private:
    friend class TxlsWorkSheet;
    std::vector<TxlsCol> m_items;
};

// A worksheet keeps its cells compactly: per cell where its record's data
// is in the workbook stream, and its column, sorted by row and column.
// Cell objects are made on request; a formula cell, and a cell added from
// outside, is a lasting object of the sheet.
class TxlsWorkSheet : public TxlsSheet
{
public:
    explicit TxlsWorkSheet(TxlsWorkbook *workbook);
    ~TxlsWorkSheet() override;
    void Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof) override;

    // Row 0..65535, column 0..255; null where there is no cell. A formula
    // cell stays; any other cell object stays valid for the next
    // kCellObjects cells handed out by this sheet, and all objects of one
    // cell show its current value.
    TbiffCell *GetCells(int row, int col);
    static constexpr int kCellObjects = 1024;
    int GetRowCount() const { return m_rows.Count(); }
    int GetColCount() const { return m_cols.Count(); }
    TxlsRowList &Rows() { return m_rows; }
    TxlsColList &Cols() { return m_cols; }
    void AddCell(std::unique_ptr<TbiffCell> cell);
    void Clear();

private:
    friend class TxlsRow;
    friend class TxlsCol;
    struct Views;

    void AddRef(uint32_t ref, uint16_t col);
    int RowOf(uint32_t index) const;
    void BuildIndex();
    // Makes the rows and columns of cells in row and column order; false,
    // with the index unfinished, when the cells are not in that order.
    bool IndexRowsAndCols();
    void SortCells();
    TbiffCell *CellAt(uint32_t index);

    // Per cell: the offset of its record's data in the workbook stream, or
    // kOwned plus its position among the owned cells; and its column.
    static constexpr uint32_t kOwned = 0x80000000u;
    std::vector<uint32_t> m_refs;
    std::vector<uint16_t> m_colOf;
    std::vector<std::unique_ptr<TbiffCell>> m_owned;
    std::unique_ptr<Views> m_views;
    TxlsRowList m_rows;
    TxlsColList m_cols;
    bool m_loading = false;
};

class TxlsWorkSheetList
{
public:
    int Count() const { return int(m_items.size()); }
    TxlsWorkSheet *Items(int i) const { return m_items[size_t(i)]; }
    void Add(TxlsWorkSheet *sheet) { m_items.push_back(sheet); }
    int IndexOfName(const QString &name) const;
    void Clear() { m_items.clear(); }

private:
    std::vector<TxlsWorkSheet *> m_items;
};

// Owns the sheets; the worksheet list refers to the same sheets.
class TxlsSheetList
{
public:
    int Count() const { return int(m_items.size()); }
    TxlsSheet *Items(int i) const { return m_items[size_t(i)].get(); }
    int Add(std::unique_ptr<TxlsSheet> sheet);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TxlsSheet>> m_items;
};

class TxlsWorkbook
{
public:
    explicit TxlsWorkbook(TxlsFile *file = nullptr);
    ~TxlsWorkbook();
    TxlsWorkbook(const TxlsWorkbook &) = delete;
    TxlsWorkbook &operator=(const TxlsWorkbook &) = delete;

    // Loads a whole BIFF8 workbook stream; the workbook keeps the bytes
    // (its own copy: cell setters write into them).
    void Load(QByteArray stream);
    // The workbook stream, which records and cells point into.
    char *StreamData() { return m_stream.data(); }
    void Clear();

    TxlsFile *File() const { return m_file; }
    TxlsGlobals &Globals() { return m_globals; }
    TxlsSheetList &Sheets() { return m_sheets; }
    TxlsWorkSheetList &WorkSheets() { return m_workSheets; }

private:
    void LoadSections(TByteReader &stream);

    TxlsFile *m_file;
    QByteArray m_stream;
    TxlsGlobals m_globals;
    TxlsSheetList m_sheets;
    TxlsWorkSheetList m_workSheets;
};

// A workbook file: a compound file whose "Workbook" stream holds BIFF8.
class TxlsFile
{
public:
    TxlsFile();
    explicit TxlsFile(const QString &fileName);
    ~TxlsFile();

    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &fileName) { m_fileName = fileName; }
    bool Loaded() const { return m_loaded; }
    TxlsWorkbook &Workbook() { return m_workbook; }

    // Opens the file, reads the workbook, closes the file.
    void Load();
    // The same from a device (a file or a buffer) that is open for reading;
    // the file name only appears in messages.
    void LoadFromDevice(QIODevice *device);
    void Clear();

    void Open();
    void OpenStream(QIODevice *device);
    void Close();

    // Computes a worksheet function the formula calculator does not know:
    // given the function's name and its arguments, it sets the result and
    // returns true, or returns false to leave the function unknown.
    std::function<bool(const QString &name, const QVariantList &args, QVariant &result)> FunctionHook;

private:
    QString m_fileName;
    std::unique_ptr<QIODevice> m_file;
    QByteArray m_stream;
    TxlsWorkbook m_workbook;
    bool m_loaded = false;
};
