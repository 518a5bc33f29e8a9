#pragma once

// Texts of numbers and date-times under the process-wide format settings,
// and the reverse conversions the cell setters use.

#include "sysutils.h"

#include <QString>

// The shortest text of at most 15 significant digits, with the decimal
// separator of the format settings; scientific notation ("1E20",
// "2.5E-8") for exponents of 15 and more or below -5.
QString GeneralFloatText(double value);
// The date in the short date format, the time in the long time format.
QString DateText(TDateTime value);
QString TimeText(TDateTime value);
// Text to a number with the settings' decimal separator; false when it is none.
bool TextToFloat(const QString &text, double &value);
// A date in the order of the short date format, optionally followed by a
// time; false when the text holds none.
bool TextToDateTime(const QString &text, TDateTime &value);
