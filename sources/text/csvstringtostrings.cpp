#include "csvstringtostrings.h"

#include "stringlist.h"

void CSVStringToStrings(QStringView Line, QChar Quote, QChar Separator, TStringList &Strings)
{
    if (Separator.isNull())
        return;
    // The fields overwrite the list's lines in place, so that splitting line
    // after line into the same list reuses their storage; a sorted list
    // takes them in its order instead.
    const bool sorted = Strings.Sorted();
    if (sorted)
        Strings.Clear();
    int count = 0;
    CSVSplitLine(Line, Quote, Separator, [&](QStringView field) {
        if (sorted)
            Strings.Add(field.toString());
        else
            Strings.Put(count++, field);
    });
    if (!sorted)
        Strings.Truncate(count);
}

bool CSVLineEndsInQuote(QStringView Line, QChar Quote, QChar Separator)
{
    if (Separator.isNull() || Quote.isNull() || FindShortText(Line, Quote) == Line.size())
        return false;
    return CSVSplitLine(Line, Quote, Separator, [](QStringView) {});
}
