#include "textfilereader.h"

#include "codepages.h"
#include "exception.h"

#include <QIODevice>

#include <cstring>

namespace {

// Bytes asked for per read.
constexpr qint64 kChunk = 64 * 1024;

bool isStreamEncoding(const QString &codePage)
{
    return codePage.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive)
        || codePage.startsWith(QLatin1String("UTF-32"), Qt::CaseInsensitive);
}

} // namespace

TTextFileReader::TTextFileReader(QIODevice *device, const QString &codePage)
    : m_device(device), m_codePage(codePage)
{
    if (codePage.isEmpty())
        return;
    if (isStreamEncoding(codePage)) {
        const auto encoding = QStringConverter::encodingForName(codePage.toLatin1().constData());
        if (!encoding)
            throw Exception(QStringLiteral("Unknown code page %1").arg(codePage));
        m_streamDecoder.emplace(*encoding, QStringConverter::Flag::Default);
    } else if (!IsKnownCodePage(codePage)) {
        throw Exception(QStringLiteral("Unknown code page %1").arg(codePage));
    }
}

void TTextFileReader::tooLong() const
{
    throw Exception(QStringLiteral("Line %1 is longer than %2 MiB; the file is not text that can be imported")
                        .arg(m_lineNumber + 1)
                        .arg(kMaxLineBytes >> 20));
}

bool TTextFileReader::readByteLine(QByteArrayView &bytes)
{
    // The file is read in blocks; a line inside the block is handed on as a
    // view of it, and only a line that crosses blocks is put together, in
    // storage kept from line to line.
    m_spill.resize(0);
    bool spilled = false;
    for (;;) {
        const char *const start = m_block.constData() + m_blockPos;
        const qsizetype left = m_block.size() - m_blockPos;
        if (left > 0) {
            const char *const lf = static_cast<const char *>(std::memchr(start, '\n', size_t(left)));
            const qsizetype length = lf ? lf - start + 1 : left;
            m_blockPos += length;
            if (lf && !spilled) {
                bytes = QByteArrayView(start, length);
                return true;
            }
            m_spill.append(start, length);
            spilled = true;
            if (lf) {
                bytes = m_spill;
                return true;
            }
            if (m_spill.size() > kMaxLineBytes)
                tooLong();
        }
        m_block.resize(kChunk);
        const qint64 read = m_device->read(m_block.data(), kChunk);
        m_block.resize(read > 0 ? read : 0);
        m_blockPos = 0;
        if (read <= 0) {
            bytes = m_spill;
            return spilled;
        }
    }
}

bool TTextFileReader::readDecodedLine(QString &line, QString &terminator)
{
    for (;;) {
        const qsizetype lf = m_pending.indexOf(u'\n', m_pendingPos);
        if (lf >= 0) {
            qsizetype end = lf;
            terminator = QStringLiteral("\n");
            if (end > m_pendingPos && m_pending.at(end - 1) == u'\r') {
                --end;
                terminator = QStringLiteral("\r\n");
            }
            line = m_pending.mid(m_pendingPos, end - m_pendingPos);
            m_pendingPos = lf + 1;
            return true;
        }
        const QByteArray chunk = m_device->read(kChunk);
        if (chunk.isEmpty()) {
            if (m_pendingPos >= m_pending.size())
                return false;
            line = m_pending.mid(m_pendingPos);
            terminator.clear();
            m_pending.clear();
            m_pendingPos = 0;
            return true;
        }
        m_pending = m_pending.mid(m_pendingPos) + m_streamDecoder->decode(chunk);
        m_pendingPos = 0;
        if (m_pending.size() * 2 > kMaxLineBytes)
            tooLong();
    }
}

bool TTextFileReader::ReadLine(QString &line, QString &terminator)
{
    if (m_streamDecoder) {
        if (!readDecodedLine(line, terminator))
            return false;
        if (m_lineNumber == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        ++m_lineNumber;
        return true;
    }
    QByteArrayView bytes;
    if (!readByteLine(bytes))
        return false;
    if (bytes.endsWith("\r\n")) {
        bytes.chop(2);
        terminator = QStringLiteral("\r\n");
    } else if (bytes.endsWith('\n')) {
        bytes.chop(1);
        terminator = QStringLiteral("\n");
    } else {
        terminator.clear();
    }
    if (m_lineNumber == 0 && bytes.startsWith("\xEF\xBB\xBF")
        && (m_codePage.isEmpty() || m_codePage.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0))
        bytes = bytes.sliced(3);
    if (m_codePage.isEmpty())
        DecodeTextLine(bytes, line);
    else
        line = CodePageBytesToString(m_codePage, bytes.toByteArray());
    ++m_lineNumber;
    return true;
}
