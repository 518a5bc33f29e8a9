#pragma once

#include "exception.h"

#include <cstdint>

// Raised by the data-access layer for its own checks: a dataset in the wrong
// state, a column that refuses a value, a missing connection.
class EIB_Error : public Exception
{
public:
    using Exception::Exception;
};

// A failure reported by the Firebird client or server. The message is the
// server's own formatted status text followed by the SQL and GDS codes, which
// are also kept so that callers can tell a constraint violation from a lost
// connection.
class EIB_ISCError : public EIB_Error
{
public:
    EIB_ISCError(const QString &statusText, int sqlCode, intptr_t gdsCode)
        : EIB_Error(statusText + QStringLiteral("\nSQLCODE: %1\nGDSCODE: %2").arg(sqlCode).arg(qint64(gdsCode))),
          m_statusText(statusText), m_sqlCode(sqlCode), m_gdsCode(gdsCode)
    {
    }

    const QString &StatusText() const noexcept { return m_statusText; }
    int SQLCODE() const noexcept { return m_sqlCode; }
    intptr_t GDSCODE() const noexcept { return m_gdsCode; }

private:
    QString m_statusText;
    int m_sqlCode;
    intptr_t m_gdsCode;
};
