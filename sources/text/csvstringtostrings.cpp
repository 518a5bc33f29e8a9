#include "csvstringtostrings.h"

#include "stringlist.h"

#include <algorithm>

namespace {

// The splitter's states.
enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterClosingQuote };

// Runs the state machine over the line, calling onField(field) for each field;
// returns the state at the end of the line.
template<class OnField>
State splitLine(QStringView line, QChar quote, QChar separator, OnField onField)
{
    const bool quoting = !quote.isNull();
    State state = State::FieldStart;
    QString field;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        switch (state) {
        case State::FieldStart:
            field.clear();
            if (quoting && c == quote) {
                state = State::Quoted;
            } else if (c == separator) {
                onField(field);
            } else {
                // An unquoted field runs to the next separator: take it whole.
                // (std::find: QStringView::indexOf(QChar) goes through the
                // general substring search.)
                const qsizetype end = std::find(line.begin() + i, line.end(), separator) - line.begin();
                if (end == line.size()) {
                    field = line.mid(i).toString();
                    i = line.size();
                    state = State::Unquoted;
                } else {
                    field = line.mid(i, end - i).toString();
                    onField(field);
                    i = end;
                }
            }
            break;
        case State::Unquoted:
            if (c == separator) {
                onField(field);
                state = State::FieldStart;
            } else {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == quote)
                state = State::QuoteInQuoted;
            else
                field += c;
            break;
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
    if (state == State::FieldStart)
        field.clear();
    onField(field);
    return state;
}

} // namespace

void CSVStringToStrings(QStringView Line, QChar Quote, QChar Separator, TStringList &Strings)
{
    if (Separator.isNull())
        return;
    Strings.Clear();
    splitLine(Line, Quote, Separator, [&Strings](const QString &field) { Strings.Add(field); });
}

bool CSVLineEndsInQuote(QStringView Line, QChar Quote, QChar Separator)
{
    if (Separator.isNull() || Quote.isNull() || std::find(Line.begin(), Line.end(), Quote) == Line.end())
        return false;
    return splitLine(Line, Quote, Separator, [](const QString &) {}) == State::Quoted;
}
