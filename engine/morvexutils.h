#pragma once

#include <QString>

// Text operations of the per-column conversion rules.

// left + text + right.
QString AddQuote(const QString &text, const QString &left, const QString &right);
// Removes left from the start when the text begins with it, then right from
// the end when what is left ends with it; empty quotes remove nothing.
QString RemoveQuote(const QString &text, const QString &left, const QString &right);
// First character upper case, all others lower case.
QString AnsiUpperFirst(const QString &text);
// Every word that is followed by a space gets AnsiUpperFirst; the text after
// the last space stays as it is ("john ronald smith" → "John Ronald smith").
QString AnsiUpperFirstWord(const QString &text);
