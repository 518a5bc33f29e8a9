#include "formatsettings.h"

#include <QLocale>

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

TFormatSettings TFormatSettings::FromSystemLocale()
{
    TFormatSettings s = Defaults();
    const QLocale locale = QLocale::system();
    // The C locale stands for "no preference": keep the classic defaults.
    if (locale.language() == QLocale::C)
        return s;
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (dec.size() == 1)
        s.DecimalSeparator = dec.at(0);
    if (group.size() == 1)
        s.ThousandSeparator = group.at(0);
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

TFormatSettings FormatSettings = TFormatSettings::FromSystemLocale();

void ResetFormatSettings()
{
    FormatSettings = TFormatSettings::Defaults();
}
