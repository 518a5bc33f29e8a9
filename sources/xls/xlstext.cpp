#include "xlstext_p.h"

#include "formatsettings.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

QString GeneralFloatText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    // Round to 15 significant digits first, then decide the notation.
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string sci(buf, r.ptr);
    const size_t e = sci.find('e');
    const int exponent = std::stoi(sci.substr(e + 1));
    std::string mantissa = sci.substr(0, e);
    bool negative = false;
    if (mantissa[0] == '-') {
        negative = true;
        mantissa.erase(0, 1);
    }
    std::string digits;
    for (char c : mantissa)
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const QString dec(FormatSettings.DecimalSeparator);
    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent >= 15 || exponent < -5) {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            out += dec + QString::fromLatin1(digits.substr(1));
        out += QLatin1Char('E') + QString::number(exponent);
        return out;
    }
    if (exponent < 0) {
        out += QLatin1Char('0') + dec + QString(-exponent - 1, QLatin1Char('0')) + QString::fromLatin1(digits);
        return out;
    }
    const size_t intDigits = size_t(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += QString::fromLatin1(digits) + QString(qsizetype(intDigits - digits.size()), QLatin1Char('0'));
    } else {
        out += QString::fromLatin1(digits.substr(0, intDigits)) + dec + QString::fromLatin1(digits.substr(intDigits));
    }
    return out;
}

namespace {

// Formats with the classic pattern letters of the short date and long time
// formats: d, dd, m, mm, mmm, mmmm, yy, yyyy, h, hh, n, nn, s, ss, ampm and
// am/pm (the settings' AM and PM texts, with a 12-hour clock), '/' and ':'
// (the settings' separators) and quoted literals.
QString FormatPattern(const QString &pattern, TDateTime value, bool time)
{
    int year, month, day, hour, minute, second, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    const bool ampm = pattern.contains(QLatin1String("am/pm"), Qt::CaseInsensitive)
                      || pattern.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lc = c.toLower();
        qsizetype n = 1;
        while (i + n < pattern.size() && pattern.at(i + n).toLower() == lc)
            ++n;
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lc == QLatin1Char('a')) {
            const qsizetype len = pattern.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0 ? 5
                                : pattern.mid(i, 4).compare(QLatin1String("ampm"), Qt::CaseInsensitive) == 0 ? 4
                                : 0;
            if (len) {
                out += hour < 12 ? FormatSettings.TimeAMString : FormatSettings.TimePMString;
                i += len;
                continue;
            }
        }
        if (lc == QLatin1Char('d'))
            out += n >= 2 ? two(day) : QString::number(day);
        else if (lc == QLatin1Char('m') && !time)
            out += n >= 4 ? FormatSettings.LongMonthNames[month - 1]
                 : n == 3 ? FormatSettings.ShortMonthNames[month - 1]
                 : n == 2 ? two(month) : QString::number(month);
        else if (lc == QLatin1Char('y'))
            out += n >= 3 ? QString::number(year) : two(year % 100);
        else if (lc == QLatin1Char('h')) {
            const int h = ampm ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += n >= 2 ? two(h) : QString::number(h);
        } else if (lc == QLatin1Char('n') || (lc == QLatin1Char('m') && time))
            out += n >= 2 ? two(minute) : QString::number(minute);
        else if (lc == QLatin1Char('s'))
            out += n >= 2 ? two(second) : QString::number(second);
        else if (c == QLatin1Char('/'))
            out += QString(n, FormatSettings.DateSeparator);
        else if (c == QLatin1Char(':'))
            out += QString(n, FormatSettings.TimeSeparator);
        else
            out += QString(n, c);
        i += n;
    }
    return out;
}

} // namespace

QString DateText(TDateTime value)
{
    return FormatPattern(FormatSettings.ShortDateFormat, value, false);
}

QString TimeText(TDateTime value)
{
    return FormatPattern(FormatSettings.LongTimeFormat, value, true);
}

bool TextToFloat(const QString &text, double &value)
{
    QString t = text.trimmed();
    if (FormatSettings.DecimalSeparator != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(FormatSettings.DecimalSeparator, QLatin1Char('.'));
    }
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && !t.isEmpty();
}

bool TextToDateTime(const QString &text, TDateTime &value)
{
    static const QRegularExpression rx(QStringLiteral(
        R"(^\s*(\d{1,4})\D(\d{1,2})\D(\d{1,4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const QRegularExpressionMatch m = rx.match(text);
    if (!m.hasMatch())
        return false;
    // The order of day, month and year follows the short date format.
    const QString f = FormatSettings.ShortDateFormat.toLower();
    const qsizetype pd = f.indexOf(QLatin1Char('d')), pm = f.indexOf(QLatin1Char('m')), py = f.indexOf(QLatin1Char('y'));
    int parts[3] = {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
    auto rank = [&](qsizetype p) { return int((p > pd) + (p > pm) + (p > py)); };
    int day = parts[rank(pd)], month = parts[rank(pm)], year = parts[rank(py)];
    if (year < 100)
        year += year < 50 ? 2000 : 1900;
    TDateTime date;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    TDateTime time = 0;
    if (!m.captured(4).isEmpty()
        && !TryEncodeTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), 0, time))
        return false;
    value = date + (date < 0 ? -time : time);
    return true;
}
