#include "sqltext_p.h"

#include <vector>

namespace ibo {

namespace {

struct Token
{
    enum Kind { Word, Quoted, String, Symbol } kind;
    qsizetype pos;
    qsizetype length;
    int depth;
};

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Splits SQL text into words, quoted identifiers, string literals and
// symbols, skipping blanks and comments and noting the parenthesis depth.
std::vector<Token> Tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"') {
            const qsizetype start = i++;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            tokens.push_back({c == u'"' ? Token::Quoted : Token::String, start, i - start, depth});
        } else if (IsWordChar(c)) {
            const qsizetype start = i;
            while (i < n && IsWordChar(sql[i]))
                ++i;
            tokens.push_back({Token::Word, start, i - start, depth});
        } else {
            if (c == u')')
                --depth;
            tokens.push_back({Token::Symbol, i, 1, depth});
            if (c == u'(')
                ++depth;
            ++i;
        }
    }
    return tokens;
}

bool IsWord(const QString &sql, const Token &t, const char *word)
{
    return t.kind == Token::Word && QStringView(sql).mid(t.pos, t.length).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Words that may follow a table reference but are never its alias.
bool IsClauseWord(const QString &sql, const Token &t)
{
    static const char *const words[] = {"WHERE", "GROUP", "HAVING", "ORDER", "ROWS", "PLAN", "UNION", "JOIN",
                                        "INNER", "LEFT", "RIGHT", "FULL", "NATURAL", "CROSS", "FOR", "WITH",
                                        "FETCH", "OFFSET", "WINDOW"};
    for (const char *w : words)
        if (IsWord(sql, t, w))
            return true;
    return false;
}

// Index of the token after a FIRST/SKIP argument starting at index i.
size_t SkipArgument(const std::vector<Token> &tokens, const QString &sql, size_t i)
{
    if (i >= tokens.size())
        return i;
    if (tokens[i].kind == Token::Symbol && sql[tokens[i].pos] == u'(') {
        const int depth = tokens[i].depth;
        ++i;
        while (i < tokens.size() && !(tokens[i].depth == depth && sql[tokens[i].pos] == u')'))
            ++i;
        return i + 1;
    }
    return i + 1;
}

} // namespace

std::optional<SelectShape> AnalyzeSelect(const QString &sql)
{
    const std::vector<Token> tokens = Tokenize(sql);
    if (tokens.empty() || !IsWord(sql, tokens[0], "SELECT"))
        return std::nullopt;
    size_t i = 1;
    for (const char *modifier : {"FIRST", "SKIP"})
        if (i < tokens.size() && IsWord(sql, tokens[i], modifier))
            i = SkipArgument(tokens, sql, i + 1);
    if (i < tokens.size() && (IsWord(sql, tokens[i], "DISTINCT") || IsWord(sql, tokens[i], "ALL")))
        ++i;
    if (i >= tokens.size())
        return std::nullopt;
    SelectShape shape;
    shape.listStart = tokens[i].pos;
    const size_t listFirst = i;
    while (i < tokens.size() && !(tokens[i].depth == 0 && IsWord(sql, tokens[i], "FROM")))
        ++i;
    if (i >= tokens.size() || i == listFirst)
        return std::nullopt;
    shape.fromStart = tokens[i].pos;
    if (i == listFirst + 1 && tokens[listFirst].kind == Token::Symbol && sql[tokens[listFirst].pos] == u'*') {
        shape.listIsStar = true;
        shape.starPos = tokens[listFirst].pos;
    }
    ++i;
    if (i >= tokens.size() || (tokens[i].kind != Token::Word && tokens[i].kind != Token::Quoted) || IsClauseWord(sql, tokens[i]))
        return std::nullopt;
    shape.qualifier = sql.mid(tokens[i].pos, tokens[i].length);
    ++i;
    if (i < tokens.size() && IsWord(sql, tokens[i], "AS"))
        ++i;
    if (i < tokens.size() && (tokens[i].kind == Token::Quoted || (tokens[i].kind == Token::Word && !IsClauseWord(sql, tokens[i]))))
        shape.qualifier = sql.mid(tokens[i].pos, tokens[i].length);
    return shape;
}

std::optional<QString> AddSelectColumns(const QString &sql, const QStringList &columnExpressions)
{
    const std::optional<SelectShape> shape = AnalyzeSelect(sql);
    if (!shape)
        return std::nullopt;
    QString added;
    for (const QString &expression : columnExpressions)
        added += QStringLiteral(", ") + shape->qualifier + u'.' + expression;
    QString result = sql;
    result.insert(shape->fromStart, added + u' ');
    if (shape->listIsStar)
        result.replace(shape->starPos, 1, shape->qualifier + QStringLiteral(".*"));
    return result;
}

} // namespace ibo
