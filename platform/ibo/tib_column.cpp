#include "tib_column.h"

#include "codepages.h"
#include "conversions.h"
#include "fbapi_p.h"
#include "tib_row.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <cmath>
#include <cstring>
#include <limits>

using namespace ibo;

namespace {

// Firebird counts dates from 17 November 1858 (the modified Julian day 0),
// TDateTime from 30 December 1899: 15018 days later.
constexpr int32_t DateOffset = 15018;
// ISC_TIME counts units of 1/10000 second.
constexpr int64_t TimeUnitsPerDay = 864000000;

// Character sets whose CHAR/VARCHAR lengths are counted in bytes of several per character.
int BytesPerCharacter(unsigned charSet)
{
    switch (charSet & 0xFF) {
    case 3: // UNICODE_FSS
        return 3;
    case 4:  // UTF8
    case 69: // GB18030
        return 4;
    case 5: case 6: case 44: case 56: case 57: case 64: case 67: case 68: // SJIS, EUCJ, KSC, BIG5, GB2312, ...
        return 2;
    default:
        return 1;
    }
}

bool IsOctets(unsigned charSet)
{
    return (charSet & 0xFF) == 1;
}

int64_t PowerOfTen(int n)
{
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Divides with rounding half away from zero.
int64_t DivideRounded(int64_t value, int64_t divisor)
{
    const int64_t q = value / divisor;
    const int64_t r = value % divisor;
    if (2 * (r < 0 ? -r : r) >= divisor)
        return q + (value < 0 ? -1 : 1);
    return q;
}

// Characters, as Firebird counts them: code points.
qsizetype CodePoints(const QString &text)
{
    qsizetype n = text.size();
    for (const QChar c : text)
        if (c.isLowSurrogate())
            --n;
    return n;
}

TIB_ColumnKind KindOf(unsigned type, int subType, int scale)
{
    switch (type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (scale == 0)
            return TIB_ColumnKind::Integer;
        return scale >= -4 ? TIB_ColumnKind::Currency : TIB_ColumnKind::Float;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return TIB_ColumnKind::Float;
    case SQL_TEXT:
    case SQL_VARYING:
        return TIB_ColumnKind::Text;
    case SQL_BLOB:
        return subType == 1 ? TIB_ColumnKind::TextBlob : TIB_ColumnKind::Blob;
    case SQL_TYPE_DATE:
        return TIB_ColumnKind::Date;
    case SQL_TYPE_TIME:
        return TIB_ColumnKind::Time;
    case SQL_TIMESTAMP:
        return TIB_ColumnKind::DateTime;
    case SQL_BOOLEAN:
        return TIB_ColumnKind::Boolean;
    default:
        return TIB_ColumnKind::Other;
    }
}

void SplitDateTime(TDateTime value, int32_t &date, uint32_t &time)
{
    if (!std::isfinite(value))
        throw EConvertError(QStringLiteral("Invalid date-time value"));
    // The integer part is the day, the fraction's magnitude the time of day, also before 1899.
    double day = std::trunc(value);
    int64_t units = std::llround(std::fabs(value - day) * double(TimeUnitsPerDay));
    if (units >= TimeUnitsPerDay)
        units = TimeUnitsPerDay - 1;
    if (day > 2958465.0 || day < -693593.0) // 9999-12-31 and 0001-01-01
        throw EConvertError(QStringLiteral("Date-time value %1 is out of range").arg(value));
    date = int32_t(day) + DateOffset;
    time = uint32_t(units);
}

TDateTime JoinDateTime(int32_t date, uint32_t time)
{
    const double day = double(date - DateOffset);
    const double fraction = double(time) / double(TimeUnitsPerDay);
    return day < 0 ? day - fraction : day + fraction;
}

QDate ToQDate(int32_t date)
{
    return QDate(1858, 11, 17).addDays(date);
}

int32_t FromQDate(const QDate &date)
{
    return int32_t(QDate(1858, 11, 17).daysTo(date));
}

QTime ToQTime(uint32_t time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / 10));
}

uint32_t FromQTime(const QTime &time)
{
    return uint32_t(time.msecsSinceStartOfDay()) * 10;
}

// Exact decimal text to a scaled integer: "-12.345" with 2 decimals is -1235
// (the first dropped digit rounds half away from zero).
bool ParseDecimal(const QString &input, int decimals, int64_t &result)
{
    const QString text = input.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    __int128 value = 0;
    int fractionDigits = 0;
    bool seenPoint = false, seenDigit = false, roundUp = false, dropping = false;
    constexpr __int128 Limit = __int128(std::numeric_limits<int64_t>::max()) + 1;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        seenDigit = true;
        if (seenPoint && fractionDigits == decimals) {
            if (!dropping)
                roundUp = c >= u'5';
            dropping = true;
            continue;
        }
        value = value * 10 + (c - u'0');
        if (value > Limit)
            return false;
        if (seenPoint)
            ++fractionDigits;
    }
    if (!seenDigit)
        return false;
    for (; fractionDigits < decimals; ++fractionDigits) {
        value *= 10;
        if (value > Limit)
            return false;
    }
    if (roundUp)
        ++value;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int64_t>::max() || value < std::numeric_limits<int64_t>::min())
        return false;
    result = int64_t(value);
    return true;
}

QString FormatScaled(int64_t raw, int decimals)
{
    if (decimals <= 0)
        return QString::number(raw);
    const bool negative = raw < 0;
    const unsigned __int128 magnitude = negative ? -(__int128)raw : raw;
    const uint64_t divisor = uint64_t(PowerOfTen(decimals));
    const QString whole = QString::number(qulonglong(magnitude / divisor));
    const QString fraction = QString::number(qulonglong(magnitude % divisor)).rightJustified(decimals, u'0');
    return (negative ? QStringLiteral("-") : QString()) + whole + u'.' + fraction;
}

} // namespace

TIB_Column::TIB_Column(TIB_Row *row, int index, const Layout &layout, const QString &fieldName,
                       const QString &relName, const QString &sqlName)
    : m_row(row), m_index(index), m_layout(layout), m_fieldName(fieldName), m_relName(relName),
      m_sqlName(sqlName), m_nullable(layout.nullable)
{
    m_layout.type &= ~1u; // the low bit only says "nullable"
    m_scale = m_layout.scale;
    m_kind = KindOf(m_layout.type, m_layout.subType, m_scale);
    if (m_kind == TIB_ColumnKind::Other || m_relName.isEmpty())
        m_readOnly = true;
}

bool TIB_Column::IsDateTime() const
{
    return m_kind == TIB_ColumnKind::Date || m_kind == TIB_ColumnKind::Time || m_kind == TIB_ColumnKind::DateTime;
}

bool TIB_Column::IsNumeric() const
{
    return m_kind == TIB_ColumnKind::Integer || m_kind == TIB_ColumnKind::Currency || m_kind == TIB_ColumnKind::Float;
}

int TIB_Column::CharLength() const
{
    if (m_kind != TIB_ColumnKind::Text)
        return 0;
    return int(m_layout.length) / BytesPerCharacter(m_layout.charSet);
}

const unsigned char *TIB_Column::Data() const
{
    return m_row->BufferBytes().data() + m_layout.offset;
}

unsigned char *TIB_Column::Data()
{
    return m_row->Buffer() + m_layout.offset;
}

bool TIB_Column::IsNull() const
{
    if (m_pendingBlob)
        return false;
    int16_t flag;
    std::memcpy(&flag, m_row->BufferBytes().data() + m_layout.nullOffset, sizeof flag);
    return flag != 0;
}

void TIB_Column::SetNullFlag(bool null)
{
    const int16_t flag = null ? -1 : 0;
    std::memcpy(m_row->Buffer() + m_layout.nullOffset, &flag, sizeof flag);
}

void TIB_Column::BeginWrite()
{
    m_row->Context()->BeforeColumnWrite(*this);
}

void TIB_Column::Refuse(const QString &reason) const
{
    throw EIB_Error(QStringLiteral("Column %1: %2").arg(m_fieldName, reason));
}

void TIB_Column::NotConvertible(const char *what) const
{
    throw EConvertError(QStringLiteral("Column %1 cannot hold %2").arg(m_fieldName, QLatin1String(what)));
}

void TIB_Column::Clear()
{
    BeginWrite();
    m_pendingBlob.reset();
    SetNullFlag(true);
    m_modified = true;
}

int64_t TIB_Column::RawInteger() const
{
    switch (m_layout.type) {
    case SQL_SHORT: {
        int16_t v;
        std::memcpy(&v, Data(), sizeof v);
        return v;
    }
    case SQL_LONG: {
        int32_t v;
        std::memcpy(&v, Data(), sizeof v);
        return v;
    }
    default: {
        int64_t v;
        std::memcpy(&v, Data(), sizeof v);
        return v;
    }
    }
}

void TIB_Column::StoreRawInteger(int64_t raw)
{
    switch (m_layout.type) {
    case SQL_SHORT: {
        if (raw < std::numeric_limits<int16_t>::min() || raw > std::numeric_limits<int16_t>::max())
            Refuse(QStringLiteral("value out of range"));
        const int16_t v = int16_t(raw);
        std::memcpy(Data(), &v, sizeof v);
        break;
    }
    case SQL_LONG: {
        if (raw < std::numeric_limits<int32_t>::min() || raw > std::numeric_limits<int32_t>::max())
            Refuse(QStringLiteral("value out of range"));
        const int32_t v = int32_t(raw);
        std::memcpy(Data(), &v, sizeof v);
        break;
    }
    default:
        std::memcpy(Data(), &raw, sizeof raw);
        break;
    }
    SetNullFlag(false);
    m_modified = true;
}

// Stores a value given with the stated number of decimals into this column's scale.
void TIB_Column::StoreScaled(int64_t value, int decimals)
{
    const int target = -m_scale;
    int64_t raw;
    if (target >= decimals) {
        if (__builtin_mul_overflow(value, PowerOfTen(target - decimals), &raw))
            Refuse(QStringLiteral("value out of range"));
    } else {
        raw = DivideRounded(value, PowerOfTen(decimals - target));
    }
    StoreRawInteger(raw);
}

unsigned char *TIB_Column::StoreTextOf(qsizetype size, qsizetype characters)
{
    const int limit = CharLength();
    if (size > qsizetype(m_layout.length) || characters > limit)
        Refuse(QStringLiteral("text of %1 characters is too long, the column holds %2").arg(characters).arg(limit));
    unsigned char *data = Data();
    if (m_layout.type == SQL_VARYING) {
        const uint16_t n = uint16_t(size);
        std::memcpy(data, &n, sizeof n);
        data += sizeof n;
    } else {
        std::memset(data + size, IsOctets(m_layout.charSet) ? 0 : ' ', m_layout.length - size_t(size));
    }
    SetNullFlag(false);
    m_modified = true;
    return data;
}

void TIB_Column::StoreText(const QByteArray &bytes, qsizetype characters)
{
    std::memcpy(StoreTextOf(bytes.size(), characters), bytes.constData(), size_t(bytes.size()));
}

void TIB_Column::StoreTimestampParts(int32_t date, uint32_t time)
{
    unsigned char *data = Data();
    switch (m_kind) {
    case TIB_ColumnKind::Date:
        std::memcpy(data, &date, sizeof date);
        break;
    case TIB_ColumnKind::Time:
        std::memcpy(data, &time, sizeof time);
        break;
    default:
        std::memcpy(data, &date, sizeof date);
        std::memcpy(data + sizeof date, &time, sizeof time);
        break;
    }
    SetNullFlag(false);
    m_modified = true;
}

QByteArray TIB_Column::ReadBlob() const
{
    if (m_pendingBlob)
        return *m_pendingBlob;
    if (IsNull())
        return {};
    ISC_QUAD id;
    std::memcpy(&id, Data(), sizeof id);
    ThrowStatus st;
    TIB_RowContext *context = m_row->Context();
    Handle<Firebird::IBlob> blob(context->RowAttachment()->openBlob(&st, context->RowTransaction(), &id, 0, nullptr));
    QByteArray content;
    char chunk[32768];
    for (;;) {
        unsigned got = 0;
        const int result = blob->getSegment(&st, sizeof chunk, chunk, &got);
        if (result != Firebird::IStatus::RESULT_OK && result != Firebird::IStatus::RESULT_SEGMENT)
            break;
        content.append(chunk, got);
    }
    blob.Terminate([&](Firebird::IBlob *b) { b->close(&st); });
    return content;
}

QByteArray TIB_Column::AsBytes() const
{
    if (IsBlob())
        return ReadBlob();
    if (m_kind != TIB_ColumnKind::Text)
        return AsString().toUtf8();
    if (IsNull())
        return {};
    const unsigned char *data = Data();
    if (m_layout.type == SQL_VARYING) {
        uint16_t n;
        std::memcpy(&n, data, sizeof n);
        return QByteArray(reinterpret_cast<const char *>(data + sizeof n), n);
    }
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(m_layout.length));
}

void TIB_Column::SetAsBytes(const QByteArray &value)
{
    if (IsBlob()) {
        BeginWrite();
        m_pendingBlob = value;
        m_modified = true;
        return;
    }
    if (m_kind != TIB_ColumnKind::Text) {
        SetAsString(QString::fromUtf8(value));
        return;
    }
    BeginWrite();
    StoreText(value, IsOctets(m_layout.charSet) ? value.size() : CodePoints(QString::fromUtf8(value)));
}

QString TIB_Column::Text() const
{
    if (IsNull())
        return {};
    switch (m_kind) {
    case TIB_ColumnKind::Currency:
        return CurrToStr(AsCurrency());
    case TIB_ColumnKind::Float:
        return FloatToStr(AsDouble());
    case TIB_ColumnKind::Date:
        return DateToStr(AsDateTime());
    case TIB_ColumnKind::Time:
        return TimeToStr(AsDateTime());
    case TIB_ColumnKind::DateTime:
        return DateTimeToStr(AsDateTime());
    case TIB_ColumnKind::Boolean:
        return AsBoolean() ? QStringLiteral("1") : QStringLiteral("0");
    case TIB_ColumnKind::Blob:
        return DecodeTextLine(ReadBlob());
    case TIB_ColumnKind::Other:
        return {};
    default:
        return AsString();
    }
}

QString TIB_Column::AsString() const
{
    if (IsNull())
        return {};
    switch (m_kind) {
    case TIB_ColumnKind::Text: {
        const QByteArray bytes = AsBytes();
        if (IsOctets(m_layout.charSet))
            return QString::fromLatin1(bytes);
        QString text = QString::fromUtf8(bytes);
        if (m_layout.type == SQL_TEXT) {
            // CHAR values come padded to the column's length.
            qsizetype end = text.size();
            while (end > 0 && text[end - 1] == u' ')
                --end;
            text.truncate(end);
        }
        return text;
    }
    case TIB_ColumnKind::TextBlob:
    case TIB_ColumnKind::Blob:
        return QString::fromUtf8(ReadBlob());
    case TIB_ColumnKind::Integer:
        return QString::number(RawInteger());
    case TIB_ColumnKind::Currency:
        return FormatScaled(RawInteger(), -m_scale);
    case TIB_ColumnKind::Float:
        if (m_layout.type == SQL_SHORT || m_layout.type == SQL_LONG || m_layout.type == SQL_INT64)
            return FormatScaled(RawInteger(), -m_scale);
        return QString::number(AsDouble(), 'g', m_layout.type == SQL_FLOAT ? 7 : 15);
    case TIB_ColumnKind::Date:
        return AsVariant().toDate().toString(Qt::ISODate);
    case TIB_ColumnKind::Time:
        return AsVariant().toTime().toString(Qt::ISODateWithMs);
    case TIB_ColumnKind::DateTime: {
        const QDateTime dt = AsVariant().toDateTime();
        return dt.date().toString(Qt::ISODate) + u' ' + dt.time().toString(Qt::ISODateWithMs);
    }
    case TIB_ColumnKind::Boolean:
        return AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case TIB_ColumnKind::Other:
        break;
    }
    NotConvertible("text");
}

void TIB_Column::SetAsString(const QString &value)
{
    switch (m_kind) {
    case TIB_ColumnKind::Text:
        BeginWrite();
        // ASCII, the common text, is one byte a character in every character set.
        if (QtPrivate::isAscii(value)) {
            unsigned char *out = StoreTextOf(value.size(), value.size());
            for (const QChar c : value)
                *out++ = static_cast<unsigned char>(c.unicode());
            return;
        }
        StoreText(IsOctets(m_layout.charSet) ? value.toLatin1() : value.toUtf8(), CodePoints(value));
        return;
    case TIB_ColumnKind::TextBlob:
    case TIB_ColumnKind::Blob:
        SetAsBytes(value.toUtf8());
        return;
    case TIB_ColumnKind::Integer:
    case TIB_ColumnKind::Currency: {
        int64_t scaled;
        if (!ParseDecimal(value, -m_scale, scaled))
            throw EConvertError(QStringLiteral("'%1' is not a valid number for column %2").arg(value, m_fieldName));
        BeginWrite();
        StoreRawInteger(scaled);
        return;
    }
    case TIB_ColumnKind::Float: {
        if (m_layout.type == SQL_SHORT || m_layout.type == SQL_LONG || m_layout.type == SQL_INT64) {
            int64_t scaled;
            if (!ParseDecimal(value, -m_scale, scaled))
                throw EConvertError(QStringLiteral("'%1' is not a valid number for column %2").arg(value, m_fieldName));
            BeginWrite();
            StoreRawInteger(scaled);
            return;
        }
        bool ok = false;
        const double d = value.trimmed().toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid number for column %2").arg(value, m_fieldName));
        SetAsDouble(d);
        return;
    }
    case TIB_ColumnKind::Date:
    case TIB_ColumnKind::Time:
    case TIB_ColumnKind::DateTime: {
        const QString text = value.trimmed();
        QVariant parsed;
        if (m_kind == TIB_ColumnKind::Time) {
            const QTime t = QTime::fromString(text, Qt::ISODateWithMs);
            if (t.isValid())
                parsed = t;
        } else {
            QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
            if (!dt.isValid()) {
                const QDate dOnly = QDate::fromString(text, Qt::ISODate);
                if (dOnly.isValid())
                    dt = QDateTime(dOnly, QTime(0, 0), Qt::UTC);
            }
            if (dt.isValid())
                parsed = QDateTime(dt.date(), dt.time(), Qt::UTC);
        }
        if (!parsed.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date or time for column %2").arg(value, m_fieldName));
        SetAsVariant(parsed);
        return;
    }
    case TIB_ColumnKind::Boolean: {
        const QString text = value.trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            SetAsBoolean(true);
        else if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            SetAsBoolean(false);
        else
            throw EConvertError(QStringLiteral("'%1' is not a valid boolean for column %2").arg(value, m_fieldName));
        return;
    }
    case TIB_ColumnKind::Other:
        break;
    }
    NotConvertible("text");
}

bool TIB_Column::IsScaledInteger() const
{
    return m_layout.type == SQL_SHORT || m_layout.type == SQL_LONG || m_layout.type == SQL_INT64;
}

int TIB_Column::AsInteger() const
{
    if (IsNull())
        return 0;
    int64_t v;
    switch (m_kind) {
    case TIB_ColumnKind::Integer:
        v = RawInteger();
        break;
    case TIB_ColumnKind::Currency:
    case TIB_ColumnKind::Float: {
        const double d = std::round(AsDouble());
        if (!(d >= double(std::numeric_limits<int>::min()) && d <= double(std::numeric_limits<int>::max())))
            throw EConvertError(QStringLiteral("Value of column %1 is out of the integer range").arg(m_fieldName));
        return int(d);
    }
    case TIB_ColumnKind::Boolean:
        return AsBoolean() ? 1 : 0;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob: {
        bool ok = false;
        v = AsString().trimmed().toLongLong(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer (column %2)").arg(AsString(), m_fieldName));
        break;
    }
    default:
        NotConvertible("an integer");
    }
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EConvertError(QStringLiteral("Value of column %1 is out of the integer range").arg(m_fieldName));
    return int(v);
}

void TIB_Column::SetAsInteger(int value)
{
    SetAsInt64(value);
}

int64_t TIB_Column::AsInt64() const
{
    if (m_kind != TIB_ColumnKind::Integer)
        throw EConvertError(QStringLiteral("Column %1 is not an integer column").arg(m_fieldName));
    return IsNull() ? 0 : RawInteger();
}

void TIB_Column::SetAsInt64(int64_t value)
{
    switch (m_kind) {
    case TIB_ColumnKind::Integer:
    case TIB_ColumnKind::Currency:
        BeginWrite();
        StoreScaled(value, 0);
        return;
    case TIB_ColumnKind::Float:
        if (IsScaledInteger()) {
            BeginWrite();
            StoreScaled(value, 0);
        } else {
            SetAsDouble(double(value));
        }
        return;
    case TIB_ColumnKind::Boolean:
        SetAsBoolean(value != 0);
        return;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob:
    case TIB_ColumnKind::Blob:
        SetAsString(QString::number(value));
        return;
    default:
        NotConvertible("an integer");
    }
}

double TIB_Column::AsDouble() const
{
    if (IsNull())
        return 0;
    switch (m_kind) {
    case TIB_ColumnKind::Integer:
    case TIB_ColumnKind::Currency:
        return double(RawInteger()) / double(PowerOfTen(-m_scale));
    case TIB_ColumnKind::Float:
        if (IsScaledInteger())
            return double(RawInteger()) / double(PowerOfTen(-m_scale));
        if (m_layout.type == SQL_FLOAT) {
            float f;
            std::memcpy(&f, Data(), sizeof f);
            return f;
        } else {
            double d;
            std::memcpy(&d, Data(), sizeof d);
            return d;
        }
    case TIB_ColumnKind::Date:
    case TIB_ColumnKind::Time:
    case TIB_ColumnKind::DateTime:
        return AsDateTime();
    case TIB_ColumnKind::Boolean:
        return AsBoolean() ? 1 : 0;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob: {
        bool ok = false;
        const double d = AsString().trimmed().toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid number (column %2)").arg(AsString(), m_fieldName));
        return d;
    }
    default:
        NotConvertible("a number");
    }
}

void TIB_Column::SetAsDouble(double value)
{
    switch (m_kind) {
    case TIB_ColumnKind::Integer:
    case TIB_ColumnKind::Currency:
    case TIB_ColumnKind::Float: {
        if (!std::isfinite(value))
            Refuse(QStringLiteral("value is not a finite number"));
        if (!IsScaledInteger()) {
            BeginWrite();
            if (m_layout.type == SQL_FLOAT) {
                if (std::fabs(value) > double(std::numeric_limits<float>::max()))
                    Refuse(QStringLiteral("value out of range"));
                const float f = float(value);
                std::memcpy(Data(), &f, sizeof f);
            } else {
                std::memcpy(Data(), &value, sizeof value);
            }
            SetNullFlag(false);
            m_modified = true;
            return;
        }
        const double scaled = std::round(value * double(PowerOfTen(-m_scale)));
        if (!(scaled > -9.2e18 && scaled < 9.2e18))
            Refuse(QStringLiteral("value out of range"));
        BeginWrite();
        StoreRawInteger(int64_t(scaled));
        return;
    }
    case TIB_ColumnKind::Date:
    case TIB_ColumnKind::Time:
    case TIB_ColumnKind::DateTime:
        SetAsDateTime(value);
        return;
    case TIB_ColumnKind::Boolean:
        SetAsBoolean(value != 0);
        return;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob:
    case TIB_ColumnKind::Blob:
        SetAsString(QString::number(value, 'g', 15));
        return;
    default:
        NotConvertible("a number");
    }
}

Currency TIB_Column::AsCurrency() const
{
    if (IsNull())
        return {};
    if (IsScaledInteger()) {
        const int decimals = -m_scale;
        const int64_t raw = RawInteger();
        if (decimals <= 4) {
            Currency c;
            if (__builtin_mul_overflow(raw, PowerOfTen(4 - decimals), &c.Value))
                throw EConvertError(QStringLiteral("Value of column %1 is out of the currency range").arg(m_fieldName));
            return c;
        }
        return Currency{DivideRounded(raw, PowerOfTen(decimals - 4))};
    }
    const double scaled = std::round(AsDouble() * 10000.0);
    if (!(scaled > -9.2e18 && scaled < 9.2e18))
        throw EConvertError(QStringLiteral("Value of column %1 is out of the currency range").arg(m_fieldName));
    return Currency{int64_t(scaled)};
}

void TIB_Column::SetAsCurrency(Currency value)
{
    if (IsScaledInteger()) {
        BeginWrite();
        StoreScaled(value.Value, 4);
        return;
    }
    if (m_kind == TIB_ColumnKind::Text || IsBlob()) {
        SetAsString(FormatScaled(value.Value, 4));
        return;
    }
    SetAsDouble(double(value.Value) / 10000.0);
}

TDateTime TIB_Column::AsDateTime() const
{
    if (IsNull())
        return 0;
    const unsigned char *data = Data();
    int32_t date = DateOffset;
    uint32_t time = 0;
    switch (m_kind) {
    case TIB_ColumnKind::Date:
        std::memcpy(&date, data, sizeof date);
        break;
    case TIB_ColumnKind::Time:
        std::memcpy(&time, data, sizeof time);
        break;
    case TIB_ColumnKind::DateTime:
        std::memcpy(&date, data, sizeof date);
        std::memcpy(&time, data + sizeof date, sizeof time);
        break;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob: {
        const QVariant v = AsVariant();
        const QDateTime dt = QDateTime::fromString(v.toString().trimmed(), Qt::ISODateWithMs);
        if (!dt.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date-time (column %2)").arg(v.toString(), m_fieldName));
        return JoinDateTime(FromQDate(dt.date()), FromQTime(dt.time()));
    }
    default:
        if (IsNumeric())
            return AsDouble();
        NotConvertible("a date-time");
    }
    return JoinDateTime(date, time);
}

void TIB_Column::SetAsDateTime(TDateTime value)
{
    int32_t date;
    uint32_t time;
    switch (m_kind) {
    case TIB_ColumnKind::Date:
    case TIB_ColumnKind::Time:
    case TIB_ColumnKind::DateTime:
        SplitDateTime(value, date, time);
        BeginWrite();
        StoreTimestampParts(date, time);
        return;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob: {
        SplitDateTime(value, date, time);
        SetAsString(ToQDate(date).toString(Qt::ISODate) + u' ' + ToQTime(time).toString(Qt::ISODateWithMs));
        return;
    }
    default:
        if (IsNumeric()) {
            SetAsDouble(value);
            return;
        }
        NotConvertible("a date-time");
    }
}

bool TIB_Column::AsBoolean() const
{
    if (IsNull())
        return false;
    switch (m_kind) {
    case TIB_ColumnKind::Boolean:
        return *Data() != 0;
    case TIB_ColumnKind::Integer:
        return RawInteger() != 0;
    case TIB_ColumnKind::Currency:
    case TIB_ColumnKind::Float:
        return AsDouble() != 0;
    case TIB_ColumnKind::Text: {
        const QString text = AsString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            return false;
        throw EConvertError(QStringLiteral("'%1' is not a valid boolean (column %2)").arg(text, m_fieldName));
    }
    default:
        NotConvertible("a boolean");
    }
}

void TIB_Column::SetAsBoolean(bool value)
{
    switch (m_kind) {
    case TIB_ColumnKind::Boolean: {
        BeginWrite();
        const unsigned char b = value ? 1 : 0;
        *Data() = b;
        SetNullFlag(false);
        m_modified = true;
        return;
    }
    case TIB_ColumnKind::Integer:
    case TIB_ColumnKind::Currency:
    case TIB_ColumnKind::Float:
        SetAsInt64(value ? 1 : 0);
        return;
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob:
        SetAsString(value ? QStringLiteral("True") : QStringLiteral("False"));
        return;
    default:
        NotConvertible("a boolean");
    }
}

QVariant TIB_Column::AsVariant() const
{
    if (IsNull())
        return {};
    const unsigned char *data = Data();
    switch (m_kind) {
    case TIB_ColumnKind::Integer:
        return qlonglong(RawInteger());
    case TIB_ColumnKind::Currency:
    case TIB_ColumnKind::Float:
        return AsDouble();
    case TIB_ColumnKind::Text:
    case TIB_ColumnKind::TextBlob:
        return AsString();
    case TIB_ColumnKind::Blob:
        return ReadBlob();
    case TIB_ColumnKind::Date: {
        int32_t date;
        std::memcpy(&date, data, sizeof date);
        return ToQDate(date);
    }
    case TIB_ColumnKind::Time: {
        uint32_t time;
        std::memcpy(&time, data, sizeof time);
        return ToQTime(time);
    }
    case TIB_ColumnKind::DateTime: {
        int32_t date;
        uint32_t time;
        std::memcpy(&date, data, sizeof date);
        std::memcpy(&time, data + sizeof date, sizeof time);
        return QDateTime(ToQDate(date), ToQTime(time), Qt::UTC);
    }
    case TIB_ColumnKind::Boolean:
        return AsBoolean();
    case TIB_ColumnKind::Other:
        break;
    }
    return {};
}

void TIB_Column::SetAsVariant(const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        Clear();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        SetAsBoolean(value.toBool());
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        SetAsInt64(value.toLongLong());
        return;
    case QMetaType::ULongLong:
        if (value.toULongLong() > qulonglong(std::numeric_limits<int64_t>::max()))
            Refuse(QStringLiteral("value out of range"));
        SetAsInt64(value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        SetAsDouble(value.toDouble());
        return;
    case QMetaType::QByteArray:
        SetAsBytes(value.toByteArray());
        return;
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime: {
        QDate date(1899, 12, 30);
        QTime time(0, 0);
        if (value.typeId() == QMetaType::QDate) {
            date = value.toDate();
        } else if (value.typeId() == QMetaType::QTime) {
            time = value.toTime();
        } else {
            const QDateTime dt = value.toDateTime();
            date = dt.date();
            time = dt.time();
        }
        if (!date.isValid() || !time.isValid())
            Refuse(QStringLiteral("invalid date or time"));
        if (IsDateTime()) {
            BeginWrite();
            StoreTimestampParts(FromQDate(date), FromQTime(time));
        } else {
            SetAsDateTime(JoinDateTime(FromQDate(date), FromQTime(time)));
        }
        return;
    }
    default:
        SetAsString(value.toString());
        return;
    }
}
