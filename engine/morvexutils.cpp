#include "morvexutils.h"

QString AddQuote(const QString &text, const QString &left, const QString &right)
{
    return left + text + right;
}

QString RemoveQuote(const QString &text, const QString &left, const QString &right)
{
    QString result = text;
    if (!left.isEmpty() && result.startsWith(left))
        result.remove(0, left.size());
    if (!right.isEmpty() && result.endsWith(right))
        result.chop(right.size());
    return result;
}

QString AnsiUpperFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toUpper() + text.mid(1).toLower();
}

QString AnsiUpperFirstWord(const QString &text)
{
    QString result = text;
    qsizetype start = 0;
    // The search for the next space leaves out the last character, so a
    // trailing space does not end a word.
    while (start < result.size() - 1) {
        const qsizetype space = QStringView(result).left(result.size() - 1).indexOf(u' ', start);
        if (space < 0)
            break;
        result.replace(start, space - start, AnsiUpperFirst(result.mid(start, space - start)));
        start = space + 1;
    }
    return result;
}
