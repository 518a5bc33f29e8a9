#include "sysutils.h"

#include "exception.h"
#include "strutils.h"

#include <QDateTime>

#include <cmath>
#include <limits>

QString IntToStr(int value)
{
    return QString::number(value);
}

QString IntToStr(int64_t value)
{
    return QString::number(static_cast<qlonglong>(value));
}

// Accepts leading blanks, a sign, decimal digits or '$' followed by hex digits.
bool TryStrToInt64(const QString &text, int64_t &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= n)
        return false;
    // Accumulate as unsigned so that the most negative value still fits.
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                    : uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t acc = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        if (acc > (limit - uint64_t(digit)) / uint64_t(base))
            return false;
        acc = acc * uint64_t(base) + uint64_t(digit);
    }
    value = negative ? int64_t(0 - acc) : int64_t(acc);
    return true;
}

bool TryStrToInt(const QString &text, int &value)
{
    int64_t wide = 0;
    if (!TryStrToInt64(text, wide) || wide < std::numeric_limits<int>::min()
        || wide > std::numeric_limits<int>::max())
        return false;
    value = int(wide);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(QStringLiteral("\"%1\" is an invalid integer").arg(text));
    return value;
}

int StrToIntDef(const QString &text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

static int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
        && day <= DaysInMonth(year, month);
}

// Day 0 is 30 December 1899; 693594 days separate it from 1 January of year 1 minus one day.
static constexpr int64_t kDateDelta = 693594;

bool TryEncodeDate(int year, int month, int day, TDateTime &date)
{
    if (!IsValidDate(year, month, day))
        return false;
    // The days of the year before the first of each month.
    static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t days = day + kDaysBefore[month - 1] + (month > 2 && IsLeapYear(year) ? 1 : 0);
    const int64_t y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    date = double(days - kDateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        throw EConvertError(QStringLiteral("%1-%2-%3 is not a valid date")
                                .arg(year).arg(month).arg(day));
    return date;
}

static constexpr int64_t kMSecsPerDay = 86400000;
// 1 January 1 and 31 December 9999 as day numbers.
static constexpr int64_t kFirstDay = -693593;
static constexpr int64_t kLastDay = 2958465;

// Splits a date-time into a day number and the milliseconds of that day. The magnitude is
// rounded to the nearest millisecond first, so a value a hair before midnight belongs to the
// next day; the sign stays with the day, and the time of a negative value is its fraction
// taken as positive. Values beyond the supported years give false.
static bool SplitDateTime(TDateTime value, int64_t &day, int64_t &msOfDay)
{
    if (!std::isfinite(value) || std::fabs(value) > double(kLastDay + 1))
        return false;
    const int64_t total = std::llround(std::fabs(value) * double(kMSecsPerDay));
    day = total / kMSecsPerDay;
    msOfDay = total % kMSecsPerDay;
    if (value < 0)
        day = -day;
    return day >= kFirstDay && day <= kLastDay;
}

static void DecodeDayNumber(int64_t dayNumber, int &year, int &month, int &day)
{
    int64_t days = dayNumber + kDateDelta - 1; // 0 = 1 January of year 1
    const int64_t n400 = days / 146097;
    days %= 146097;
    int64_t n100 = days / 36524;
    if (n100 == 4)
        n100 = 3;
    days -= n100 * 36524;
    const int64_t n4 = days / 1461;
    days %= 1461;
    int64_t n1 = days / 365;
    if (n1 == 4)
        n1 = 3;
    days -= n1 * 365;
    year = int(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    month = 1;
    while (days >= DaysInMonth(year, month)) {
        days -= DaysInMonth(year, month);
        ++month;
    }
    day = int(days + 1);
}

static void DecodeMilliseconds(int64_t ms, int &hour, int &minute, int &second, int &msec)
{
    hour = int(ms / 3600000);
    minute = int(ms / 60000 % 60);
    second = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

void DecodeDate(TDateTime date, int &year, int &month, int &day)
{
    int64_t dayNumber = 0, ms = 0;
    if (!SplitDateTime(date, dayNumber, ms)) {
        year = month = day = 0;
        return;
    }
    DecodeDayNumber(dayNumber, year, month, day);
}

bool DecodeDateTime(TDateTime value, int &year, int &month, int &day, int &hour, int &minute,
                    int &second, int &msec, int &dayOfWeek)
{
    int64_t dayNumber = 0, ms = 0;
    if (!SplitDateTime(value, dayNumber, ms)) {
        year = month = day = hour = minute = second = msec = dayOfWeek = 0;
        return false;
    }
    DecodeDayNumber(dayNumber, year, month, day);
    DecodeMilliseconds(ms, hour, minute, second, msec);
    // Day 0 was a Saturday.
    dayOfWeek = int(((dayNumber + 6) % 7 + 7) % 7);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &time)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return false;
    time = double((int64_t(hour) * 3600 + minute * 60 + second) * 1000 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, msec, time))
        throw EConvertError(QStringLiteral("%1:%2:%3.%4 is not a valid time")
                                .arg(hour).arg(minute).arg(second).arg(msec));
    return time;
}

void DecodeTime(TDateTime time, int &hour, int &minute, int &second, int &msec)
{
    int64_t dayNumber = 0, ms = 0;
    if (!SplitDateTime(time, dayNumber, ms))
        ms = 0;
    DecodeMilliseconds(ms, hour, minute, second, msec);
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day())
        + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Date()
{
    return std::floor(Now());
}

TDateTime Time()
{
    const TDateTime now = Now();
    return now - std::floor(now);
}
