#pragma once

#include "exception.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstring>

// Raised when binary input ends before what was being read. The message
// names the item, its offset and how many bytes were expected and found.
class EReadError : public Exception
{
public:
    EReadError(QString what, qsizetype offset, qsizetype expected, qsizetype found)
        : Exception(QStringLiteral("Unexpected end of data reading %1 at offset %2: expected %3 bytes, found %4")
                        .arg(what).arg(offset).arg(expected).arg(found))
        , What(std::move(what)), Offset(offset), Expected(expected), Found(found)
    {
    }

    QString What;
    qsizetype Offset;
    qsizetype Expected;
    qsizetype Found;
};

// A bounds-checked little-endian reader over a span of bytes. Every read
// checks what remains first and raises EReadError instead of reading past
// the end; nothing is ever cast onto the buffer.
class TByteReader
{
public:
    explicit TByteReader(QByteArrayView data) : m_data(data) {}

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    QByteArrayView data() const { return m_data; }

    uint8_t u8(const char *what = "byte") { return uint8_t(take(1, what)[0]); }
    int8_t i8(const char *what = "byte") { return int8_t(u8(what)); }
    uint16_t u16le(const char *what = "16-bit value") { return uint16_t(little(2, what)); }
    int16_t i16le(const char *what = "16-bit value") { return int16_t(u16le(what)); }
    uint32_t u32le(const char *what = "32-bit value") { return uint32_t(little(4, what)); }
    int32_t i32le(const char *what = "32-bit value") { return int32_t(u32le(what)); }
    uint64_t u64le(const char *what = "64-bit value") { return little(8, what); }
    int64_t i64le(const char *what = "64-bit value") { return int64_t(u64le(what)); }
    double f64le(const char *what = "floating-point value")
    {
        const uint64_t bits = u64le(what);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The next n bytes, without copying.
    QByteArrayView bytes(qsizetype n, const char *what = "bytes") { return take(n, what); }
    void skip(qsizetype n, const char *what = "bytes") { take(n, what); }
    // Moves to an absolute offset; the offset may be the end but not beyond it.
    void seek(qsizetype offset, const char *what = "offset")
    {
        if (offset < 0 || offset > m_data.size())
            throw EReadError(QLatin1String(what), offset, 0, m_data.size() - offset);
        m_pos = offset;
    }

private:
    QByteArrayView take(qsizetype n, const char *what)
    {
        if (n < 0 || n > remaining())
            throw EReadError(QLatin1String(what), m_pos, n, remaining());
        const QByteArrayView view = m_data.sliced(m_pos, n);
        m_pos += n;
        return view;
    }

    uint64_t little(qsizetype n, const char *what)
    {
        const QByteArrayView b = take(n, what);
        uint64_t value = 0;
        for (qsizetype i = n; i-- > 0;)
            value = (value << 8) | uint8_t(b[i]);
        return value;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
