#pragma once

#include "sysutils.h"

#include <QString>

// Text to number and date conversions with the classic Object Pascal semantics. All of them
// read the global FormatSettings; bad text raises EConvertError naming the text, the Try…
// forms return false instead and leave the output alone.

// Decimal text with FormatSettings.DecimalSeparator and an optional exponent; blanks around
// the number are allowed, thousand separators are not.
double StrToFloat(const QString &text);
bool TryStrToFloat(const QString &text, double &value);
// General format: at most 15 significant digits, trailing zeros dropped, scientific form
// ("1E20", "1.5E-7") below 1E-5 and from 1E15 on.
QString FloatToStr(double value);

// Same text as StrToFloat, held exactly to four decimals; the fifth is rounded half to even.
Currency StrToCurr(const QString &text);
bool TryStrToCurr(const QString &text, Currency &value);
QString CurrToStr(Currency value);

// Dates are two or three numbers split by FormatSettings.DateSeparator, in the order of
// FormatSettings.ShortDateFormat; a missing year is the current one, and a year written with
// one or two digits falls into the 100 years from 50 years before the current one.
// Times are hours[:minutes[:seconds[<decimal separator>milliseconds]]] split by
// FormatSettings.TimeSeparator, with an optional AM/PM marker before or after.
TDateTime StrToDate(const QString &text);
TDateTime StrToTime(const QString &text);
TDateTime StrToDateTime(const QString &text);
bool TryStrToDate(const QString &text, TDateTime &value);
bool TryStrToTime(const QString &text, TDateTime &value);
bool TryStrToDateTime(const QString &text, TDateTime &value);

QString DateToStr(TDateTime value);     // ShortDateFormat
QString TimeToStr(TDateTime value);     // LongTimeFormat
QString DateTimeToStr(TDateTime value); // both, the time left out at midnight

// The classic pattern letters, case-insensitive: d dd ddd dddd ddddd dddddd, m mm mmm mmmm
// (minutes right after h or hh), yy yyyy, h hh, n nn, s ss, z zzz, t tt, am/pm a/p ampm
// (these make h a 12-hour clock), c; '/' and ':' stand for the separators; text in double or
// single quotes is copied as it is, and so is every other character.
QString FormatDateTime(const QString &format, TDateTime value);
