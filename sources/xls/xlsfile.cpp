#include "xlsfile.h"

#include "bytereader.h"
#include "compoundfile.h"
#include "xlstext_p.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Days between the 1900 and the 1904 date systems.
constexpr double kDays1904 = 1462;
// 1 January of the year 1 and 1 January 10000 as date-time values.
constexpr double kFirstDate = -693593;
constexpr double kPastLastDate = 2958466;

// Bounds-checked field access of record data: a record too short for the
// field it is read for is damaged.
uint16_t Word(const TbiffRecord &r, qsizetype pos)
{
    const QByteArrayView d = r.Data();
    if (pos < 0 || 2 > d.size() - pos)
        throw ExlsFileError(QStringLiteral("Record with ID 0x%1 is invalid").arg(r.Id(), 0, 16));
    return GetWord(d, pos);
}

uint8_t Byte(const TbiffRecord &r, qsizetype pos)
{
    const QByteArrayView d = r.Data();
    if (pos < 0 || pos >= d.size())
        throw ExlsFileError(QStringLiteral("Record with ID 0x%1 is invalid").arg(r.Id(), 0, 16));
    return uint8_t(d[pos]);
}

void RequireSize(const TbiffRecord &r, qsizetype size)
{
    if (r.Size() < size)
        throw ExlsFileError(QStringLiteral("Record with ID 0x%1 is invalid").arg(r.Id(), 0, 16));
}

TBIFF_Header ReadHeader(TByteReader &stream)
{
    TBIFF_Header h;
    h.Id = stream.u16le("record code");
    h.Size = stream.u16le("record size");
    return h;
}

} // namespace

// ---------------------------------------------------------------- records

TbiffRecord::TbiffRecord(TxlsSection *section, uint16_t id, QByteArrayView data)
    : m_section(section), m_data(data.data()), m_id(id), m_size(uint16_t(data.size()))
{
}

TbiffRecord::~TbiffRecord()
{
    // Unlink the CONTINUE chain one by one: freeing it recursively could
    // exhaust the stack on a long chain.
    std::unique_ptr<TbiffContinue> next = std::move(m_continue);
    while (next)
        next = std::move(next->m_continue);
}

void TbiffRecord::AddContinue(std::unique_ptr<TbiffContinue> next)
{
    if (m_continue)
        throw ExlsFileError(QStringLiteral("Trying to add more than one CONTINUE record to the same record"));
    m_continue = std::move(next);
}

TbiffXFList &TbiffRecord::GetXFList() const
{
    return m_section->Workbook()->Globals().XFs();
}

TbiffFormatList &TbiffRecord::GetFormatList() const
{
    return m_section->Workbook()->Globals().Formats();
}

TbiffSSTList &TbiffRecord::GetSSTList() const
{
    return m_section->Workbook()->Globals().SST();
}

TbiffBOF::TbiffBOF(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffRecord(section, id, data)
{
    RequireSize(*this, 4);
    if (GetWord(data, 0) != BIFF::BIFF8_VERSION)
        throw Exception(QStringLiteral("File is saved with an invalid Excel version"));
    m_type = GetWord(data, 2);
}

TbiffName::TbiffName(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffRecord(section, id, data)
{
    RequireSize(*this, 15);
}

int TbiffName::GetNameLength() const
{
    return Byte(*this, 3);
}

int TbiffName::GetOptionFlags() const
{
    return Byte(*this, 14);
}

QString TbiffName::GetName() const
{
    TByteReader r(Data());
    r.seek(15);
    const int n = GetNameLength();
    if (GetOptionFlags() & 1) {
        QString s;
        for (int i = 0; i < n; ++i)
            s.append(QChar(r.u16le("name characters")));
        return s;
    }
    return StringToWideStringNoCodePage(r.bytes(n, "name characters"));
}

qsizetype TbiffName::GetNameSize() const
{
    return GetStrLen(Data(), 14, false, GetNameLength());
}

int TbiffName::Area(qsizetype past) const
{
    const qsizetype token = 14 + GetNameSize();
    if (token >= Size())
        return -1;
    const uint8_t ptg = Byte(*this, token);
    // A 3-D area reference of any class.
    if (ptg != 0x3B && ptg != 0x5B && ptg != 0x7B)
        return -1;
    return Word(*this, token + past);
}

TbiffBoundSheet::TbiffBoundSheet(TxlsSection *section, uint16_t id, QByteArrayView data)
    : TbiffRecord(section, id, data)
{
    TxlsRecordReader r(this, 6);
    m_name = r.ReadString(1).GetValue();
}

int TbiffBoundSheet::GetOptionFlags() const
{
    return Word(*this, 4);
}

uint32_t TbiffBoundSheet::GetStreamPos() const
{
    return uint32_t(GetInteger(Data(), 0));
}

QString TbiffString::GetValue() const
{
    TxlsRecordReader r(this, 0);
    return r.ReadString(2).GetValue();
}

TbiffShrFmla::TbiffShrFmla(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffRecord(section, id, data)
{
    RequireSize(*this, 6);
}

int TbiffShrFmla::GetFirstRow() const { return Word(*this, 0); }
int TbiffShrFmla::GetLastRow() const { return Word(*this, 2); }
int TbiffShrFmla::GetFirstCol() const { return Byte(*this, 4); }
int TbiffShrFmla::GetLastCol() const { return Byte(*this, 5); }

uint32_t TbiffShrFmla::GetKey() const
{
    return uint32_t(GetFirstRow()) | (uint32_t(GetFirstCol()) << 16);
}

TbiffXF::TbiffXF(TxlsSection *section, uint16_t id, QByteArrayView data)
    : TbiffRecord(section, id, data), m_formatIndex(data.size() >= 4 ? GetWord(data, 2) : 0)
{
}

TbiffFormat::TbiffFormat(TxlsSection *section, uint16_t id, QByteArrayView data)
    : TbiffRecord(section, id, data), m_formatIndex(-1)
{
    // The text: character count at 2, option byte at 4, characters from 5.
    // A damaged FORMAT record only costs a number its format: it is kept
    // with no index and left out of the format list.
    try {
        const int index = Word(*this, 0);
        TxlsRecordReader r(this, 2);
        m_text = r.ReadString(2).GetValue();
        m_formatIndex = index;
    } catch (const Exception &e) {
        qCWarning(lcXls) << "FORMAT record passed over:" << e.Message();
    }
}

uint32_t TbiffSST::GetCount() const
{
    RequireSize(*this, 8);
    return uint32_t(GetInteger(Data(), 4));
}

TbiffColRow::TbiffColRow(TxlsSection *section, uint16_t id, QByteArrayView data)
    : TbiffRecord(section, id, data)
{
    RequireSize(*this, 4);
    m_row = GetWord(data, 0);
    m_col = GetWord(data, 2);
}

TbiffColRow::TbiffColRow(TxlsSection *section, uint16_t id, int row, int col)
    : TbiffRecord(section, id, QByteArrayView()), m_row(uint16_t(row)), m_col(uint16_t(col))
{
}

// ---------------------------------------------------------------- cells

TbiffCell::TbiffCell(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffColRow(section, id, data)
{
    RequireSize(*this, 6);
    m_xf = GetWord(data, 4);
}

TbiffCell::TbiffCell(TxlsSection *section, uint16_t id, int row, int col, int xf)
    : TbiffColRow(section, id, row, col), m_xf(uint16_t(xf))
{
}

void TbiffCell::AccessError(const char *type) const
{
    throw ExlsFileError(QStringLiteral("Cannot access cell '%1' as type %2").arg(GetCellName(), QLatin1String(type)));
}

void TbiffCell::SetAsString(const QString &) { AccessError("String"); }
bool TbiffCell::GetAsBoolean() const { AccessError("Boolean"); }
void TbiffCell::SetAsBoolean(bool) { AccessError("Boolean"); }
double TbiffCell::GetAsFloat() const { AccessError("Float"); }
void TbiffCell::SetAsFloat(double) { AccessError("Float"); }
TDateTime TbiffCell::GetAsDateTime() const { AccessError("DateTime"); }
void TbiffCell::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
void TbiffCell::SetAsVariant(const QVariant &) { AccessError("Variant"); }

int TbiffCell::GetFormatIndex() const
{
    const TbiffXFList &xfs = GetXFList();
    // An XF index past the list is cosmetic damage: the cell keeps General.
    if (m_xf >= xfs.Count())
        return 0;
    return xfs.Items(m_xf)->FormatIndex();
}

QString TbiffCell::GetCellName() const
{
    return Col2Letter(GetCol() + 1) + Row2Number(GetRow() + 1);
}

bool TbiffCell::GetIsDateOnly() const
{
    if (!GetIsDateTime())
        return false;
    const double v = GetAsDateTime();
    return v == std::trunc(v);
}

bool TbiffCell::GetIsTimeOnly() const
{
    if (!GetIsDateTime())
        return false;
    return std::trunc(GetAsDateTime()) == 0;
}

bool TbiffCell::HasDateFormat() const
{
    const int f = GetFormatIndex();
    if (f <= 49)
        return f >= 14 && f <= 22;
    // A user format is its own FORMAT record's text: writers number them
    // from 164. Format codes ignore case, and writers use both ("YYYY-MM-DD"),
    // so the letters count in either case; quoted and escaped literals and
    // bracketed colours and conditions are no part of the pattern.
    const QString text = GetFormatList().GetFormat(f);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            const qsizetype end = text.indexOf(u'"', i + 1);
            i = end < 0 ? text.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = text.indexOf(u']', i + 1);
            const QString inside = text.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            // Elapsed hours, minutes and seconds are time parts.
            if (!inside.isEmpty() && inside.count(inside.at(0)) == inside.size()
                && (inside.at(0) == u'h' || inside.at(0) == u'm' || inside.at(0) == u's'))
                return true;
            i = end < 0 ? text.size() : end;
        } else {
            const QChar l = c.toLower();
            if (l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's')
                return true;
        }
    }
    return false;
}

TDateTime TbiffCell::ToDateTime(double number) const
{
    return Section()->Workbook()->Globals().Date1904() ? number + kDays1904 : number;
}

QString TbiffCell::NumberText(double number, bool isDate) const
{
    const TDateTime v = ToDateTime(number);
    // A date outside the years 1..9999 (or not a number at all) has no
    // date text; it reads as the number it is.
    if (!isDate || !(v >= kFirstDate && v < kPastLastDate))
        return GeneralFloatText(number);
    const double whole = std::trunc(v);
    if (v == whole)
        return DateText(v);
    if (whole == 0)
        return TimeText(v);
    return DateText(v) + QLatin1Char(' ') + TimeText(v);
}

TbiffBlank::TbiffBlank(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data) {}

TbiffBlank::TbiffBlank(TxlsSection *section, int row, int col, int xf) : TbiffCell(section, BIFF::BLANK, row, col, xf)
{
}

TbiffNumber::TbiffNumber(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 14);
    TByteReader r(data);
    r.seek(6);
    m_value = r.f64le("number");
}

// A NUMBER record takes the same date test as an RK one: writers store
// date-times that have no RK form (any time with seconds) as NUMBER.
TbiffCellType TbiffNumber::GetCellType() const
{
    return HasDateFormat() ? bctDateTime : bctNumeric;
}

QString TbiffNumber::GetAsString() const
{
    return NumberText(m_value, GetCellType() == bctDateTime);
}

void TbiffNumber::SetAsString(const QString &value)
{
    double v;
    if (!TextToFloat(value, v))
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value));
    m_value = v;
}

TDateTime TbiffNumber::GetAsDateTime() const
{
    return ToDateTime(m_value);
}

void TbiffNumber::SetAsVariant(const QVariant &value)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value.toString()));
    m_value = v;
}

TbiffRK::TbiffRK(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 10);
    m_rk = uint32_t(GetInteger(data, 6));
}

TbiffRK::TbiffRK(TxlsSection *section, int row, int col, int xf, uint32_t rk)
    : TbiffCell(section, BIFF::RK, row, col, xf), m_rk(rk)
{
}

TbiffCellType TbiffRK::GetCellType() const
{
    return HasDateFormat() ? bctDateTime : bctNumeric;
}

QString TbiffRK::GetAsString() const
{
    return NumberText(GetAsFloat(), GetCellType() == bctDateTime);
}

void TbiffRK::SetAsString(const QString &value)
{
    double v;
    if (GetCellType() == bctDateTime) {
        if (!TextToDateTime(value, v))
            throw EConvertError(QStringLiteral("\"%1\" is not a valid date and time").arg(value));
        if (Section()->Workbook()->Globals().Date1904())
            v -= kDays1904;
    } else if (!TextToFloat(value, v)) {
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value));
    }
    SetAsFloat(v);
}

void TbiffRK::SetAsFloat(double value)
{
    uint32_t rk;
    if (!EncodeRK(value, rk))
        throw ExlsFileError(QStringLiteral("Invalid cell value: '%1'").arg(GeneralFloatText(value)));
    m_rk = rk;
}

TDateTime TbiffRK::GetAsDateTime() const
{
    return ToDateTime(GetAsFloat());
}

QVariant TbiffRK::GetAsVariant() const
{
    return GetCellType() == bctDateTime ? GetAsDateTime() : GetAsFloat();
}

TbiffBoolErr::TbiffBoolErr(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 8);
    m_value = uint8_t(data[6]);
    m_error = uint8_t(data[7]);
}

void TbiffBoolErr::SetAsBoolean(bool value)
{
    m_error = 0;
    m_value = value ? 1 : 0;
}

QVariant TbiffBoolErr::GetAsVariant() const
{
    if (m_error)
        return ErrCodeToString(m_value);
    return m_value != 0;
}

void TbiffBoolErr::SetAsVariant(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool) {
        SetAsBoolean(value.toBool());
        return;
    }
    if (value.typeId() == QMetaType::QString) {
        m_value = StringToErrCode(value.toString());
        m_error = 1;
        return;
    }
    if (!value.isValid() || value.isNull())
        throw ExlsFileError(QStringLiteral("Invalid cell value: '%1'").arg(value.toString()));
    throw Exception(QStringLiteral("Invalid cell value: '%1'").arg(value.toString()));
}

TbiffLabelSST::TbiffLabelSST(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 10);
    const uint32_t index = uint32_t(GetInteger(data, 6));
    TbiffSSTList &sst = GetSSTList();
    if (index >= uint32_t(sst.Count()))
        throw Exception(XlsMsg::FileInvalid());
    m_entry = sst.Items(int(index));
    ++m_entry->RefCount;
}

QString TbiffLabelSST::GetAsString() const
{
    return m_entry ? m_entry->Value.GetValue() : QString();
}

void TbiffLabelSST::SetAsString(const QString &value)
{
    TbiffSSTList &sst = GetSSTList();
    TxlsSSTEntry *old = m_entry;
    m_entry = sst.Items(sst.AddString(value));
    if (old)
        --old->RefCount;
}

TbiffFormula::TbiffFormula(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 22);
    TByteReader r(data);
    r.seek(6);
    const QByteArrayView result = r.bytes(8, "formula result");
    if (GetWord(result, 6) == 0xFFFF) {
        // Not a number: the first byte tells string, boolean, error or empty.
        switch (uint8_t(result[0])) {
        case 0:
            m_value = QString();
            m_wantsString = true;
            break;
        case 1: m_value = uint8_t(result[2]) == 1; break;
        default: break;
        }
    } else {
        TByteReader v(result);
        m_value = v.f64le("formula result");
    }
    r.seek(20);
    const uint16_t length = r.u16le("formula length");
    // Tokens running past the record are cut to what it holds: the cached
    // result stays usable and the calculator stops at the end.
    m_tokens = data.sliced(22, qMin<qsizetype>(length, data.size() - 22));
}

QString TbiffFormula::GetAsString() const
{
    switch (m_value.typeId()) {
    case QMetaType::Double: return GeneralFloatText(m_value.toDouble());
    case QMetaType::Bool: return m_value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QString: return m_value.toString();
    default: return QString();
    }
}

void TbiffFormula::SetStringResult(const QString &text)
{
    m_value = text;
    m_wantsString = false;
}

bool TbiffMulRK::GetEOF() const
{
    return 6 * m_index + 10 >= Size();
}

std::unique_ptr<TbiffCell> TbiffMulRK::GetCell()
{
    TByteReader r(Data());
    r.seek(4 + 6 * qsizetype(m_index));
    const uint16_t xf = r.u16le("MULRK format");
    const uint32_t rk = r.u32le("MULRK value");
    auto cell = std::make_unique<TbiffRK>(Section(), GetRow(), GetCol() + m_index, xf, rk);
    ++m_index;
    return cell;
}

bool TbiffMulBlank::GetEOF() const
{
    return 2 * m_index + 6 >= Size();
}

std::unique_ptr<TbiffCell> TbiffMulBlank::GetCell()
{
    auto cell = std::make_unique<TbiffBlank>(Section(), GetRow(), GetCol() + m_index,
                                             GetWord(Data(), 4 + 2 * qsizetype(m_index)));
    ++m_index;
    return cell;
}

// ---------------------------------------------------------------- strings

TxlsString::TxlsString(const QString &text, TxlsCharSize lenOfLen) : m_lenOfLen(lenOfLen)
{
    if (lenOfLen == 1 && text.size() >= 256)
        throw ExlsFileError(QStringLiteral("Invalid String record"));
    m_length = int(text.size());
    if (IsWide(text)) {
        m_options = 0x01;
        m_wide = text;
    } else {
        m_narrow = WideStringToStringNoCodePage(text);
    }
}

QString TxlsString::GetValue() const
{
    return (m_options & 0x01) ? m_wide : StringToWideStringNoCodePage(m_narrow);
}

int TxlsString::Compare(const TxlsString &other) const
{
    if (m_lenOfLen != other.m_lenOfLen)
        return m_lenOfLen < other.m_lenOfLen ? -1 : 1;
    if (m_options != other.m_options)
        return m_options < other.m_options ? -1 : 1;
    if (m_options & 0x01)
        return CompareWideStr(m_wide, other.m_wide);
    const int c = std::memcmp(m_narrow.constData(), other.m_narrow.constData(),
                              size_t(qMin(m_narrow.size(), other.m_narrow.size())));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return m_narrow.size() == other.m_narrow.size() ? 0 : (m_narrow.size() < other.m_narrow.size() ? -1 : 1);
}

TxlsRecordReader::TxlsRecordReader(const TbiffRecord *record, qsizetype pos) : m_record(record), m_pos(pos)
{
    if (pos > record->Size())
        throw ExlsFileError(XlsMsg::ReadingRecord());
}

bool TxlsRecordReader::AtEnd() const
{
    return m_pos >= m_record->Size() && !m_record->Continue();
}

void TxlsRecordReader::NextRecord()
{
    if (!m_record->Continue())
        throw ExlsFileError(XlsMsg::ReadingRecord());
    m_record = m_record->Continue();
    m_pos = 0;
}

void TxlsRecordReader::ReadMem(qsizetype count, char *dest)
{
    while (count > 0) {
        if (m_pos > m_record->Size())
            throw ExlsFileError(XlsMsg::ReadingRecord());
        if (m_pos == m_record->Size())
            NextRecord();
        TByteReader r(m_record->Data());
        r.seek(m_pos);
        const qsizetype part = qMin(count, r.remaining());
        const QByteArrayView bytes = r.bytes(part);
        if (dest) {
            std::copy(bytes.begin(), bytes.end(), dest);
            dest += part;
        }
        m_pos += part;
        count -= part;
    }
}

uint8_t TxlsRecordReader::ReadByte()
{
    char b;
    ReadMem(1, &b);
    return uint8_t(b);
}

uint16_t TxlsRecordReader::ReadWord()
{
    char b[2];
    ReadMem(2, b);
    return GetWord(QByteArrayView(b, 2), 0);
}

uint32_t TxlsRecordReader::ReadInteger()
{
    char b[4];
    ReadMem(4, b);
    return uint32_t(GetInteger(QByteArrayView(b, 4), 0));
}

namespace {

// Appends count bytes record by record, so that a size read from the file
// never allocates more than the records really hold.
void ReadAppend(TxlsRecordReader &r, qsizetype count, QByteArray &dest)
{
    constexpr qsizetype kChunk = 8224; // the largest BIFF8 record
    while (count > 0) {
        const qsizetype part = qMin(count, kChunk);
        const qsizetype at = dest.size();
        dest.resize(at + part);
        r.ReadMem(part, dest.data() + at);
        count -= part;
    }
}

} // namespace

TxlsString TxlsRecordReader::ReadString(TxlsCharSize lenOfLen)
{
    TxlsString s;
    s.m_lenOfLen = lenOfLen;
    s.m_length = lenOfLen == 1 ? ReadByte() : ReadWord();
    s.m_options = ReadByte();
    if (s.m_options & 0x08)
        s.m_runCount = ReadWord();
    if (s.m_options & 0x04)
        s.m_farEastSize = ReadInteger();
    ReadStr(s);
    ReadAppend(*this, qsizetype(s.m_runCount) * 4, s.m_runs);
    ReadAppend(*this, qsizetype(s.m_farEastSize), s.m_farEast);
    return s;
}

void TxlsRecordReader::ReadStr(TxlsString &s)
{
    const int count = s.m_length;
    int read = 0;
    bool partWide = s.m_options & 0x01;
    if (partWide)
        s.m_wide.reserve(count);
    else
        s.m_narrow.reserve(count);
    while (read < count) {
        if (m_pos > m_record->Size())
            throw ExlsFileError(XlsMsg::ReadingRecord());
        if (m_pos == m_record->Size()) {
            // A string continued in the next record starts that part with
            // its own option byte: the characters may change width there.
            NextRecord();
            TByteReader head(m_record->Data());
            const uint8_t options = head.u8("string part options");
            m_pos = 1;
            partWide = options & 0x01;
            if (partWide && !(s.m_options & 0x01)) {
                s.m_wide = StringToWideStringNoCodePage(s.m_narrow);
                s.m_wide.reserve(count);
                s.m_narrow.clear();
                s.m_options |= 0x01;
            }
        }
        TByteReader r(m_record->Data());
        r.seek(m_pos);
        const int width = partWide ? 2 : 1;
        const int take = int(qMin<qsizetype>(count - read, r.remaining() / width));
        if (take == 0 && r.remaining() > 0)
            throw ExlsFileError(XlsMsg::ReadingRecord()); // half a 16-bit character
        if (partWide) {
            for (int i = 0; i < take; ++i)
                s.m_wide.append(QChar(r.u16le("string characters")));
        } else if (s.m_options & 0x01) {
            const QByteArrayView bytes = r.bytes(take);
            for (char c : bytes)
                s.m_wide.append(QChar(char16_t(uchar(c))));
        } else {
            s.m_narrow.append(r.bytes(take));
        }
        m_pos = r.pos();
        read += take;
    }
}

// ---------------------------------------------------------------- lists

void TbiffSSTList::Add(TxlsString s)
{
    m_items.push_back(std::make_unique<TxlsSSTEntry>(std::move(s)));
}

void TbiffSSTList::Sort()
{
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const auto &a, const auto &b) { return a->Value.Compare(b->Value) < 0; });
}

bool TbiffSSTList::Find(const TxlsString &s, int &index) const
{
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = m_items[size_t(mid)]->Value.Compare(s);
        if (c == 0) {
            index = mid;
            return true;
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    index = lo;
    return false;
}

int TbiffSSTList::AddString(const QString &text)
{
    TxlsString s(text, 2);
    int index;
    if (!Find(s, index))
        m_items.insert(m_items.begin() + index, std::make_unique<TxlsSSTEntry>(std::move(s)));
    ++m_items[size_t(index)]->RefCount;
    return index;
}

void TbiffFormatList::Add(std::unique_ptr<TbiffFormat> f)
{
    m_items.push_back(std::move(f));
    m_sorted = false;
}

void TbiffFormatList::Clear()
{
    m_items.clear();
    m_sorted = true;
}

// The lookup of the sorted record lists: sorts by key on first use after an
// Add, then a binary search; index is where the key is or would be.
template<class Items, class Key, class KeyOf>
static bool findSorted(Items &items, bool &sorted, Key key, int &index, KeyOf keyOf)
{
    if (!sorted) {
        std::stable_sort(items.begin(), items.end(), [&](const auto &a, const auto &b) { return keyOf(a) < keyOf(b); });
        sorted = true;
    }
    const auto it = std::lower_bound(items.begin(), items.end(), key, [&](const auto &f, Key k) { return keyOf(f) < k; });
    index = int(it - items.begin());
    return it != items.end() && keyOf(*it) == key;
}

bool TbiffFormatList::Find(int formatIndex, int &index)
{
    return findSorted(m_items, m_sorted, formatIndex, index, [](const auto &f) { return f->FormatIndex(); });
}

QString TbiffFormatList::GetFormat(int formatIndex)
{
    int index;
    if (Find(formatIndex, index))
        return m_items[size_t(index)]->FormatText();
    return InternalNumberFormats(formatIndex);
}

QString TbiffBoundSheetList::GetName(int i) const
{
    if (i < 0 || i >= Count())
        return QString();
    return m_items[size_t(i)]->GetName();
}

void TbiffShrFmlaList::Add(std::unique_ptr<TbiffShrFmla> f)
{
    m_items.push_back(std::move(f));
    m_sorted = false;
}

bool TbiffShrFmlaList::Find(uint32_t key, int &index)
{
    return findSorted(m_items, m_sorted, key, index, [](const auto &f) { return f->GetKey(); });
}

void TxlsCellList::AddCell(TbiffCell *cell, int number, int key)
{
    if (m_number < 0)
        m_number = number;
    // Writers store the cells of a row left to right, so the list is
    // usually sorted already.
    if (key <= m_max)
        m_sorted = false;
    m_min = m_min < 0 ? key : qMin(m_min, key);
    m_max = qMax(m_max, key);
    m_cells.push_back(cell);
}

bool TxlsCellList::FindKey(int key, int &index, bool byCol)
{
    auto keyOf = [byCol](const TbiffCell *c) { return byCol ? c->GetCol() : c->GetRow(); };
    if (!m_sorted) {
        std::stable_sort(m_cells.begin(), m_cells.end(),
                         [&](const TbiffCell *a, const TbiffCell *b) { return keyOf(a) < keyOf(b); });
        m_sorted = true;
    }
    // Of two records for one cell the later one counts, as in Excel.
    const auto it = std::upper_bound(m_cells.begin(), m_cells.end(), key,
                                     [&](int k, const TbiffCell *c) { return k < keyOf(c); });
    if (it != m_cells.begin() && keyOf(*(it - 1)) == key) {
        index = int(it - m_cells.begin()) - 1;
        return true;
    }
    index = int(it - m_cells.begin());
    return false;
}

int TxlsWorkSheetList::IndexOfName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (QString::compare(m_items[size_t(i)]->GetName(), name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TxlsSheetList::Add(std::unique_ptr<TxlsSheet> sheet)
{
    m_items.push_back(std::move(sheet));
    return Count() - 1;
}

// ---------------------------------------------------------------- sections

TxlsSection::~TxlsSection() = default;

namespace {

// Passes over a sub-stream whose BOF has just been read, up to its own EOF;
// sub-streams nested in it are passed over with it.
void SkipSubstream(TByteReader &stream)
{
    int depth = 1;
    while (depth > 0) {
        if (stream.remaining() < 4)
            throw Exception(XlsMsg::FileInvalid());
        const TBIFF_Header h = ReadHeader(stream);
        if (h.Size > stream.remaining())
            throw Exception(XlsMsg::FileInvalid());
        stream.skip(h.Size);
        if (h.Id == BIFF::BOF)
            ++depth;
        else if (h.Id == BIFF::EOF_)
            --depth;
    }
}

} // namespace

void TxlsGlobals::Clear()
{
    m_boundSheets.Clear();
    m_names.Clear();
    m_sst.Clear();
    m_xfs.Clear();
    m_formats.Clear();
    m_date1904 = false;
    m_bof.reset();
    m_eof.reset();
}

// Structural damage (a short record, a misplaced BOF, a missing EOF) fails
// the load; cosmetic damage in a record that is only consulted for formats
// is passed over where it is read.
void TxlsGlobals::Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof)
{
    Clear();
    for (;;) {
        if (stream.remaining() < 4)
            throw Exception(XlsMsg::FileInvalid());
        const TBIFF_Header h = ReadHeader(stream);
        std::unique_ptr<TbiffRecord> record = LoadRecord(this, stream, h);
        switch (h.Id) {
        case BIFF::EOF_:
            m_eof.reset(static_cast<TbiffEOF *>(record.release()));
            m_bof = std::move(bof);
            return;
        case BIFF::NAME: m_names.Add(std::unique_ptr<TbiffName>(static_cast<TbiffName *>(record.release()))); break;
        case BIFF::BOUNDSHEET:
            m_boundSheets.Add(std::unique_ptr<TbiffBoundSheet>(static_cast<TbiffBoundSheet *>(record.release())));
            break;
        case BIFF::XF: m_xfs.Add(std::unique_ptr<TbiffXF>(static_cast<TbiffXF *>(record.release()))); break;
        case BIFF::SST: LoadSST(static_cast<const TbiffSST &>(*record)); break;
        case BIFF::FORMAT:
            if (static_cast<const TbiffFormat &>(*record).FormatIndex() >= 0)
                m_formats.Add(std::unique_ptr<TbiffFormat>(static_cast<TbiffFormat *>(record.release())));
            break;
        case BIFF::DATEMODE: m_date1904 = record->Size() >= 2 && GetWord(record->Data(), 0) == 1; break;
        case BIFF::BOF: throw Exception(XlsMsg::FileInvalid());
        default: break;
        }
    }
}

void TxlsGlobals::LoadSST(const TbiffSST &sst)
{
    const uint32_t count = sst.GetCount();
    TxlsRecordReader r(&sst, 8);
    // Every string takes at least three bytes, so the count read from the
    // file cannot reserve more than the record chain can hold.
    qsizetype chain = 0;
    for (const TbiffRecord *p = &sst; p; p = p->Continue())
        chain += p->Size();
    m_sst.Reserve(qMin<qsizetype>(count, chain / 3));
    for (uint32_t i = 0; i < count; ++i) {
        // Some writers count more strings than they store; the table ends
        // with its records.
        if (r.AtEnd()) {
            qCWarning(lcXls) << "SST holds" << i << "of" << count << "strings";
            break;
        }
        m_sst.Add(r.ReadString(2));
    }
}

QString TxlsSheet::GetName() const
{
    // The BOUNDSHEET record that points at this sheet's BOF, so that
    // passed-over chart sheets do not shift the names.
    const TbiffBoundSheetList &list = m_workbook->Globals().BoundSheets();
    if (m_bof)
        for (int i = 0; i < list.Count(); ++i)
            if (qsizetype(list.Items(i)->GetStreamPos()) == m_bof->StreamPos)
                return list.Items(i)->GetName();
    return list.GetName(m_index);
}

void TxlsWorkSheet::Clear()
{
    m_rows.Clear();
    m_cols.Clear();
    m_cells.clear();
}

void TxlsWorkSheet::AddCell(std::unique_ptr<TbiffCell> cell)
{
    const int r = cell->GetRow();
    const int c = cell->GetCol();
    m_rows.Grow(r + 1);
    m_rows.Items(r).Add(cell.get());
    m_cols.Grow(c + 1);
    m_cols.Items(c).Add(cell.get());
    m_cells.push_back(std::move(cell));
}

TbiffCell *TxlsWorkSheet::GetCells(int row, int col)
{
    if (row < 0 || row > 65535)
        throw ExlsFileError(QStringLiteral("Invalid Row (%1)").arg(row));
    if (col < 0 || col > 255)
        throw ExlsFileError(QStringLiteral("Invalid Column (%1)").arg(col));
    if (row >= GetRowCount() || col >= GetColCount())
        return nullptr;
    TxlsRow &r = m_rows.Items(row);
    int index;
    return r.Find(col, index) ? r.Items(index) : nullptr;
}

void TxlsWorkSheet::Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof)
{
    Clear();
    TbiffShrFmlaList sharedFormulas;
    TbiffFormula *lastFormula = nullptr;
    for (;;) {
        if (stream.remaining() < 4)
            throw Exception(XlsMsg::FileInvalid());
        const TBIFF_Header h = ReadHeader(stream);
        std::unique_ptr<TbiffRecord> record = LoadRecord(this, stream, h);
        switch (h.Id) {
        case BIFF::EOF_:
            m_eof.reset(static_cast<TbiffEOF *>(record.release()));
            m_bof = std::move(bof);
            return;
        case BIFF::BOF:
            // A chart embedded in the sheet is a sub-stream of its own.
            SkipSubstream(stream);
            break;
        case BIFF::FORMULA:
            lastFormula = static_cast<TbiffFormula *>(record.get());
            AddCell(std::unique_ptr<TbiffCell>(static_cast<TbiffCell *>(record.release())));
            break;
        case BIFF::BLANK:
        case BIFF::NUMBER:
        case BIFF::BOOLERR:
        case BIFF::LABELSST:
        case BIFF::RK:
            AddCell(std::unique_ptr<TbiffCell>(static_cast<TbiffCell *>(record.release())));
            break;
        case BIFF::MULRK:
        case BIFF::MULBLANK: {
            auto &run = static_cast<TbiffMultiple &>(*record);
            while (!run.GetEOF())
                AddCell(run.GetCell());
            break;
        }
        case BIFF::SHRFMLA:
            sharedFormulas.Add(std::unique_ptr<TbiffShrFmla>(static_cast<TbiffShrFmla *>(record.release())));
            break;
        case BIFF::STRING:
            if (!lastFormula)
                throw Exception(XlsMsg::FileInvalid());
            lastFormula->SetStringResult(static_cast<const TbiffString &>(*record).GetValue());
            break;
        default: break;
        }
    }
}

// ---------------------------------------------------------------- workbook

TxlsWorkbook::TxlsWorkbook(TxlsFile *file) : m_file(file), m_globals(this) {}

TxlsWorkbook::~TxlsWorkbook() = default;

void TxlsWorkbook::Clear()
{
    m_workSheets.Clear();
    m_sheets.Clear();
    m_globals.Clear();
    m_stream.clear();
}

void TxlsWorkbook::Load(const QByteArray &stream)
{
    Clear();
    m_stream = stream;
    TByteReader reader(m_stream);
    try {
        LoadSections(reader);
    } catch (const EReadError &e) {
        qCWarning(lcXls) << e.Message();
        throw Exception(XlsMsg::FileInvalid());
    }
    m_globals.SST().Sort();
}

void TxlsWorkbook::LoadSections(TByteReader &stream)
{
    while (stream.remaining() >= 4) {
        const qsizetype at = stream.pos();
        const TBIFF_Header h = ReadHeader(stream);
        if (h.Id == BIFF::EOF_ || h.Id == 0)
            break;
        std::unique_ptr<TbiffRecord> record = LoadRecord(&m_globals, stream, h);
        if (h.Id != BIFF::BOF)
            throw Exception(XlsMsg::FileInvalid());
        std::unique_ptr<TbiffBOF> bof(static_cast<TbiffBOF *>(record.release()));
        bof->StreamPos = at;
        switch (bof->GetBOFType()) {
        case BIFF::BOF_GLOBALS:
            // One workbook has one globals sub-stream: a second one would
            // take the shared strings away from the cells already read.
            if (m_globals.BOF())
                throw Exception(XlsMsg::FileInvalid());
            m_globals.Load(stream, std::move(bof));
            break;
        case BIFF::BOF_WORKSHEET: {
            auto sheet = std::make_unique<TxlsWorkSheet>(this);
            TxlsWorkSheet *ws = sheet.get();
            ws->SetIndex(m_sheets.Add(std::move(sheet)));
            ws->Load(stream, std::move(bof));
            m_workSheets.Add(ws);
            break;
        }
        case BIFF::BOF_CHART:
        case BIFF::BOF_MACROSHEET:
            // Chart and macro sheets hold no cells to read; passing over
            // their records lets the sheets after them load.
            SkipSubstream(stream);
            break;
        default:
            throw Exception(XlsMsg::FileInvalid());
        }
    }
}

// ---------------------------------------------------------------- file

TxlsFile::TxlsFile() : m_workbook(this) {}

TxlsFile::TxlsFile(const QString &fileName) : m_fileName(fileName), m_workbook(this) {}

TxlsFile::~TxlsFile() = default;

void TxlsFile::Clear()
{
    m_workbook.Clear();
    m_loaded = false;
}

void TxlsFile::Open()
{
    if (m_fileName.isEmpty())
        throw ExlsFileError(QStringLiteral("File name is not defined"));
    if (!QFileInfo(m_fileName).isFile())
        throw ExlsFileError(QStringLiteral("File %1 does not exist").arg(m_fileName));
    auto file = std::make_unique<QFile>(m_fileName);
    if (!file->open(QIODevice::ReadOnly))
        throw ExlsFileError(QStringLiteral("File %1 does not exist").arg(m_fileName));
    m_file = std::move(file);
    OpenStream(m_file.get());
}

void TxlsFile::OpenStream(QIODevice *device)
{
    if (!TCompoundFile::IsCompoundFile(device))
        throw ExlsFileError(QStringLiteral("File %1 is not an Excel Workbook").arg(m_fileName));
    try {
        TCompoundFile cfb(device);
        for (const TCompoundEntry &e : cfb.RootEntries()) {
            if (e.Type == TCompoundEntry::etStream && e.Name == QLatin1String("Workbook")) {
                m_stream = cfb.ReadStream(e);
                return;
            }
        }
    } catch (const ECompoundFileError &e) {
        qCWarning(lcXls) << m_fileName << e.Message();
        throw Exception(XlsMsg::FileInvalid());
    }
    throw ExlsFileError(QStringLiteral("File %1 is not an Excel Workbook").arg(m_fileName));
}

void TxlsFile::Close()
{
    m_stream.clear();
    m_file.reset();
}

void TxlsFile::Load()
{
    m_loaded = false;
    try {
        Open();
        m_workbook.Load(m_stream);
    } catch (...) {
        Close();
        throw;
    }
    Close();
    m_loaded = true;
}

void TxlsFile::LoadFromDevice(QIODevice *device)
{
    m_loaded = false;
    try {
        OpenStream(device);
        m_workbook.Load(m_stream);
    } catch (...) {
        Close();
        throw;
    }
    Close();
    m_loaded = true;
}
