#pragma once

// Lets GoogleTest print Qt values in failure messages.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString &value, std::ostream *os)
{
    *os << '"' << value.toUtf8().constData() << '"';
}

inline void PrintTo(const QStringList &value, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (i)
            *os << ", ";
        PrintTo(value[i], os);
    }
    *os << ']';
}

inline void PrintTo(const QByteArray &value, std::ostream *os)
{
    *os << "QByteArray(\"" << value.toHex(' ').constData() << "\")";
}

inline void PrintTo(const QVariant &value, std::ostream *os)
{
    *os << "QVariant(" << value.typeName() << ", ";
    PrintTo(value.toString(), os);
    *os << ')';
}
