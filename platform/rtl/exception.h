#pragma once

#include <QString>
#include <QByteArray>

#include <exception>

// The general exception class: every engine and reader error derives from it.
class Exception : public std::exception
{
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Raised by every conversion of text that does not hold what was asked for.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};
