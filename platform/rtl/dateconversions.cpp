// Date and time text conversions of conversions.h.
#include "conversions.h"

#include "exception.h"
#include "formatsettings.h"
#include "shorttext.h"
#include "strutils.h"

#include <QDate>
#include <QList>

#include <algorithm>
#include <ctime>
#include <array>

namespace {

enum class ParseResult { Ok, BadFormat, BadValue };

// More digits than this in one field cannot be a valid day, month, year or time part, and
// refusing them keeps the field value from overflowing.
constexpr qsizetype kMaxFieldDigits = 9;
// How far back from the current year a two-digit year may reach.
constexpr int kTwoDigitYearCenturyWindow = 50;

// A field of digits only, with blanks around it unless blanks separate the fields.
bool ParseField(QStringView field, bool trimBlanks, int &value, qsizetype &digitCount)
{
    if (trimBlanks && !field.isEmpty() && (field.front().isSpace() || field.back().isSpace()))
        field = field.trimmed();
    if (field.isEmpty() || field.size() > kMaxFieldDigits)
        return false;
    value = 0;
    for (QChar c : field) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    digitCount = field.size();
    return true;
}

// The order of day, month and year as their letters first appear in the short date format,
// quoted text left out, as the letters 'd', 'm' and 'y'; empty when a letter is missing.
struct DateOrder
{
    char letters[3] = {0, 0, 0};
    int count = 0;

    DateOrder()
    {
        const QString &format = FormatSettings.ShortDateFormat;
        for (qsizetype i = 0; i < format.size() && count < 3; ++i) {
            const char16_t c = format.at(i).unicode();
            if (c == u'"' || c == u'\'') {
                const qsizetype close = format.indexOf(QChar(c), i + 1);
                i = close < 0 ? format.size() : close;
                continue;
            }
            const char lower = c >= u'A' && c <= u'Z' ? char(c - u'A' + 'a') : char(c < 0x80 ? c : 0);
            if ((lower == 'd' || lower == 'm' || lower == 'y') && !Has(lower))
                letters[count++] = lower;
        }
    }

    bool IsComplete() const { return count == 3; }
    bool Has(char letter) const { return std::find(letters, letters + count, letter) != letters + count; }
};

// The order of the current short date format, worked out again only when the format changes.
const DateOrder &CurrentDateOrder()
{
    // The kept copy shares the format's characters while the format stays as
    // it is (a change to the format gives it characters of its own), so the
    // same characters need no comparison. Initial-exec: this runs for every
    // date an import reads, and the general model would call the runtime's
    // lookup each time.
    [[gnu::tls_model("initial-exec")]] thread_local QString format;
    [[gnu::tls_model("initial-exec")]] thread_local DateOrder order;
    const QString &current = FormatSettings.ShortDateFormat;
    if ((format.constData() != current.constData() || format.size() != current.size()) && format != current) {
        format = FormatSettings.ShortDateFormat;
        order = DateOrder();
    }
    return order;
}

// Splits `text` at `separator` into at most `N` fields; false when there are more.
template<std::size_t N>
bool SplitFields(QStringView text, QChar separator, std::array<QStringView, N> &fields, qsizetype &count)
{
    count = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = FindShortText(text, separator, start);
        if (count == qsizetype(N))
            return false;
        fields[count++] = text.mid(start, end - start);
        if (end == text.size())
            return true;
        start = end + 1;
    }
}

// The current year, asked of the local clock at most once a minute: an
// import parses millions of dates, and each local-date query reads the
// time-zone file.
int CurrentYear()
{
    static std::time_t minute = -1;
    static int year = 0;
    const std::time_t now = std::time(nullptr) / 60;
    if (now != minute) {
        minute = now;
        year = QDate::currentDate().year();
    }
    return year;
}

int ExpandTwoDigitYear(int year)
{
    const int lowest = CurrentYear() - kTwoDigitYearCenturyWindow;
    year += lowest / 100 * 100;
    if (year < lowest)
        year += 100;
    return year;
}

ParseResult ParseDate(QStringView text, TDateTime &value)
{
    const DateOrder &order = CurrentDateOrder();
    const QStringView trimmed = TrimmedView(text);
    if (!order.IsComplete() || trimmed.isEmpty() || FormatSettings.DateSeparator.isNull())
        return ParseResult::BadFormat;
    const QChar separator = FormatSettings.DateSeparator;
    std::array<QStringView, 3> fields;
    qsizetype count = 0;
    if (!SplitFields(trimmed, separator, fields, count))
        return ParseResult::BadFormat;
    // "1.2." leaves the year out behind a closing separator.
    if (count == 3 && std::all_of(fields[2].begin(), fields[2].end(), [](QChar c) { return c.isSpace(); }))
        count = 2;
    // A lone number is not taken for a day of the current month: in an import it is far more
    // likely a value in the wrong column.
    if (count < 2)
        return ParseResult::BadFormat;
    const bool trimBlanks = !IsBlank(separator);
    int values[3] = {0, 0, 0};
    qsizetype digits[3] = {0, 0, 0};
    for (qsizetype i = 0; i < count; ++i) {
        if (!ParseField(fields[i], trimBlanks, values[i], digits[i]))
            return ParseResult::BadFormat;
    }
    // Two numbers are day and month in the order of the format.
    int year = count == 2 ? CurrentYear() : 0;
    int month = 0;
    int day = 0;
    qsizetype field = 0;
    for (char letter : order.letters) {
        if (letter == 'y' && count == 2)
            continue;
        const int number = values[field];
        switch (letter) {
        case 'd':
            day = number;
            break;
        case 'm':
            month = number;
            break;
        default:
            year = digits[field] <= 2 ? ExpandTwoDigitYear(number) : number;
            break;
        }
        ++field;
    }
    return TryEncodeDate(year, month, day, value) ? ParseResult::Ok : ParseResult::BadValue;
}

// Removes an AM or PM marker from the start or the end of `text`: the texts of the settings
// first, then the plain "AM" and "PM", without regard to case.
bool TakeDayHalfMarker(QStringView &text, bool &found, bool &pm)
{
    const std::array<std::pair<QStringView, bool>, 4> markers = {{
        {FormatSettings.TimeAMString, false},
        {FormatSettings.TimePMString, true},
        {u"AM", false},
        {u"PM", true},
    }};
    found = false;
    for (const auto &[marker, isPm] : markers) {
        if (marker.isEmpty())
            continue;
        if (text.size() < marker.size())
            continue;
        // Case does not change digits: a text that begins and ends with a
        // digit the marker does not have there cannot hold it.
        const auto isDigit = [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; };
        if ((isDigit(text.back()) && text.back() != marker.back()) && (isDigit(text.front()) && text.front() != marker.front()))
            continue;
        if (CompareTextIgnoringCase(text.right(marker.size()), marker) == 0) {
            text.chop(marker.size());
        } else if (CompareTextIgnoringCase(text.left(marker.size()), marker) == 0) {
            text = text.mid(marker.size());
        } else {
            continue;
        }
        found = true;
        pm = isPm;
        text = TrimmedView(text);
        return !text.isEmpty();
    }
    return true;
}

bool ParseTime(QStringView text, TDateTime &value)
{
    QStringView rest = TrimmedView(text);
    bool hasMarker = false;
    bool pm = false;
    if (rest.isEmpty() || FormatSettings.TimeSeparator.isNull()
        || !TakeDayHalfMarker(rest, hasMarker, pm))
        return false;
    std::array<QStringView, 3> fields;
    qsizetype count = 0;
    if (!SplitFields(rest, FormatSettings.TimeSeparator, fields, count))
        return false;
    int msec = 0;
    if (count == 3) {
        const qsizetype point = FindShortText(fields[2], FormatSettings.DecimalSeparator);
        if (point < fields[2].size()) {
            // The digits after the point are a fraction of a second: ".5" is 500 ms.
            const QStringView fraction = fields[2].mid(point + 1).trimmed();
            qsizetype digits = 0;
            if (fraction.size() > 3 || !ParseField(fraction, false, msec, digits))
                return false;
            for (qsizetype i = digits; i < 3; ++i)
                msec *= 10;
            fields[2] = fields[2].left(point);
        }
    }
    int parts[3] = {0, 0, 0};
    for (qsizetype i = 0; i < count; ++i) {
        qsizetype digits = 0;
        if (!ParseField(fields[i], true, parts[i], digits))
            return false;
    }
    int hour = parts[0];
    if (hasMarker) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return TryEncodeTime(hour, parts[1], parts[2], msec, value);
}

// The classic composition: the time of a day before 30 December 1899 counts away from zero.
TDateTime ComposeDateTime(TDateTime date, TDateTime time)
{
    return date < 0 ? date - time : date + time;
}

} // namespace

bool TryStrToDate(const QString &text, TDateTime &value)
{
    return ParseDate(text, value) == ParseResult::Ok;
}

TDateTime StrToDate(const QString &text)
{
    TDateTime value = 0;
    switch (ParseDate(text, value)) {
    case ParseResult::Ok:
        return value;
    case ParseResult::BadValue:
        throw EConvertError(QStringLiteral("\"%1\" is not a valid date").arg(text));
    case ParseResult::BadFormat:
        break;
    }
    throw EConvertError(QStringLiteral("\"%1\" is not a valid date format").arg(text));
}

bool TryStrToTime(const QString &text, TDateTime &value)
{
    return ParseTime(text, value);
}

TDateTime StrToTime(const QString &text)
{
    TDateTime value = 0;
    if (!ParseTime(text, value))
        throw EConvertError(QStringLiteral("\"%1\" is not a valid time").arg(text));
    return value;
}

bool TryStrToDateTime(const QString &text, TDateTime &value)
{
    const QStringView trimmed = TrimmedView(text);
    TDateTime date = 0;
    if (ParseDate(trimmed, date) == ParseResult::Ok) {
        value = date;
        return true;
    }
    // The time starts after the first blank that leaves a valid date before it; the date
    // separator may itself be a blank, so every blank is a candidate.
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (!IsBlank(trimmed.at(i)))
            continue;
        TDateTime time = 0;
        if (ParseDate(trimmed.left(i), date) == ParseResult::Ok
            && ParseTime(trimmed.mid(i + 1), time)) {
            value = ComposeDateTime(date, time);
            return true;
        }
    }
    // A lone number is no more a time here than it is a date.
    const bool loneNumber = std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) {
        return c.unicode() >= u'0' && c.unicode() <= u'9';
    });
    return !loneNumber && ParseTime(trimmed, value);
}

TDateTime StrToDateTime(const QString &text)
{
    TDateTime value = 0;
    if (!TryStrToDateTime(text, value))
        throw EConvertError(QStringLiteral("\"%1\" is not a valid date and time").arg(text));
    return value;
}

namespace {

// Formats nested in a format (ddddd, dddddd, t, tt, c) are expanded to this depth at most, so
// settings that name themselves cannot recurse for ever.
constexpr int kMaxFormatNesting = 3;

class DateTimeFormatter
{
public:
    explicit DateTimeFormatter(TDateTime value)
    {
        m_out.reserve(32);
        DecodeDateTime(value, m_year, m_month, m_day, m_hour, m_minute, m_second, m_msec,
                       m_dayOfWeek);
    }

    QString Result() const { return m_out; }

    void Format(QStringView format, int depth)
    {
        if (depth > kMaxFormatNesting)
            return;
        const bool twelveHour = HasDayHalfToken(format);
        QChar lastToken;
        qsizetype i = 0;
        while (i < format.size()) {
            const QChar c = format.at(i);
            const QChar token = AsciiUpper(c);
            if (c == u'"' || c == u'\'') {
                const qsizetype close = format.indexOf(c, i + 1);
                const qsizetype end = close < 0 ? format.size() : close;
                m_out += format.mid(i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            if (token == u'A') {
                i += DayHalf(format.mid(i));
                continue;
            }
            if (c == u'/' || c == u':') {
                const QChar separator =
                    c == u'/' ? FormatSettings.DateSeparator : FormatSettings.TimeSeparator;
                if (!separator.isNull())
                    m_out += separator;
                ++i;
                continue;
            }
            if (!QStringView(u" CDHMNSTYZ").contains(token)) {
                m_out += c;
                ++i;
                continue;
            }
            qsizetype count = 1;
            while (i + count < format.size() && AsciiUpper(format.at(i + count)) == token)
                ++count;
            i += count;
            Token(token, count, lastToken == u'H', twelveHour, depth);
            lastToken = token;
        }
    }

private:
    // Pattern letters are ASCII; any other character stands for itself.
    static QChar AsciiUpper(QChar c)
    {
        const char16_t u = c.unicode();
        return u >= u'a' && u <= u'z' ? QChar(char16_t(u - u'a' + u'A')) : c;
    }

    static bool HasDayHalfToken(QStringView format)
    {
        for (qsizetype i = 0; i < format.size(); ++i) {
            const QChar c = format.at(i);
            if (c == u'"' || c == u'\'') {
                const qsizetype close = format.indexOf(c, i + 1);
                i = close < 0 ? format.size() : close;
            } else if (AsciiUpper(c) == u'A' && DayHalfTokenLength(format.mid(i)) > 0) {
                return true;
            }
        }
        return false;
    }

    // Length of the am/pm, a/p or ampm token at the start of `text`, 0 when there is none.
    static qsizetype DayHalfTokenLength(QStringView text)
    {
        if (text.startsWith(u"ampm", Qt::CaseInsensitive))
            return 4;
        if (text.startsWith(u"am/pm", Qt::CaseInsensitive))
            return 5;
        if (text.startsWith(u"a/p", Qt::CaseInsensitive))
            return 3;
        return 0;
    }

    // Writes the day-half token at the start of `text` and returns its length. am/pm and a/p
    // write their own letters, so their case is that of the format.
    qsizetype DayHalf(QStringView text)
    {
        const bool pm = m_hour >= 12;
        switch (DayHalfTokenLength(text)) {
        case 4:
            m_out += pm ? FormatSettings.TimePMString : FormatSettings.TimeAMString;
            return 4;
        case 5:
            m_out += pm ? text.mid(3, 2) : text.left(2);
            return 5;
        case 3:
            m_out += pm ? text.at(2) : text.at(0);
            return 3;
        default:
            m_out += text.at(0);
            return 1;
        }
    }

    // `value` (never negative) with leading zeros up to `width` digits.
    void Number(int value, int width)
    {
        char16_t digits[12];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 && count < 12);
        for (int i = count; i < width; ++i)
            m_out += u'0';
        while (count > 0)
            m_out += QChar(digits[--count]);
    }

    static QString Name(const QString *names, int count, int index)
    {
        return index >= 0 && index < count ? names[index] : QString();
    }

    void Token(QChar token, qsizetype count, bool afterHour, bool twelveHour, int depth)
    {
        switch (token.unicode()) {
        case u' ':
            m_out += QString(count, u' ');
            break;
        case u'Y':
            if (count <= 2)
                Number(m_year % 100, 2);
            else
                Number(m_year, 4);
            break;
        case u'M':
            if (afterHour)
                Number(m_minute, count == 1 ? 1 : 2);
            else if (count <= 2)
                Number(m_month, int(count));
            else if (count == 3)
                m_out += Name(FormatSettings.ShortMonthNames, 12, m_month - 1);
            else
                m_out += Name(FormatSettings.LongMonthNames, 12, m_month - 1);
            break;
        case u'D':
            if (count <= 2)
                Number(m_day, int(count));
            else if (count == 3)
                m_out += Name(FormatSettings.ShortDayNames, 7, m_dayOfWeek);
            else if (count == 4)
                m_out += Name(FormatSettings.LongDayNames, 7, m_dayOfWeek);
            else if (count == 5)
                Format(FormatSettings.ShortDateFormat, depth + 1);
            else
                Format(FormatSettings.LongDateFormat, depth + 1);
            break;
        case u'H': {
            int hour = m_hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            Number(hour, count == 1 ? 1 : 2);
            break;
        }
        case u'N':
            Number(m_minute, count == 1 ? 1 : 2);
            break;
        case u'S':
            Number(m_second, count == 1 ? 1 : 2);
            break;
        case u'Z':
            Number(m_msec, count == 1 ? 1 : 3);
            break;
        case u'T':
            Format(count == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat,
                   depth + 1);
            break;
        case u'C':
            Format(FormatSettings.ShortDateFormat, depth + 1);
            // Milliseconds alone do not bring the time in: the long time format shows none.
            if (m_hour != 0 || m_minute != 0 || m_second != 0) {
                m_out += u' ';
                Format(FormatSettings.LongTimeFormat, depth + 1);
            }
            break;
        }
    }

    QString m_out;
    int m_year = 0, m_month = 0, m_day = 0;
    int m_hour = 0, m_minute = 0, m_second = 0, m_msec = 0;
    int m_dayOfWeek = 0;
};

} // namespace

QString FormatDateTime(const QString &format, TDateTime value)
{
    DateTimeFormatter formatter(value);
    formatter.Format(format, 0);
    return formatter.Result();
}

QString DateToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("ddddd"), value);
}

QString TimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("tt"), value);
}

QString DateTimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("c"), value);
}
