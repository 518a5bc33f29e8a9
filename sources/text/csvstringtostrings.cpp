#include "csvstringtostrings.h"

#include "stringlist.h"

#include <algorithm>

namespace {

// The splitter's states.
enum class State { FieldStart, Quoted, QuoteInQuoted, AfterClosingQuote };

// Runs the state machine over the line, calling onField(field) for each field;
// true when the line ends inside a quoted field. Unquoted fields are handed on as
// parts of the line; quoted ones are built in one buffer that every field
// reuses.
template<class OnField>
bool splitLine(QStringView line, QChar quote, QChar separator, OnField onField)
{
    const bool quoting = !quote.isNull();
    State state = State::FieldStart;
    QString field;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        switch (state) {
        case State::FieldStart:
            if (quoting && c == quote) {
                field.resize(0);
                state = State::Quoted;
            } else {
                // An unquoted field runs to the next separator, Q included:
                // take it whole. (std::find: QStringView::indexOf(QChar) goes
                // through the general substring search.)
                const qsizetype end = std::find(line.begin() + i, line.end(), separator) - line.begin();
                onField(line.mid(i, end - i));
                if (end == line.size())
                    return false;
                i = end;
            }
            break;
        case State::Quoted: {
            // Everything up to the next quote belongs to the field.
            const qsizetype end = std::find(line.begin() + i, line.end(), quote) - line.begin();
            field += line.mid(i, end - i);
            if (end < line.size())
                state = State::QuoteInQuoted;
            i = end;
            break;
        }
        case State::QuoteInQuoted:
            if (c == quote) {
                field += c;
                state = State::Quoted;
            } else if (c == separator) {
                onField(field);
                state = State::FieldStart;
            } else {
                state = State::AfterClosingQuote;
            }
            break;
        case State::AfterClosingQuote:
            if (c == separator) {
                onField(field);
                state = State::FieldStart;
            }
            break;
        }
    }
    // The end of the line ends the last field; after a separator (or in an
    // empty line) that field is empty.
    onField(state == State::FieldStart ? QStringView() : QStringView(field));
    return state == State::Quoted;
}

} // namespace

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
    splitLine(Line, Quote, Separator, [&](QStringView field) {
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
    if (Separator.isNull() || Quote.isNull() || std::find(Line.begin(), Line.end(), Quote) == Line.end())
        return false;
    return splitLine(Line, Quote, Separator, [](QStringView) {});
}
