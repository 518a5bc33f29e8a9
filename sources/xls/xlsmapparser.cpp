#include "xlsmapparser.h"

#include "exception.h"
#include "strutils.h"
#include "xlsfile.h"
#include "xlsutils.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxCol = 256;
constexpr int kMaxRow = 65536;
// Token caps. A word of the map language is column letters or a keyword
// (nine letters at most); twelve letters still convert to a column number
// in 64 bits, so an overlong column prints its number in the range message.
constexpr int kMaxWord = 12;
// A column field holds column letters only: three letters reach past IV, so
// the range message names the column.
constexpr int kMaxColLetters = 3;
// Row and sheet numbers: nine digits always fit an int.
constexpr int kMaxDigits = 9;
// BIFF8 stores a sheet name with a one-byte length.
constexpr int kMaxSheetName = 255;

const QString kColStart = QStringLiteral("COLSTART");
const QString kColFinish = QStringLiteral("COLFINISH");
const QString kRowStart = QStringLiteral("ROWSTART");
const QString kRowFinish = QStringLiteral("ROWFINISH");
// Characters a sheet name cannot hold.
const QString kSheetForbidden = QStringLiteral(":\\/?*[]");

enum class CharClass { Letter, Digit, Semicolon, Hyphen, OpenBracket, CloseBracket, Colon, Other };

CharClass classOf(QChar c)
{
    if (c >= u'A' && c <= u'Z')
        return CharClass::Letter;
    if (c >= u'0' && c <= u'9')
        return CharClass::Digit;
    switch (c.unicode()) {
    case u';': return CharClass::Semicolon;
    case u'-': return CharClass::Hyphen;
    case u'[': return CharClass::OpenBracket;
    case u']': return CharClass::CloseBracket;
    case u':': return CharClass::Colon;
    default: return CharClass::Other;
    }
}

// The text every parser works on: trimmed, upper-cased, ended by a semicolon.
// Each character is upper-cased on its own, so that positions stay those of
// the trimmed text and a name such as "Größe" keeps its length (the full
// mapping would make it "GRÖSSE", which no longer matches the sheet).
QString prepared(const QString &text)
{
    QString s = Trim(text);
    for (QChar &c : s)
        c = c.toUpper();
    if (!s.endsWith(u';'))
        s += u';';
    return s;
}

[[noreturn]] void fail(const QString &message)
{
    throw Exception(message);
}

[[noreturn]] void failUnknown(QChar c, int pos)
{
    fail(QStringLiteral("The %1 symbol at position %2 is unknown").arg(c).arg(pos));
}

[[noreturn]] void failUnexpected(QChar c, int pos)
{
    fail(QStringLiteral("The symbol %1 at position %2 is unexpected").arg(c).arg(pos));
}

QString foundText(QChar c)
{
    return c == u';' ? QStringLiteral("end of range") : QString(c);
}

[[noreturn]] void failLetterExpected(QChar c, int pos)
{
    fail(QStringLiteral("Letter expected but %1 found (position %2)").arg(foundText(c)).arg(pos));
}

[[noreturn]] void failNumberExpected(QChar c, int pos)
{
    fail(QStringLiteral("Number expected but %1 found (position %2)").arg(foundText(c)).arg(pos));
}

[[noreturn]] void failIllegalSheetChar(QChar c, int pos)
{
    fail(QStringLiteral("Illegal char %1 in sheet name at position %2").arg(c).arg(pos));
}

[[noreturn]] void failUnexpectedEnd()
{
    fail(QStringLiteral("Unexpected end of range"));
}

qint64 lettersToColumn(QStringView letters)
{
    qint64 n = 0;
    for (QChar c : letters)
        n = n * 26 + (c.unicode() - u'A' + 1);
    return n;
}

int checkedColumn(QStringView letters)
{
    const qint64 col = lettersToColumn(letters);
    if (col < 1 || col > kMaxCol)
        fail(QStringLiteral("Column %1 is out of range [%2..%3]").arg(col).arg(Col2Letter(1), Col2Letter(kMaxCol)));
    return int(col);
}

int checkedRow(QStringView digits)
{
    const int row = digits.toInt();
    if (row < 1 || row > kMaxRow)
        fail(QStringLiteral("Row %1 is out of range [%2..%3]").arg(row).arg(1).arg(kMaxRow));
    return row;
}

bool isColumn(QStringView letters)
{
    const qint64 col = lettersToColumn(letters);
    return col >= 1 && col <= kMaxCol;
}

QString cellName(int col, int row)
{
    return Col2Letter(col) + Row2Number(row);
}

// The state machine of the map language. A range is a first part, and for
// every form but a single cell a hyphen and a second part; which second
// parts are allowed depends on the first.
class MapParser
{
public:
    MapParser(const QString &text, TMapRow *row) : m_text(prepared(text)), m_row(row) {}

    void Run()
    {
        for (qsizetype i = 0; i < m_text.size(); ++i)
            Step(m_text.at(i), int(i) + 1);
        if (m_state != State::RangeBegin)
            failUnexpectedEnd();
    }

private:
    enum class State { RangeBegin, SheetOpen, SheetName, SheetNumber, AfterSheet, Letters, Digits, AfterHyphen };
    // What the first part of the range was.
    enum class First { None, Column, Row, Cell, ColStart, ColFinish, RowStart, RowFinish };

    void BeginRange()
    {
        m_range = std::make_unique<TMapRange>(m_row);
        m_first = First::None;
        m_second = false;
        m_letters.clear();
        m_digits.clear();
    }

    void Step(QChar c, int pos)
    {
        const CharClass cls = classOf(c);
        switch (m_state) {
        case State::RangeBegin:
        case State::AfterSheet: StepPartStart(c, cls, pos); break;
        case State::SheetOpen:
            if (cls == CharClass::Colon) {
                m_state = State::SheetNumber;
            } else if (cls == CharClass::CloseBracket) {
                failUnexpected(c, pos);
            } else {
                m_state = State::SheetName;
                StepSheetName(c, pos);
            }
            break;
        case State::SheetName:
            if (cls == CharClass::CloseBracket) {
                m_range->SheetIDType = sitName;
                m_range->SheetName = m_letters;
                m_letters.clear();
                m_state = State::AfterSheet;
            } else {
                StepSheetName(c, pos);
            }
            break;
        case State::SheetNumber:
            if (cls == CharClass::Digit) {
                m_digits += c;
                if (m_digits.size() > kMaxDigits)
                    fail(QStringLiteral("So long sheet definition"));
            } else if (cls == CharClass::CloseBracket && !m_digits.isEmpty()) {
                m_range->SheetIDType = sitNumber;
                m_range->SheetNumber = m_digits.toInt();
                m_digits.clear();
                m_state = State::AfterSheet;
            } else if (cls == CharClass::Other) {
                failUnknown(c, pos);
            } else {
                failUnexpected(c, pos);
            }
            break;
        case State::Letters: StepLetters(c, cls, pos); break;
        case State::Digits: StepDigits(c, cls, pos); break;
        case State::AfterHyphen:
            if (cls == CharClass::Letter) {
                m_second = true;
                m_letters = c;
                m_digits.clear();
                m_state = State::Letters;
            } else if (cls == CharClass::Other) {
                failUnknown(c, pos);
            } else {
                failLetterExpected(c, pos);
            }
            break;
        }
    }

    void StepSheetName(QChar c, int pos)
    {
        if (kSheetForbidden.contains(c))
            failIllegalSheetChar(c, pos);
        m_letters += c;
        if (m_letters.size() > kMaxSheetName)
            fail(QStringLiteral("So long sheet definition"));
    }

    void StepPartStart(QChar c, CharClass cls, int pos)
    {
        switch (cls) {
        case CharClass::Letter:
        case CharClass::Digit:
            if (m_state == State::RangeBegin)
                BeginRange();
            if (cls == CharClass::Letter) {
                m_letters = c;
                m_state = State::Letters;
            } else {
                m_digits = c;
                m_state = State::Digits;
            }
            break;
        case CharClass::OpenBracket:
            if (m_state != State::RangeBegin)
                failUnexpected(c, pos);
            BeginRange();
            m_state = State::SheetOpen;
            break;
        case CharClass::Semicolon: failUnexpectedEnd();
        case CharClass::Other: failUnknown(c, pos);
        default: failUnexpected(c, pos);
        }
    }

    // The keywords a second part may be, by the first part.
    QStringList AllowedKeywords() const
    {
        switch (m_first) {
        case First::None: return {kColStart, kColFinish, kRowStart, kRowFinish};
        case First::Column: return {kColStart, kColFinish};
        case First::Row: return {kRowStart, kRowFinish};
        case First::Cell: return {kColStart, kColFinish, kRowStart, kRowFinish};
        default: return {};
        }
    }

    // A cell may follow every first part but a column or a row number.
    bool CellAllowed() const { return m_first != First::Column && m_first != First::Row; }

    [[noreturn]] void FailKeywordExpected() const
    {
        QString expected;
        switch (m_first) {
        case First::Column: expected = QStringLiteral("COLSTART or COLFINISH"); break;
        case First::Row: expected = QStringLiteral("ROWSTART or ROWFINISH"); break;
        default: expected = QStringLiteral("COLSTART, COLFINISH, ROWSTART or ROWFINISH"); break;
        }
        fail(QStringLiteral("Expect %1 but %2 found").arg(expected, m_letters));
    }

    void StepLetters(QChar c, CharClass cls, int pos)
    {
        switch (cls) {
        case CharClass::Letter:
            m_letters += c;
            if (m_letters.size() > kMaxWord)
                fail(QStringLiteral("So long col definition"));
            return;
        case CharClass::Digit:
            if (!CellAllowed()) {
                if (AllowedKeywords().contains(m_letters))
                    failUnexpected(c, pos);
                FailKeywordExpected();
            }
            // Letters ended by a digit are the column of a cell.
            (void)checkedColumn(m_letters);
            m_digits = c;
            m_state = State::Digits;
            return;
        case CharClass::Hyphen:
            if (m_second)
                break;
            if (isColumn(m_letters)) {
                m_first = First::Column;
                m_range->Col1 = m_range->Col2 = int(lettersToColumn(m_letters));
            } else if (m_letters == kColStart) {
                m_first = First::ColStart;
            } else if (m_letters == kColFinish) {
                m_first = First::ColFinish;
            } else if (m_letters == kRowStart) {
                m_first = First::RowStart;
            } else if (m_letters == kRowFinish) {
                m_first = First::RowFinish;
            } else {
                FailKeywordExpected();
            }
            m_state = State::AfterHyphen;
            return;
        case CharClass::Semicolon:
            if (m_second && AllowedKeywords().contains(m_letters)) {
                FinishWithKeyword();
                return;
            }
            break;
        case CharClass::Other: failUnknown(c, pos);
        default: failUnexpected(c, pos);
        }
        // A hyphen in a second part, or a semicolon after letters that are
        // no keyword allowed here: a column is simply misplaced, any other
        // word is a wrong keyword.
        const bool misplacedColumn = CellAllowed() && isColumn(m_letters);
        if (misplacedColumn || AllowedKeywords().isEmpty() || AllowedKeywords().contains(m_letters))
            failUnexpected(c, pos);
        FailKeywordExpected();
    }

    void StepDigits(QChar c, CharClass cls, int pos)
    {
        switch (cls) {
        case CharClass::Digit:
            m_digits += c;
            if (m_digits.size() > kMaxDigits)
                fail(QStringLiteral("So long row definition"));
            return;
        case CharClass::Hyphen:
            if (m_second)
                failUnexpected(c, pos);
            if (m_letters.isEmpty()) {
                m_first = First::Row;
                m_range->Row1 = m_range->Row2 = checkedRow(m_digits);
            } else {
                m_first = First::Cell;
                m_range->Col1 = int(lettersToColumn(m_letters));
                m_range->Row1 = checkedRow(m_digits);
            }
            m_state = State::AfterHyphen;
            return;
        case CharClass::Semicolon:
            if (m_letters.isEmpty())
                failUnexpected(c, pos);
            FinishWithCell(int(lettersToColumn(m_letters)), checkedRow(m_digits));
            return;
        case CharClass::Other: failUnknown(c, pos);
        default: failUnexpected(c, pos);
        }
    }

    void FinishWithCell(int col, int row)
    {
        TMapRange &r = *m_range;
        switch (m_first) {
        case First::None:
            r.Col1 = r.Col2 = col;
            r.Row1 = r.Row2 = row;
            break;
        case First::Cell:
            if (r.Col1 == col) {
                r.Col2 = col;
                r.Row2 = row;
                r.Direction = r.Row1 < row ? rdDown : rdUp;
            } else if (r.Row1 == row) {
                r.Row2 = row;
                r.Col2 = col;
                r.Direction = r.Col1 < col ? rdDown : rdUp;
            } else {
                fail(QStringLiteral("Range %1 is fail. It must be COL or ROW")
                         .arg(cellName(r.Col1, r.Row1) + u'-' + cellName(col, row)));
            }
            break;
        case First::ColStart:
        case First::ColFinish:
            r.Col1 = r.Col2 = col;
            r.Row1 = 0;
            r.Row2 = row;
            r.Direction = m_first == First::ColStart ? rdDown : rdUp;
            break;
        case First::RowStart:
        case First::RowFinish:
            r.Row1 = r.Row2 = row;
            r.Col1 = 0;
            r.Col2 = col;
            r.Direction = m_first == First::RowStart ? rdDown : rdUp;
            break;
        case First::Column:
        case First::Row: Q_UNREACHABLE();
        }
        FinishRange();
    }

    void FinishWithKeyword()
    {
        TMapRange &r = *m_range;
        const bool column = m_letters == kColStart || m_letters == kColFinish;
        const bool finish = m_letters == kColFinish || m_letters == kRowFinish;
        r.Direction = finish ? rdDown : rdUp;
        if (m_first == First::Cell) {
            // From the cell to where the data finishes or starts.
            if (column) {
                r.Col2 = r.Col1;
                r.Row2 = 0;
            } else {
                r.Row2 = r.Row1;
                r.Col2 = 0;
            }
        } else if (m_first == First::Column) {
            r.Row1 = r.Row2 = 0;
        } else {
            r.Col1 = r.Col2 = 0;
        }
        FinishRange();
    }

    void FinishRange()
    {
        std::unique_ptr<TMapRange> range = std::move(m_range);
        range->Update();
        range->UpdateDirection();
        if (m_row)
            m_row->Add(std::move(range));
        m_state = State::RangeBegin;
    }

    const QString m_text;
    TMapRow *m_row;
    State m_state = State::RangeBegin;
    First m_first = First::None;
    bool m_second = false;
    QString m_letters;
    QString m_digits;
    std::unique_ptr<TMapRange> m_range;
};

// Runs over a prepared field text up to its final semicolon, handing each
// character with its 1-based position to step.
template<class Step>
void scanField(const QString &text, const QString &emptyMessage, Step step)
{
    const QString s = prepared(text);
    if (s.size() == 1)
        fail(emptyMessage);
    for (qsizetype i = 0; i + 1 < s.size(); ++i)
        step(s.at(i), classOf(s.at(i)), int(i) + 1);
}

int endPosition(const QString &text)
{
    return int(prepared(text).size());
}

bool sameSheet(const TMapRange &a, const TMapRange &b)
{
    return a.SheetIDType == b.SheetIDType && a.SheetNumber == b.SheetNumber
           && QString::compare(a.SheetName, b.SheetName, Qt::CaseInsensitive) == 0;
}

bool isDown(const TMapRange &r)
{
    return r.Direction != rdUp;
}

} // namespace

// ---------------------------------------------------------------- TMapRange

TxlsFile *TMapRange::File() const
{
    return m_row ? m_row->File() : nullptr;
}

int TMapRange::GetSkipFirstRows() const
{
    return m_row ? m_row->GetSkipFirstRows() : 0;
}

int TMapRange::GetSkipFirstCols() const
{
    return m_row ? m_row->GetSkipFirstCols() : 0;
}

void TMapRange::Update()
{
    if (Row1 > 0 && Row2 > 0 && Col1 > 0 && Col2 > 0 && Col1 == Col2 && Row1 == Row2)
        m_rangeType = rtCell;
    else if ((Row1 > 0 || Row2 > 0 || Col1 > 0 || Col2 > 0) && Col1 == Col2 && Col1 > 0)
        m_rangeType = rtCol;
    else if ((Row1 > 0 || Row2 > 0 || Col1 > 0 || Col2 > 0) && Row1 == Row2 && Row1 > 0)
        m_rangeType = rtRow;
    else
        m_rangeType = rtUnknown;

    const int s = GetSkipFirstRows();
    const int t = GetSkipFirstCols();
    // Skipped leading rows (columns) are cut off the range; a range wholly
    // inside them yields nothing.
    auto cut = [](int fixed, int fixedSkip, int a, int b, int skip) {
        if (!(fixedSkip < fixed) || !(skip < a || skip < b))
            return 0;
        a = a <= skip ? skip + 1 : a;
        b = b <= skip ? skip + 1 : b;
        return std::abs(b - a) + 1;
    };
    switch (m_rangeType) {
    case rtCol: m_count = cut(Col1, t, Row1, Row2, s); break;
    case rtRow: m_count = cut(Row1, s, Col1, Col2, t); break;
    case rtCell: m_count = s < Row1 && t < Col1 ? 1 : 0; break;
    case rtUnknown: m_count = 0; break;
    }
}

TxlsWorkSheet *TMapRange::Sheet() const
{
    TxlsFile *file = File();
    if (!file)
        return nullptr;
    TxlsWorkSheetList &sheets = file->Workbook().WorkSheets();
    int index = 0;
    if (GetHasSheet()) {
        if (SheetNumber > 0) {
            index = SheetNumber - 1;
            if (index >= sheets.Count())
                throw Exception(QStringLiteral("Sheet number %1 is not found in the source file, which has %2 sheets")
                                    .arg(SheetNumber)
                                    .arg(sheets.Count()));
        } else {
            index = sheets.IndexOfName(SheetName);
            if (index < 0)
                throw Exception(QStringLiteral("Sheet with name %1 is not found in the source file").arg(SheetName));
        }
    }
    if (index >= sheets.Count())
        throw Exception(QStringLiteral("Sheet number %1 is not found in the source file, which has %2 sheets")
                            .arg(index + 1)
                            .arg(sheets.Count()));
    return sheets.Items(index);
}

void TMapRange::Arrange()
{
    Update();
    TxlsFile *file = File();
    if (!file)
        return;
    if (!file->Loaded())
        file->Load();
    TxlsWorkSheet *sheet = Sheet();
    if (m_rangeType == rtRow) {
        const int index = Row1 - 1;
        if (index >= sheet->GetRowCount() || sheet->Rows().Items(index).Count() == 0)
            throw Exception(QStringLiteral("Row %1 not found in the sheet %2").arg(Row1).arg(sheet->GetName()));
        const TxlsRow &row = sheet->Rows().Items(index);
        const bool down = isDown(*this);
        if (Col1 == 0)
            Col1 = (down ? row.MinIndex() : row.MaxIndex()) + 1;
        if (Col2 == 0)
            Col2 = (down ? row.MaxIndex() : row.MinIndex()) + 1;
    } else if (m_rangeType == rtCol) {
        const int index = Col1 - 1;
        if (index >= sheet->GetColCount() || sheet->Cols().Items(index).Count() == 0)
            throw Exception(QStringLiteral("Col %1 not found in the sheet %2").arg(Col1).arg(sheet->GetName()));
        const TxlsCol &col = sheet->Cols().Items(index);
        const bool down = isDown(*this);
        if (Row1 == 0)
            Row1 = (down ? col.MinIndex() : col.MaxIndex()) + 1;
        if (Row2 == 0)
            Row2 = (down ? col.MaxIndex() : col.MinIndex()) + 1;
    }
    Update();
}

void TMapRange::Assign(const TMapRange &other)
{
    Direction = other.Direction;
    SheetIDType = other.SheetIDType;
    SheetNumber = other.SheetNumber;
    SheetName = other.SheetName;
    Row1 = other.Row1;
    Col1 = other.Col1;
    Row2 = other.Row2;
    Col2 = other.Col2;
    Update();
}

void TMapRange::UpdateDirection()
{
    switch (m_rangeType) {
    case rtCol:
        if (Row1 > 0 && Row2 > 0 && Row1 != Row2)
            Direction = Row1 > Row2 ? rdUp : rdDown;
        break;
    case rtRow:
        if (Col1 > 0 && Col2 > 0 && Col1 != Col2)
            Direction = Col1 > Col2 ? rdUp : rdDown;
        break;
    case rtCell: Direction = rdUnknown; break;
    case rtUnknown: break;
    }
}

QString TMapRange::GetAsString() const
{
    if (m_rangeType == rtUnknown)
        return QString();
    QString s;
    if (SheetIDType == sitName)
        s = u'[' + SheetName + u']';
    else if (SheetIDType == sitNumber)
        s = QStringLiteral("[:%1]").arg(SheetNumber);
    const bool down = isDown(*this);
    switch (m_rangeType) {
    case rtCell: s += cellName(Col1, Row1); break;
    case rtCol:
        if (Row1 > 0 && Row2 > 0)
            s += cellName(Col1, Row1) + u'-' + cellName(Col2, Row2);
        else if (Row1 == 0 && Row2 == 0)
            s += Col2Letter(Col1) + u'-' + (down ? kColFinish : kColStart);
        else if (Row2 == 0)
            s += cellName(Col1, Row1) + u'-' + (down ? kColFinish : kColStart);
        else
            s += (down ? kColStart : kColFinish) + u'-' + cellName(Col2, Row2);
        break;
    case rtRow:
        if (Col1 > 0 && Col2 > 0)
            s += cellName(Col1, Row1) + u'-' + cellName(Col2, Row2);
        else if (Col1 == 0 && Col2 == 0)
            s += Row2Number(Row1) + u'-' + (down ? kRowFinish : kRowStart);
        else if (Col2 == 0)
            s += cellName(Col1, Row1) + u'-' + (down ? kRowFinish : kRowStart);
        else
            s += (down ? kRowStart : kRowFinish) + u'-' + cellName(Col2, Row2);
        break;
    case rtUnknown: break;
    }
    return s + u';';
}

// ---------------------------------------------------------------- TMapRow

TMapRow::TMapRow(TMapRowList *list) : m_list(list), m_file(list ? list->File() : nullptr) {}

int TMapRow::GetSkipFirstRows() const
{
    return m_list ? m_list->SkipFirstRows() : 0;
}

int TMapRow::GetSkipFirstCols() const
{
    return m_list ? m_list->SkipFirstCols() : 0;
}

void TMapRow::Add(std::unique_ptr<TMapRange> range)
{
    range->SetRow(this);
    m_ranges.push_back(std::move(range));
    try {
        m_ranges.back()->Arrange();
    } catch (...) {
        m_ranges.pop_back();
        throw;
    }
}

void TMapRow::Delete(int i)
{
    m_ranges.erase(m_ranges.begin() + i);
}

void TMapRow::Update()
{
    m_total = 0;
    for (const auto &range : m_ranges) {
        range->Update();
        m_total += range->Count();
    }
}

QString TMapRow::GetCellValue(int n) const
{
    if (!m_file || n <= 0 || n > m_total)
        return QString();
    for (const auto &range : m_ranges) {
        if (range->Count() < n) {
            n -= range->Count();
            continue;
        }
        const TMapRange &r = *range;
        const int s = GetSkipFirstRows();
        const int t = GetSkipFirstCols();
        int row = 0;
        int col = 0;
        switch (r.RangeType()) {
        case rtCol:
            col = r.Col1 - 1;
            row = isDown(r) ? std::max(r.Row1, s + 1) + n - 2 : r.Row1 - n;
            break;
        case rtRow:
            row = r.Row1 - 1;
            col = isDown(r) ? std::max(r.Col1, t + 1) + n - 2 : r.Col1 - n;
            break;
        case rtCell:
            row = r.Row1 - 1;
            col = r.Col1 - 1;
            break;
        case rtUnknown: return QString();
        }
        // Positions outside the sheet hold no cell.
        if (row < 0 || row >= kMaxRow || col < 0 || col >= kMaxCol)
            return QString();
        const TbiffCell *cell = r.Sheet()->GetCells(row, col);
        return cell ? cell->GetAsString() : QString();
    }
    return QString();
}

void TMapRow::Optimize()
{
    for (int bi = Count() - 1; bi >= 1; --bi) {
        TMapRange &a = *Items(bi - 1);
        TMapRange &b = *Items(bi);
        a.Update();
        b.Update();
        if (!sameSheet(a, b))
            continue;
        const TRangeType at = a.RangeType();
        const TRangeType bt = b.RangeType();
        bool merged = false;
        if (at == rtCol && (bt == rtCell || (bt == rtCol && b.Direction == a.Direction)) && a.Col1 == b.Col1) {
            // An open finish of a cannot be continued; b may end open.
            if (a.Row2 > 0 && b.Row1 > 0
                && ((isDown(a) && b.Row1 == a.Row2 + 1) || (!isDown(a) && a.Row2 == b.Row1 + 1))) {
                a.Row2 = b.Row2;
                merged = true;
            }
        } else if (at == rtRow && (bt == rtCell || (bt == rtRow && b.Direction == a.Direction)) && a.Row1 == b.Row1) {
            if (a.Col2 > 0 && b.Col1 > 0
                && ((isDown(a) && b.Col1 == a.Col2 + 1) || (!isDown(a) && a.Col2 == b.Col1 + 1))) {
                a.Col2 = b.Col2;
                merged = true;
            }
        } else if (at == rtCell && bt == rtCol && a.Col1 == b.Col1) {
            const int row = a.Row1;
            if (b.Row2 > 0 && ((isDown(b) && row == b.Row2 + 1) || (!isDown(b) && b.Row2 == row + 1))) {
                a.Row1 = b.Row1;
                merged = true;
            } else if (b.Row1 > 0 && ((isDown(b) && b.Row1 == row + 1) || (!isDown(b) && b.Row1 + 1 == row))) {
                a.Row2 = b.Row2;
                merged = true;
            }
            if (merged)
                a.Direction = b.Direction;
        } else if (at == rtCell && bt == rtRow && a.Row1 == b.Row1) {
            const int col = a.Col1;
            if (b.Col2 > 0 && ((isDown(b) && col == b.Col2 + 1) || (!isDown(b) && b.Col2 == col + 1))) {
                a.Col1 = b.Col1;
                merged = true;
            } else if (b.Col1 > 0 && ((isDown(b) && b.Col1 == col + 1) || (!isDown(b) && b.Col1 + 1 == col))) {
                a.Col2 = b.Col2;
                merged = true;
            }
            if (merged)
                a.Direction = b.Direction;
        } else if (at == rtCell && bt == rtCell) {
            if (a.Col1 == b.Col1 && std::abs(a.Row1 - b.Row1) == 1) {
                a.Row2 = b.Row1;
                merged = true;
            } else if (a.Row1 == b.Row1 && std::abs(a.Col1 - b.Col1) == 1) {
                a.Col2 = b.Col1;
                merged = true;
            }
        }
        if (merged) {
            a.Update();
            a.UpdateDirection();
            Delete(bi);
        }
    }
    Update();
}

void TMapRow::SetAsString(const QString &text)
{
    Clear();
    if (!Trim(text).isEmpty())
        ParseMapString(text, this);
    Update();
}

QString TMapRow::GetAsString() const
{
    QString s;
    for (const auto &range : m_ranges)
        s += range->GetAsString();
    return s;
}

// ---------------------------------------------------------------- TMapRowList

void TMapRowList::Clear()
{
    m_rows.clear();
    m_minIndex = m_maxIndex = -1;
}

void TMapRowList::Update()
{
    m_minIndex = m_maxIndex = -1;
    for (int i = 0; i < Count(); ++i) {
        TMapRow *row = Items(i);
        row->Update();
        if (m_minIndex < 0 || row->Total() < Items(m_minIndex)->Total())
            m_minIndex = i;
        if (m_maxIndex < 0 || row->Total() > Items(m_maxIndex)->Total())
            m_maxIndex = i;
    }
}

// ---------------------------------------------------------------- parsers

bool ParseMapString(const QString &text, TMapRow *row)
{
    MapParser(text, row).Run();
    return true;
}

int ParseColString(const QString &text)
{
    QString letters;
    scanField(text, QStringLiteral("Col is empty"), [&](QChar c, CharClass cls, int pos) {
        if (cls == CharClass::Other)
            failUnknown(c, pos);
        if (cls != CharClass::Letter)
            failLetterExpected(c, pos);
        letters += c;
        if (letters.size() > kMaxColLetters)
            fail(QStringLiteral("So long col definition"));
    });
    return checkedColumn(letters);
}

int ParseRowString(const QString &text)
{
    QString digits;
    scanField(text, QStringLiteral("Row is empty"), [&](QChar c, CharClass cls, int pos) {
        if (cls != CharClass::Digit)
            failNumberExpected(c, pos);
        digits += c;
        if (digits.size() > kMaxDigits)
            fail(QStringLiteral("So long row definition"));
    });
    return checkedRow(digits);
}

TMapCell ParseCellString(const QString &text)
{
    QString letters;
    QString digits;
    scanField(text, QStringLiteral("Cell is empty"), [&](QChar c, CharClass cls, int pos) {
        if (cls == CharClass::Other)
            failUnknown(c, pos);
        if (digits.isEmpty() && cls == CharClass::Letter) {
            letters += c;
            if (letters.size() > kMaxColLetters)
                fail(QStringLiteral("So long cell definition"));
        } else if (!letters.isEmpty() && cls == CharClass::Digit) {
            digits += c;
            if (digits.size() > kMaxDigits)
                fail(QStringLiteral("So long cell definition"));
        } else if (!letters.isEmpty() && digits.isEmpty()) {
            failNumberExpected(c, pos);
        } else {
            failUnexpected(c, pos);
        }
    });
    if (digits.isEmpty())
        failNumberExpected(u';', endPosition(text));
    return TMapCell{checkedColumn(letters), checkedRow(digits)};
}

int ParseSheetNumber(const QString &text)
{
    QString digits;
    scanField(text, QStringLiteral("Sheet is empty"), [&](QChar c, CharClass cls, int pos) {
        if (cls != CharClass::Digit)
            failNumberExpected(c, pos);
        digits += c;
        if (digits.size() > kMaxDigits)
            fail(QStringLiteral("So long sheet definition"));
    });
    return digits.toInt();
}

QString ParseSheetName(const QString &text)
{
    QString name;
    scanField(text, QStringLiteral("Sheet is empty"), [&](QChar c, CharClass, int pos) {
        if (kSheetForbidden.contains(c))
            failIllegalSheetChar(c, pos);
        name += c;
        if (name.size() > kMaxSheetName)
            fail(QStringLiteral("So long sheet definition"));
    });
    return name;
}

// ---------------------------------------------------------------- cell tests

bool CellInRange(TMapRange &range, const QString &sheetName, int sheetNumber, int row, int col)
{
    range.Update();
    if (range.SheetIDType == sitNumber && range.SheetNumber != sheetNumber)
        return false;
    if (range.SheetIDType == sitName && QString::compare(range.SheetName, sheetName, Qt::CaseInsensitive) != 0)
        return false;
    // Whether position p lies within the bounds a..b of a range that runs
    // down (or up); an open bound reaches as far as the data does.
    auto within = [down = isDown(range)](int p, int a, int b) {
        if (a > 0 && b > 0)
            return p >= std::min(a, b) && p <= std::max(a, b);
        if (a > 0)
            return down ? p >= a : p <= a;
        if (b > 0)
            return down ? p <= b : p >= b;
        return true;
    };
    switch (range.RangeType()) {
    case rtCol: return col == range.Col1 && within(row, range.Row1, range.Row2);
    case rtRow: return row == range.Row1 && within(col, range.Col1, range.Col2);
    case rtCell: return row == range.Row1 && col == range.Col1;
    case rtUnknown: return false;
    }
    return false;
}

bool CellInRow(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col)
{
    for (int i = 0; i < maprow.Count(); ++i)
        if (CellInRange(*maprow.Items(i), sheetName, sheetNumber, row, col))
            return true;
    return false;
}

TCellNeighbours GetCellNeighbours(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col)
{
    TCellNeighbours result;
    struct Probe
    {
        TCellNeighbour side;
        int row;
        int col;
    };
    const Probe probes[] = {{cnLeft, row, col - 1}, {cnRight, row, col + 1}, {cnTop, row - 1, col}, {cnBottom, row + 1, col}};
    for (int i = 0; i < maprow.Count() && !result.IsFull(); ++i) {
        for (const Probe &p : probes)
            if (!result.Contains(p.side) && CellInRange(*maprow.Items(i), sheetName, sheetNumber, p.row, p.col))
                result.Include(p.side);
    }
    return result;
}

void RemoveCellFromRow(TMapRow &maprow, const QString &sheetName, int sheetNumber, int row, int col)
{
    QString text;
    for (int i = 0; i < maprow.Count(); ++i) {
        TMapRange &r = *maprow.Items(i);
        if (!CellInRange(r, sheetName, sheetNumber, row, col)) {
            text += r.GetAsString();
            continue;
        }
        if (r.RangeType() == rtCell)
            continue;
        // A column range works on rows, a row range on columns.
        const bool column = r.RangeType() == rtCol;
        int &first = column ? r.Row1 : r.Col1;
        int &last = column ? r.Row2 : r.Col2;
        const int at = column ? row : col;
        const int step = isDown(r) ? 1 : -1;
        if (at == first) {
            first += step;
        } else if (at == last) {
            last -= step;
        } else {
            TMapRange head;
            head.Assign(r);
            (column ? head.Row2 : head.Col2) = at - step;
            head.Update();
            head.UpdateDirection();
            text += head.GetAsString();
            first = at + step;
        }
        r.Update();
        text += r.GetAsString();
    }
    maprow.SetAsString(text);
}
