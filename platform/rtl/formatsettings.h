#pragma once

#include <QChar>
#include <QString>

class QLocale;

// Process-wide format settings that every conversion reads.
struct TFormatSettings
{
    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QString ShortDateFormat;
    QString LongDateFormat;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QString ShortMonthNames[12];
    QString LongMonthNames[12];
    QString ShortDayNames[7]; // Sunday first
    QString LongDayNames[7];
    QString TimeAMString;
    QString TimePMString;

    // The classic US-English settings used in the C/POSIX locale.
    static TFormatSettings Defaults();
    // Settings taken from a locale: separators, the date and time formats rewritten in the
    // classic pattern letters, names of months and days, and the AM/PM texts. The C locale
    // gives the classic defaults.
    static TFormatSettings FromLocale(const QLocale &locale);
    static TFormatSettings FromSystemLocale();
};

extern TFormatSettings FormatSettings;

// Puts the global settings back to the classic US-English defaults.
void ResetFormatSettings();
