#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <optional>

class QIODevice;

// Reads a text file line by line, one line in memory at a time, and tells
// how each line ended. Without a code page the bytes are UTF-8 (a byte-order
// mark at the start is skipped) and a line that is not valid UTF-8 is
// decoded with the ANSI code page, so no byte is lost. With a code page the
// whole file is read in it; UTF-16 and UTF-32 are decoded as a stream.
class TTextFileReader
{
public:
    // A line longer than this is not text this reader will hold in memory.
    static constexpr qsizetype kMaxLineBytes = qsizetype(64) << 20;

    // Raises Exception for a code page that is not known.
    TTextFileReader(QIODevice *device, const QString &codePage);

    // The next line without its terminator, and the terminator ("\r\n",
    // "\n", or empty for a last line without one); false at the end.
    // Raises Exception for a line longer than kMaxLineBytes.
    bool ReadLine(QString &line, QString &terminator);
    // 1-based number of the line read last.
    qint64 LineNumber() const { return m_lineNumber; }

private:
    bool readByteLine(QByteArrayView &bytes);
    bool readDecodedLine(QString &line, QString &terminator);
    [[noreturn]] void tooLong() const;

    QIODevice *m_device;
    QString m_codePage;
    std::optional<QStringDecoder> m_streamDecoder;
    QString m_pending;
    QByteArray m_block;
    qsizetype m_blockPos = 0;
    QByteArray m_spill;
    qsizetype m_pendingPos = 0;
    qint64 m_lineNumber = 0;
};
