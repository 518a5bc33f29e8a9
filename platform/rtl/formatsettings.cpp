#include "formatsettings.h"

#include <QLocale>

#include <algorithm>

TFormatSettings TFormatSettings::Defaults()
{
    static const char *const shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char *const longMonths[12] = {"January", "February", "March", "April",
                                               "May", "June", "July", "August",
                                               "September", "October", "November", "December"};
    static const char *const shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *const longDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    TFormatSettings s;
    s.DecimalSeparator = QLatin1Char('.');
    s.ThousandSeparator = QLatin1Char(',');
    s.DateSeparator = QLatin1Char('/');
    s.TimeSeparator = QLatin1Char(':');
    s.ShortDateFormat = QStringLiteral("m/d/yyyy");
    s.LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    s.ShortTimeFormat = QStringLiteral("h:mm AMPM");
    s.LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = QLatin1String(shortMonths[i]);
        s.LongMonthNames[i] = QLatin1String(longMonths[i]);
    }
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = QLatin1String(shortDays[i]);
        s.LongDayNames[i] = QLatin1String(longDays[i]);
    }
    s.TimeAMString = QStringLiteral("AM");
    s.TimePMString = QStringLiteral("PM");
    return s;
}

namespace {

QString QuotedLiteral(const QString &text)
{
    const QChar quote = text.contains(u'"') ? u'\'' : u'"';
    return quote + text + quote;
}

// The first character between the fields of a Qt pattern: the locale's separator.
QChar PatternSeparator(const QString &pattern)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            i = close < 0 ? pattern.size() : close;
        } else if (!c.isLetter() && !c.isSpace()) {
            return c;
        }
    }
    return QChar();
}

// Rewrites a Qt date-time pattern in the classic letters. Where `separator` stands between
// fields it becomes `placeholder` ('/' or ':'), which the classic formats read as the current
// separator; any other '/' or ':' is quoted so that it stays what the locale shows.
QString ClassicFormat(const QString &pattern, QChar separator, QChar placeholder)
{
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            // Qt quotes literal text in apostrophes and writes an apostrophe itself as ''.
            QString literal;
            qsizetype j = i + 1;
            if (j < pattern.size() && pattern.at(j) == u'\'') {
                literal = QStringLiteral("'");
                j += 1;
            } else {
                while (j < pattern.size()) {
                    if (pattern.at(j) == u'\'') {
                        if (j + 1 < pattern.size() && pattern.at(j + 1) == u'\'') {
                            literal += u'\'';
                            j += 2;
                            continue;
                        }
                        ++j;
                        break;
                    }
                    literal += pattern.at(j++);
                }
            }
            out += QuotedLiteral(literal);
            i = j;
            continue;
        }
        qsizetype count = 1;
        while (i + count < pattern.size() && pattern.at(i + count) == c)
            ++count;
        i += count;
        switch (c.unicode()) {
        case u'd':
            out += QString(std::min<qsizetype>(count, 4), u'd');
            break;
        case u'M':
        case u'L':
            out += QString(std::min<qsizetype>(count, 4), u'm');
            break;
        case u'y':
            out += count >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
            break;
        case u'h':
        case u'H':
            out += QString(std::min<qsizetype>(count, 2), u'h');
            break;
        case u'm':
            out += QString(std::min<qsizetype>(count, 2), u'n');
            break;
        case u's':
            out += QString(std::min<qsizetype>(count, 2), u's');
            break;
        case u'z':
            out += count >= 2 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case u'a':
        case u'A':
            if (i < pattern.size() && (pattern.at(i) == u'p' || pattern.at(i) == u'P'))
                ++i;
            out += QStringLiteral("AMPM");
            break;
        case u't':
            break; // the time zone has no classic letter
        default:
            if (c.isLetter())
                out += QuotedLiteral(QString(count, c));
            else if (c == separator)
                out += QString(count, placeholder);
            else if (c == u'/' || c == u':')
                out += QuotedLiteral(QString(count, c));
            else
                out += QString(count, c);
            break;
        }
    }
    return out.trimmed();
}

} // namespace

TFormatSettings TFormatSettings::FromLocale(const QLocale &locale)
{
    TFormatSettings s = Defaults();
    // The C locale stands for "no preference": keep the classic defaults.
    if (locale.language() == QLocale::C)
        return s;
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (dec.size() == 1)
        s.DecimalSeparator = dec.at(0);
    if (group.size() == 1)
        s.ThousandSeparator = group.at(0);

    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    const QChar dateSeparator = PatternSeparator(shortDate);
    const QChar timeSeparator = PatternSeparator(shortTime);
    if (!dateSeparator.isNull())
        s.DateSeparator = dateSeparator;
    if (!timeSeparator.isNull())
        s.TimeSeparator = timeSeparator;
    s.ShortDateFormat = ClassicFormat(shortDate, dateSeparator, u'/');
    s.LongDateFormat = ClassicFormat(locale.dateFormat(QLocale::LongFormat), QChar(), u'/');
    s.ShortTimeFormat = ClassicFormat(shortTime, timeSeparator, u':');
    s.LongTimeFormat =
        ClassicFormat(locale.timeFormat(QLocale::LongFormat), timeSeparator, u':');

    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = locale.monthName(i + 1, QLocale::ShortFormat);
        s.LongMonthNames[i] = locale.monthName(i + 1, QLocale::LongFormat);
    }
    for (int i = 0; i < 7; ++i) {
        // Qt numbers the days from Monday = 1 to Sunday = 7.
        const int qtDay = i == 0 ? 7 : i;
        s.ShortDayNames[i] = locale.dayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[i] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    if (!locale.amText().isEmpty())
        s.TimeAMString = locale.amText();
    if (!locale.pmText().isEmpty())
        s.TimePMString = locale.pmText();
    return s;
}

TFormatSettings TFormatSettings::FromSystemLocale()
{
    return FromLocale(QLocale::system());
}

TFormatSettings FormatSettings = TFormatSettings::FromSystemLocale();

void ResetFormatSettings()
{
    FormatSettings = TFormatSettings::Defaults();
}
