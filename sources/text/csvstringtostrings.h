#pragma once

#include "shorttext.h"

#include <QChar>
#include <QString>
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

// The splitter's states.
enum class CSVSplitState { FieldStart, Quoted, QuoteInQuoted, AfterClosingQuote };

// The splitting of CSVStringToStrings for a caller that takes the fields
// itself: runs the state machine over the line, calling onField(field) for
// each field in order; true when the line ends inside a quoted field.
// Unquoted fields are handed on as parts of the line; quoted ones are built
// in one buffer that every field reuses, valid until the next call.
template<class OnField>
bool CSVSplitLine(QStringView line, QChar quote, QChar separator, OnField onField)
{
    const bool quoting = !quote.isNull();
    CSVSplitState state = CSVSplitState::FieldStart;
    QString field;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        switch (state) {
        case CSVSplitState::FieldStart:
            if (quoting && c == quote) {
                field.resize(0);
                state = CSVSplitState::Quoted;
            } else {
                // An unquoted field runs to the next separator, Q included:
                // take it whole.
                const qsizetype end = FindShortText(line, separator, i);
                onField(line.mid(i, end - i));
                if (end == line.size())
                    return false;
                i = end;
            }
            break;
        case CSVSplitState::Quoted: {
            // Everything up to the next quote belongs to the field.
            const qsizetype end = FindShortText(line, quote, i);
            field += line.mid(i, end - i);
            if (end < line.size())
                state = CSVSplitState::QuoteInQuoted;
            i = end;
            break;
        }
        case CSVSplitState::QuoteInQuoted:
            if (c == quote) {
                field += c;
                state = CSVSplitState::Quoted;
            } else if (c == separator) {
                onField(field);
                state = CSVSplitState::FieldStart;
            } else {
                state = CSVSplitState::AfterClosingQuote;
            }
            break;
        case CSVSplitState::AfterClosingQuote:
            if (c == separator) {
                onField(field);
                state = CSVSplitState::FieldStart;
            }
            break;
        }
    }
    // The end of the line ends the last field; after a separator (or in an
    // empty line) that field is empty.
    onField(state == CSVSplitState::FieldStart ? QStringView() : QStringView(field));
    return state == CSVSplitState::Quoted;
}
