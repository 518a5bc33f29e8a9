#pragma once

#include <QChar>
#include <QStringView>

class TStringList;

// Splits one delimited line into its fields. With a null Separator nothing
// happens; with a null Quote fields are never quoted. A quoted field keeps
// separators, a doubled quote gives one quote, and whatever follows the
// closing quote up to the next separator is dropped.
void CSVStringToStrings(QStringView Line, QChar Quote, QChar Separator, TStringList &Strings);

// Where a delimited record continues: true when Line ends inside a quoted
// field, so that the next line of the file belongs to the same record.
bool CSVLineEndsInQuote(QStringView Line, QChar Quote, QChar Separator);
