#include "xlsfile.h"

#include "bytereader.h"
#include "compoundfile.h"
#include "conversions.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <variant>

namespace {

// Days between the 1900 and the 1904 date systems.
constexpr double kDays1904 = 1462;
// 1 January of the year 1 and 1 January 10000 as date-time values.
constexpr double kFirstDate = -693593;
constexpr double kPastLastDate = 2958466;

// Bounds-checked field access of record data: a record too short for the
// field it is read for is damaged. The checks run for every cell object
// made, so the raising stays out of their way.
[[noreturn]] Q_DECL_COLD_FUNCTION void RaiseInvalidRecord(const TbiffRecord &r)
{
    throw ExlsFileError(QStringLiteral("Record with ID 0x%1 is invalid").arg(r.Id(), 0, 16));
}

uint16_t Word(const TbiffRecord &r, qsizetype pos)
{
    const QByteArrayView d = r.Data();
    if (pos < 0 || 2 > d.size() - pos)
        RaiseInvalidRecord(r);
    return GetWord(d, pos);
}

uint8_t Byte(const TbiffRecord &r, qsizetype pos)
{
    const QByteArrayView d = r.Data();
    if (pos < 0 || pos >= d.size())
        RaiseInvalidRecord(r);
    return uint8_t(d[pos]);
}

void RequireSize(const TbiffRecord &r, qsizetype size)
{
    if (r.Size() < size)
        RaiseInvalidRecord(r);
}

uint16_t Le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
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
    m_row = Le16(data.data());
    m_col = Le16(data.data() + 2);
}

TbiffColRow::TbiffColRow(TxlsSection *section, uint16_t id, int row, int col)
    : TbiffRecord(section, id, QByteArrayView()), m_row(uint16_t(row)), m_col(uint16_t(col))
{
}

// ---------------------------------------------------------------- cells

TbiffCell::TbiffCell(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffColRow(section, id, data)
{
    RequireSize(*this, 6);
    // Record data lies in the workbook's own copy of its stream, so a cell
    // may write its fields back.
    m_fields = const_cast<char *>(data.data()) + 4;
}

TbiffCell::TbiffCell(TxlsSection *section, uint16_t id, int row, int col, int xf)
    : TbiffColRow(section, id, row, col), m_fields(m_own)
{
    qToLittleEndian<quint16>(uint16_t(xf), m_own);
}

TbiffCell::TbiffCell(TxlsSection *section, uint16_t id, int row, int col, char *fields)
    : TbiffColRow(section, id, row, col), m_fields(fields)
{
}

int TbiffCell::GetXFIndex() const
{
    return Le16(m_fields);
}

void TbiffCell::SetXFIndex(int xf)
{
    qToLittleEndian<quint16>(uint16_t(xf), m_fields);
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
    const int xf = GetXFIndex();
    if (xf >= xfs.Count())
        return 0;
    return xfs.Items(xf)->FormatIndex();
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
    return Section()->Workbook()->Globals().IsDateXF(GetXFIndex());
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
        return FloatToStr(number);
    const double whole = std::trunc(v);
    if (v == whole)
        return DateToStr(v);
    if (whole == 0)
        return TimeToStr(v);
    return DateToStr(v) + u' ' + TimeToStr(v);
}

TbiffBlank::TbiffBlank(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data) {}

TbiffBlank::TbiffBlank(TxlsSection *section, int row, int col, int xf) : TbiffCell(section, BIFF::BLANK, row, col, xf)
{
}

TbiffBlank::TbiffBlank(TxlsSection *section, int row, int col, char *fields)
    : TbiffCell(section, BIFF::BLANK, row, col, fields)
{
}

TbiffNumber::TbiffNumber(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 14);
}

double TbiffNumber::GetAsFloat() const
{
    return qFromLittleEndian<double>(Value());
}

void TbiffNumber::SetAsFloat(double value)
{
    qToLittleEndian<double>(value, Value());
}

// A NUMBER record takes the same date test as an RK one: writers store
// date-times that have no RK form (any time with seconds) as NUMBER.
TbiffCellType TbiffNumber::GetCellType() const
{
    return HasDateFormat() ? bctDateTime : bctNumeric;
}

QString TbiffNumber::GetAsString() const
{
    return NumberText(GetAsFloat(), GetCellType() == bctDateTime);
}

void TbiffNumber::SetAsString(const QString &value)
{
    double v;
    if (!TryStrToFloat(value, v))
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value));
    SetAsFloat(v);
}

TDateTime TbiffNumber::GetAsDateTime() const
{
    return ToDateTime(GetAsFloat());
}

void TbiffNumber::SetAsVariant(const QVariant &value)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value.toString()));
    SetAsFloat(v);
}

TbiffRK::TbiffRK(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 10);
}

TbiffRK::TbiffRK(TxlsSection *section, int row, int col, int xf, uint32_t rk)
    : TbiffCell(section, BIFF::RK, row, col, xf)
{
    qToLittleEndian<quint32>(rk, Value());
}

TbiffRK::TbiffRK(TxlsSection *section, int row, int col, char *fields) : TbiffCell(section, BIFF::RK, row, col, fields)
{
}

double TbiffRK::GetAsFloat() const
{
    return DecodeRK(qFromLittleEndian<quint32>(Value()));
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
        if (!TryStrToDateTime(value, v))
            throw EConvertError(QStringLiteral("\"%1\" is not a valid date and time").arg(value));
        if (Section()->Workbook()->Globals().Date1904())
            v -= kDays1904;
    } else if (!TryStrToFloat(value, v)) {
        throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(value));
    }
    SetAsFloat(v);
}

void TbiffRK::SetAsFloat(double value)
{
    uint32_t rk;
    if (!EncodeRK(value, rk))
        throw ExlsFileError(QStringLiteral("Invalid cell value: '%1'").arg(FloatToStr(value)));
    qToLittleEndian<quint32>(rk, Value());
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
}

void TbiffBoolErr::SetAsBoolean(bool value)
{
    Value()[0] = value ? 1 : 0;
    Value()[1] = 0;
}

QVariant TbiffBoolErr::GetAsVariant() const
{
    if (GetIsError())
        return ErrCodeToString(uint8_t(Value()[0]));
    return GetAsBoolean();
}

void TbiffBoolErr::SetAsVariant(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool) {
        SetAsBoolean(value.toBool());
        return;
    }
    if (value.typeId() == QMetaType::QString) {
        Value()[0] = char(StringToErrCode(value.toString()));
        Value()[1] = 1;
        return;
    }
    if (!value.isValid() || value.isNull())
        throw ExlsFileError(QStringLiteral("Invalid cell value: '%1'").arg(value.toString()));
    throw Exception(QStringLiteral("Invalid cell value: '%1'").arg(value.toString()));
}

TbiffLabelSST::TbiffLabelSST(TxlsSection *section, uint16_t id, QByteArrayView data) : TbiffCell(section, id, data)
{
    RequireSize(*this, 10);
    if (!Entry())
        throw Exception(XlsMsg::FileInvalid());
}

TxlsSSTEntry *TbiffLabelSST::Entry() const
{
    return GetSSTList().ById(qFromLittleEndian<quint32>(Value()));
}

QString TbiffLabelSST::GetAsString() const
{
    const TxlsSSTEntry *entry = Entry();
    return entry ? entry->Value.GetValue() : QString();
}

void TbiffLabelSST::SetAsString(const QString &value)
{
    TbiffSSTList &sst = GetSSTList();
    TxlsSSTEntry *old = Entry();
    const TxlsSSTEntry *entry = sst.Items(sst.AddString(value));
    qToLittleEndian<quint32>(entry->Id, Value());
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
    case QMetaType::Double: return FloatToStr(m_value.toDouble());
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
    if (IsWide(text))
        m_options = 0x01;
    m_value = text;
}

QString TxlsString::GetValue() const
{
    return m_value;
}

int TxlsString::Compare(const TxlsString &other) const
{
    if (m_lenOfLen != other.m_lenOfLen)
        return m_lenOfLen < other.m_lenOfLen ? -1 : 1;
    if (m_options != other.m_options)
        return m_options < other.m_options ? -1 : 1;
    if (m_options & 0x01)
        return CompareWideStr(m_value, other.m_value);
    // 8-bit texts order as their bytes do: a shorter prefix comes first.
    const int c = QStringView(m_value).compare(QStringView(other.m_value));
    return c == 0 ? 0 : (c < 0 ? -1 : 1);
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
    s.m_value.reserve(count);
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
            if (partWide)
                s.m_options |= 0x01;
        }
        TByteReader r(m_record->Data());
        r.seek(m_pos);
        const int width = partWide ? 2 : 1;
        const int take = int(qMin<qsizetype>(count - read, r.remaining() / width));
        if (take == 0 && r.remaining() > 0)
            throw ExlsFileError(XlsMsg::ReadingRecord()); // half a 16-bit character
        if (partWide) {
            for (int i = 0; i < take; ++i)
                s.m_value.append(QChar(r.u16le("string characters")));
        } else {
            // 8-bit characters are the first 256 code points (the mapping
            // of StringToWideStringNoCodePage), appended without a temporary.
            s.m_value.append(QLatin1StringView(r.bytes(take)));
        }
        m_pos = r.pos();
        read += take;
    }
}

// ---------------------------------------------------------------- lists

void TbiffSSTList::Add(TxlsString s)
{
    m_items.push_back(std::make_unique<TxlsSSTEntry>(std::move(s), uint32_t(m_byId.size())));
    m_byId.push_back(m_items.back().get());
}

void TbiffSSTList::Clear()
{
    m_items.clear();
    m_byId.clear();
}

void TbiffSSTList::Reserve(qsizetype n)
{
    m_items.reserve(size_t(n));
    m_byId.reserve(size_t(n));
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
    if (!Find(s, index)) {
        m_items.insert(m_items.begin() + index, std::make_unique<TxlsSSTEntry>(std::move(s), uint32_t(m_byId.size())));
        m_byId.push_back(m_items[size_t(index)].get());
    }
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

int TxlsRow::Number() const
{
    return m_count ? m_sheet->RowOf(m_first) : -1;
}

int TxlsRow::MinIndex() const
{
    return m_count ? m_sheet->m_colOf[m_first] : -1;
}

int TxlsRow::MaxIndex() const
{
    return m_count ? m_sheet->m_colOf[m_first + m_count - 1] : -1;
}

TbiffCell *TxlsRow::Items(int i) const
{
    return m_sheet->CellAt(m_first + uint32_t(i));
}

bool TxlsRow::Find(int col, int &index) const
{
    if (m_count == 0) {
        index = 0;
        return false;
    }
    const uint16_t *first = m_sheet->m_colOf.data() + m_first;
    const uint16_t *last = first + m_count;
    // Of two records for one cell the later one counts, as in Excel.
    // A row filled from column 0 on holds each column at its own position.
    if (uint32_t(col) < m_count && first[col] == col && (uint32_t(col) + 1 == m_count || first[col + 1] != col)) {
        index = col;
        return true;
    }
    const uint16_t *it = std::upper_bound(first, last, col, [](int k, uint16_t c) { return k < int(c); });
    if (it != first && int(*(it - 1)) == col) {
        index = int(it - first) - 1;
        return true;
    }
    index = int(it - first);
    return false;
}

void TxlsCol::Index() const
{
    if (m_cells.size() == m_count)
        return;
    m_cells.clear();
    m_cells.reserve(m_count);
    const std::vector<uint16_t> &cols = m_sheet->m_colOf;
    for (size_t i = 0; i < cols.size(); ++i)
        if (int(cols[i]) == m_number)
            m_cells.push_back(uint32_t(i));
}

TbiffCell *TxlsCol::Items(int i) const
{
    Index();
    return m_sheet->CellAt(m_cells[size_t(i)]);
}

bool TxlsCol::Find(int row, int &index) const
{
    Index();
    const auto it = std::upper_bound(m_cells.begin(), m_cells.end(), row,
                                     [this](int k, uint32_t cell) { return k < m_sheet->RowOf(cell); });
    if (it != m_cells.begin() && m_sheet->RowOf(*(it - 1)) == row) {
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
    m_dateXFs.clear();
    m_dateXFsFormats = -1;
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

bool TxlsGlobals::IsDateXF(int xf)
{
    if (m_dateXFs.size() != size_t(m_xfs.Count()) || m_dateXFsFormats != m_formats.Count()) {
        m_dateXFs.resize(size_t(m_xfs.Count()));
        for (int i = 0; i < m_xfs.Count(); ++i)
            m_dateXFs[size_t(i)] = IsDateFormat(m_xfs.Items(i)->FormatIndex());
        m_dateXFsFormats = m_formats.Count();
    }
    // An XF index past the list is cosmetic damage: the cell keeps General.
    return xf >= 0 && size_t(xf) < m_dateXFs.size() && m_dateXFs[size_t(xf)];
}

bool TxlsGlobals::IsDateFormat(int f)
{
    if (f <= 49)
        return f >= 14 && f <= 22;
    // A user format is its own FORMAT record's text: writers number them
    // from 164. Format codes ignore case, and writers use both ("YYYY-MM-DD"),
    // so the letters count in either case; quoted and escaped literals and
    // bracketed colours and conditions are no part of the pattern.
    const QString text = m_formats.GetFormat(f);
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

// The objects the sheet hands out for cells that are not kept as objects:
// a ring, reused from the oldest.
struct TxlsWorkSheet::Views
{
    using Slot = std::variant<std::monostate, TbiffBlank, TbiffNumber, TbiffRK, TbiffBoolErr, TbiffLabelSST>;
    std::unique_ptr<Slot[]> objects = std::make_unique<Slot[]>(kCellObjects);
    int next = 0;

    Slot &Take()
    {
        Slot &slot = objects[size_t(next)];
        next = (next + 1) % kCellObjects;
        return slot;
    }
};

TxlsWorkSheet::TxlsWorkSheet(TxlsWorkbook *workbook) : TxlsSheet(workbook) {}

TxlsWorkSheet::~TxlsWorkSheet() = default;

void TxlsWorkSheet::Clear()
{
    m_rows.Clear();
    m_cols.Clear();
    m_views.reset();
    m_refs.clear();
    m_colOf.clear();
    m_owned.clear();
}

void TxlsWorkSheet::AddRef(uint32_t ref, uint16_t col)
{
    m_refs.push_back(ref);
    m_colOf.push_back(col);
}

void TxlsWorkSheet::AddCell(std::unique_ptr<TbiffCell> cell)
{
    const uint16_t col = uint16_t(cell->GetCol());
    m_owned.push_back(std::move(cell));
    AddRef(kOwned | uint32_t(m_owned.size() - 1), col);
    // A load indexes its cells once at the end.
    if (!m_loading)
        BuildIndex();
}

int TxlsWorkSheet::RowOf(uint32_t index) const
{
    const uint32_t ref = m_refs[index];
    if (ref & kOwned)
        return m_owned[ref & ~kOwned]->GetRow();
    // Every cell record and run record starts with its row.
    return Le16(m_workbook->StreamData() + ref);
}

void TxlsWorkSheet::BuildIndex()
{
    // Writers store cells row by row and left to right, which one pass
    // over the cells confirms while it makes the rows and columns. Any
    // other order is sorted, stably, so that of two records for one cell
    // the later one stays last, and the pass is made again.
    if (!IndexRowsAndCols()) {
        SortCells();
        IndexRowsAndCols();
    }
}

bool TxlsWorkSheet::IndexRowsAndCols()
{
    const uint32_t n = uint32_t(m_refs.size());
    m_rows.m_items.clear();
    m_cols.m_items.clear();
    if (n == 0)
        return true;
    // In order, the last cell is in the last row, so the rows take no more
    // room than they need.
    const int lastRow = RowOf(n - 1);
    m_rows.m_items.resize(size_t(lastRow) + 1);
    m_cols.m_items.resize(size_t(*std::max_element(m_colOf.begin(), m_colOf.end())) + 1);
    for (TxlsRow &row : m_rows.m_items)
        row.m_sheet = this;
    for (TxlsCol &col : m_cols.m_items)
        col.m_sheet = this;
    int before = 0;
    int beforeCol = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const int r = RowOf(i);
        const int c = m_colOf[i];
        if (r < before || (r == before && c < beforeCol) || r > lastRow)
            return false;
        before = r;
        beforeCol = c;
        TxlsRow &row = m_rows.m_items[size_t(r)];
        if (row.m_count++ == 0)
            row.m_first = i;
        TxlsCol &col = m_cols.m_items[size_t(c)];
        if (col.m_count++ == 0) {
            col.m_number = c;
            col.m_min = r;
        }
        col.m_max = r;
    }
    return true;
}

void TxlsWorkSheet::SortCells()
{
    const uint32_t n = uint32_t(m_refs.size());
    std::vector<uint32_t> keys(n);
    for (uint32_t i = 0; i < n; ++i)
        keys[i] = uint32_t(RowOf(i)) << 16 | m_colOf[i];
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    std::vector<uint32_t> refs(n);
    std::vector<uint16_t> cols(n);
    for (uint32_t i = 0; i < n; ++i) {
        refs[i] = m_refs[order[i]];
        cols[i] = m_colOf[order[i]];
    }
    m_refs = std::move(refs);
    m_colOf = std::move(cols);
}

TbiffCell *TxlsWorkSheet::CellAt(uint32_t index)
{
    const uint32_t ref = m_refs[index];
    if (ref & kOwned)
        return m_owned[ref & ~kOwned].get();
    if (!m_views)
        m_views = std::make_unique<Views>();
    char *data = m_workbook->StreamData() + ref;
    const uint16_t id = Le16(data - 4);
    const QByteArrayView bytes(data, Le16(data - 2));
    Views::Slot &slot = m_views->Take();
    switch (id) {
    case BIFF::BLANK: return &slot.emplace<TbiffBlank>(this, id, bytes);
    case BIFF::NUMBER: return &slot.emplace<TbiffNumber>(this, id, bytes);
    case BIFF::RK: return &slot.emplace<TbiffRK>(this, id, bytes);
    case BIFF::BOOLERR: return &slot.emplace<TbiffBoolErr>(this, id, bytes);
    case BIFF::LABELSST: return &slot.emplace<TbiffLabelSST>(this, id, bytes);
    default: break;
    }
    // A cell of a run: row and first column, then one entry per column of
    // XF index and RK value (MULRK) or XF index alone (MULBLANK).
    const int row = Le16(data);
    const int col = m_colOf[index];
    const uint16_t entry = uint16_t(col - Le16(data + 2));
    if (id == BIFF::MULRK)
        return &slot.emplace<TbiffRK>(this, row, col, data + 4 + 6 * qsizetype(entry));
    return &slot.emplace<TbiffBlank>(this, row, col, data + 4 + 2 * qsizetype(entry));
}

TbiffCell *TxlsWorkSheet::GetCells(int row, int col)
{
    if (row < 0 || row > 65535)
        throw ExlsFileError(QStringLiteral("Invalid Row (%1)").arg(row));
    if (col < 0 || col > 255)
        throw ExlsFileError(QStringLiteral("Invalid Column (%1)").arg(col));
    if (row >= GetRowCount() || col >= GetColCount())
        return nullptr;
    const TxlsRow &r = m_rows.m_items[size_t(row)];
    int index;
    return r.Find(col, index) ? r.Items(index) : nullptr;
}

namespace {

// The checks a cell record's own class makes of it, on an object that
// lives for this step only.
void CheckCellRecord(TxlsSection *sheet, uint16_t id, QByteArrayView data)
{
    switch (id) {
    case BIFF::BLANK: (void)TbiffBlank{sheet, id, data}; break;
    case BIFF::NUMBER: (void)TbiffNumber{sheet, id, data}; break;
    case BIFF::RK: (void)TbiffRK{sheet, id, data}; break;
    case BIFF::BOOLERR: (void)TbiffBoolErr{sheet, id, data}; break;
    case BIFF::LABELSST: ++TbiffLabelSST{sheet, id, data}.Entry()->RefCount; break;
    default: break;
    }
}

} // namespace

void TxlsWorkSheet::Load(TByteReader &stream, std::unique_ptr<TbiffBOF> bof)
{
    Clear();
    m_loading = true;
    // Most cell records take 14 bytes with their header; capacity that is
    // never used is never touched.
    const size_t guess = size_t(qMin<qsizetype>(stream.remaining() / 14, 65536 * 256));
    m_refs.reserve(guess);
    m_colOf.reserve(guess);
    const char *base = m_workbook->StreamData();
    TbiffShrFmlaList sharedFormulas;
    TbiffFormula *lastFormula = nullptr;
    try {
        for (;;) {
            if (stream.remaining() < 4)
                throw Exception(XlsMsg::FileInvalid());
            const qsizetype at = stream.pos();
            const TBIFF_Header h = ReadHeader(stream);
            switch (h.Id) {
            case BIFF::ROW:
            case BIFF::DBCELL:
            case BIFF::BLANK:
            case BIFF::NUMBER:
            case BIFF::BOOLERR:
            case BIFF::LABELSST:
            case BIFF::RK: {
                // A cell record is kept as where it is; no object is made.
                // Nor is one made for the row records writers put before
                // each row and block of rows, which the sheet passes over.
                if (h.Size > stream.remaining())
                    throw Exception(XlsMsg::FileInvalid());
                const QByteArrayView data = stream.bytes(h.Size, "record data");
                const bool cell = h.Id != BIFF::ROW && h.Id != BIFF::DBCELL;
                if (cell)
                    CheckCellRecord(this, h.Id, data);
                if (stream.remaining() >= 4) {
                    const uint16_t next = Le16(data.data() + data.size());
                    // CONTINUE and STRING records after it take the general
                    // reading, which passes over the one and refuses the other.
                    if (next == BIFF::CONTINUE || next == BIFF::STRING) {
                        stream.seek(at + 4);
                        (void)LoadRecord(this, stream, h);
                    }
                }
                if (cell)
                    AddRef(uint32_t(data.data() - base), Le16(data.data() + 2));
                continue;
            }
            default: break;
            }
            std::unique_ptr<TbiffRecord> record = LoadRecord(this, stream, h);
            switch (h.Id) {
            case BIFF::EOF_:
                m_eof.reset(static_cast<TbiffEOF *>(record.release()));
                m_bof = std::move(bof);
                m_loading = false;
                BuildIndex();
                return;
            case BIFF::BOF:
                // A chart embedded in the sheet is a sub-stream of its own.
                SkipSubstream(stream);
                break;
            case BIFF::FORMULA:
                lastFormula = static_cast<TbiffFormula *>(record.get());
                AddCell(std::unique_ptr<TbiffCell>(static_cast<TbiffCell *>(record.release())));
                break;
            case BIFF::MULRK:
            case BIFF::MULBLANK: {
                auto &run = static_cast<TbiffMultiple &>(*record);
                const uint32_t ref = uint32_t(run.Data().data() - base);
                for (int i = 0; !run.GetEOF(); ++i, run.Advance())
                    AddRef(ref, uint16_t(run.GetCol() + i));
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
    } catch (...) {
        // A failed load leaves the sheet with the cells read so far.
        m_loading = false;
        BuildIndex();
        throw;
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

void TxlsWorkbook::Load(QByteArray stream)
{
    Clear();
    // Cells are kept as 31-bit offsets into the stream; a BIFF8 workbook
    // never comes near that size.
    if (stream.size() >= qsizetype(0x80000000)) {
        qCWarning(lcXls) << "workbook stream of" << stream.size() << "bytes";
        throw Exception(XlsMsg::FileInvalid());
    }
    m_stream = std::move(stream);
    m_stream.detach();
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
        m_workbook.Load(std::move(m_stream));
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
        m_workbook.Load(std::move(m_stream));
    } catch (...) {
        Close();
        throw;
    }
    Close();
    m_loaded = true;
}
