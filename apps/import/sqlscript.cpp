#include "sqlscript.h"

QStringList SplitSqlScript(const QString &script)
{
    enum class State { Code, SingleQuoted, DoubleQuoted, LineComment, BlockComment };
    State state = State::Code;
    QStringList statements;
    QString current;
    auto finish = [&] {
        const QString statement = current.trimmed();
        if (!statement.isEmpty())
            statements << statement;
        current.clear();
    };
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < script.size() ? script.at(i + 1) : QChar();
        switch (state) {
        case State::Code:
            if (c == u';') {
                finish();
            } else if (c == u'-' && next == u'-') {
                state = State::LineComment;
                ++i;
            } else if (c == u'/' && next == u'*') {
                state = State::BlockComment;
                ++i;
            } else {
                if (c == u'\'')
                    state = State::SingleQuoted;
                else if (c == u'"')
                    state = State::DoubleQuoted;
                current += c;
            }
            break;
        case State::SingleQuoted:
        case State::DoubleQuoted:
            current += c;
            if (c == (state == State::SingleQuoted ? u'\'' : u'"'))
                state = State::Code;
            break;
        case State::LineComment:
            if (c == u'\n') {
                state = State::Code;
                current += c;
            }
            break;
        case State::BlockComment:
            if (c == u'*' && next == u'/') {
                state = State::Code;
                ++i;
            }
            break;
        }
    }
    finish();
    return statements;
}
