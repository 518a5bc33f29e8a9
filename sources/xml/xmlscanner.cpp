#include "xmlscanner_p.h"

#include "codepages.h"
#include "exception.h"

#include <QStringDecoder>

#include <algorithm>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

bool isUtf8Continuation(char c)
{
    return (uchar(c) & 0xC0) == 0x80;
}

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigitValue(char c)
{
    if (isDecimalDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The characters an XML document may hold; a reference to any other is malformed.
bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// One character as text. (QString::fromUcs4 would drop U+FEFF as a byte-order mark.)
QString charText(char32_t c)
{
    return QStringView(QChar::fromUcs4(c)).toString();
}

} // namespace

XmlText::XmlText(QByteArray bytes) : m_bytes(std::move(bytes)), m_validUtf8(m_bytes.isValidUtf8())
{
    if (m_bytes.size() > kMaxTextSize)
        throw Exception(u"The XML file is larger than %1 bytes"_s.arg(kMaxTextSize));
    // Until the declaration names an encoding; the markup before it is ASCII.
    useUtf8OrAnsi();
}

bool XmlText::useUtf8OrAnsi()
{
    m_utf8 = m_validUtf8;
    if (!m_utf8 && !useSingleByteCodePage(AnsiCodePage()))
        useSingleByteCodePage(u"ISO-8859-1"_s);
    return m_utf8;
}

void XmlText::SetEncoding(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.compare("UTF-8"_L1, Qt::CaseInsensitive) == 0
        || trimmed.compare("UTF8"_L1, Qt::CaseInsensitive) == 0) {
        // Older writers put the ANSI bytes of their strings into packets
        // that declare no encoding; keep every byte rather than replace it.
        if (!useUtf8OrAnsi())
            qCWarning(lcXml) << "XML text is not valid UTF-8; decoding it with the ANSI code page" << AnsiCodePage();
        return;
    }
    if (!IsKnownCodePage(trimmed) || !useSingleByteCodePage(trimmed))
        throw Exception(u"Encoding %1 is not supported"_s.arg(trimmed));
}

bool XmlText::useSingleByteCodePage(const QString &codePage)
{
    QByteArray every(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        every[i] = char(i);
    const QString decoded = CodePageBytesToString(codePage, every);
    // One character per byte, ASCII kept: otherwise the markup could not be
    // scanned byte by byte (UTF-16, multi-byte Asian code pages).
    if (decoded.size() != 256)
        return false;
    for (int i = 0; i < 0x80; ++i) {
        if (decoded.at(i).unicode() != i)
            return false;
    }
    m_utf8 = false;
    for (int i = 0; i < 256; ++i)
        m_table[i] = decoded.at(i).unicode();
    return true;
}

char32_t XmlText::nonAsciiCharAt(qsizetype pos, int &length) const
{
    const uchar lead = uchar(m_bytes.at(pos));
    if (!m_utf8)
        return m_table[lead];
    // The whole text is valid UTF-8 here, so the sequence is complete; a scan
    // that starts inside a sequence still moves on by one byte at a time.
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
    for (int i = 1; i <= extra && pos + i < m_bytes.size(); ++i) {
        c = (c << 6) | (uchar(m_bytes.at(pos + i)) & 0x3F);
        ++length;
    }
    return c;
}

QString XmlText::Decode(qsizetype begin, qsizetype end) const
{
    // ASCII stands for itself in every encoding the text may have.
    if (IsAscii(Data() + begin, end - begin))
        return QString::fromLatin1(Data() + begin, end - begin);
    if (m_utf8) {
        // A U+FEFF that starts a value or name is text, not a byte-order mark.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(Data() + begin, end - begin));
    }
    QString result(end - begin, Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = begin; i < end; ++i)
        *out++ = QChar(m_table[uchar(m_bytes.at(i))]);
    return result;
}

qsizetype XmlText::CharStart(qsizetype pos) const
{
    if (m_utf8) {
        while (pos > 0 && pos < m_bytes.size() && isUtf8Continuation(m_bytes.at(pos)))
            --pos;
    }
    return pos;
}

qsizetype XmlText::Position(qsizetype begin, qsizetype pos) const
{
    if (!m_utf8)
        return pos - begin + 1;
    qsizetype characters = 0;
    for (qsizetype i = begin; i < pos && i < m_bytes.size(); ++i) {
        if (!isUtf8Continuation(m_bytes.at(i)))
            ++characters;
    }
    return characters + 1;
}

void RaiseUnexpectedSymbol(const XmlText &text, qsizetype begin, qsizetype pos)
{
    int length = 0;
    QString symbol;
    if (pos < text.Size()) {
        const char32_t c = text.CharAt(pos, length);
        symbol = charText(c);
    }
    throw Exception(u"Unexpected symbol %1 at position %2"_s.arg(symbol).arg(text.Position(begin, pos)));
}

qsizetype ReferenceLength(const char *p, const char *end, char32_t &c)
{
    const qsizetype available = end - p;
    if (available >= 2 && p[1] == '#') {
        const bool hex = available >= 3 && p[2] == 'x';
        const char *q = p + (hex ? 3 : 2);
        const char *digits = q;
        char32_t value = 0;
        for (; q < end; ++q) {
            const int digit = hex ? hexDigitValue(*q) : (isDecimalDigit(*q) ? *q - '0' : -1);
            if (digit < 0)
                break;
            // Saturate above the last code point so that long digit runs cannot overflow.
            value = value > 0x10FFFF ? value : value * (hex ? 16 : 10) + char32_t(digit);
        }
        if (q == digits || q == end || *q != ';' || !isXmlChar(value))
            return 0;
        c = value;
        return q + 1 - p;
    }
    static constexpr struct
    {
        const char *name;
        qsizetype length;
        char32_t c;
    } entities[] = {{"amp;", 4, '&'}, {"lt;", 3, '<'}, {"gt;", 3, '>'}, {"quot;", 5, '"'}, {"apos;", 5, '\''}};
    for (const auto &entity : entities) {
        if (available - 1 >= entity.length && std::memcmp(p + 1, entity.name, size_t(entity.length)) == 0) {
            c = entity.c;
            return entity.length + 1;
        }
    }
    return 0;
}

QString DecodeValue(const XmlText &text, qsizetype begin, qsizetype end)
{
    const char *data = text.Data();
    const void *amp = std::memchr(data + begin, '&', size_t(end - begin));
    if (!amp)
        return text.Decode(begin, end);
    QString result;
    result.reserve(end - begin);
    qsizetype run = begin;
    while (amp) {
        const qsizetype at = static_cast<const char *>(amp) - data;
        result += text.Decode(run, at);
        char32_t c = 0;
        const qsizetype length = ReferenceLength(data + at, data + end, c);
        if (length > 0) {
            result += QStringView(QChar::fromUcs4(c));
            run = at + length;
        } else {
            // Values are checked while loading; a bare '&' only reaches here in
            // text that was never scanned, and stays what it is.
            result += QLatin1Char('&');
            run = at + 1;
        }
        amp = std::memchr(data + run, '&', size_t(end - run));
    }
    result += text.Decode(run, end);
    return result;
}

void AttributeSink::Name(qsizetype, qsizetype)
{
}

void ScanAttributes(const XmlText &text, qsizetype begin, qsizetype end, AttributeSink &sink)
{
    enum class State { Between, InName, AfterName, AfterEquals };
    const char *data = text.Data();
    State state = State::Between;
    qsizetype nameBegin = 0;
    qsizetype nameEnd = 0;
    qsizetype i = begin;
    while (i < end) {
        const char b = data[i];
        switch (state) {
        case State::Between: {
            if (IsXmlWhitespace(b)) {
                ++i;
                break;
            }
            int length = 0;
            if (!IsNameStartChar(text.CharAt(i, length)))
                RaiseUnexpectedSymbol(text, begin, i);
            nameBegin = i;
            i += length;
            state = State::InName;
            break;
        }
        case State::InName: {
            // Names are nearly always ASCII: take those characters in one
            // run, up to the length cap, before the general test below.
            const qsizetype runEnd = std::min(end, nameBegin + kMaxNameLength);
            while (i < runEnd && IsAsciiNameChar(data[i]))
                ++i;
            if (i == end)
                break;
            const char c = data[i];
            if (IsXmlWhitespace(c) || c == '=') {
                nameEnd = i;
                sink.Name(nameBegin, nameEnd);
                state = c == '=' ? State::AfterEquals : State::AfterName;
                ++i;
                break;
            }
            int length = 0;
            if (i - nameBegin >= kMaxNameLength || !IsNameChar(text.CharAt(i, length)))
                RaiseUnexpectedSymbol(text, begin, i);
            i += length;
            break;
        }
        case State::AfterName:
            if (b == '=')
                state = State::AfterEquals;
            else if (!IsXmlWhitespace(b))
                RaiseUnexpectedSymbol(text, begin, i);
            ++i;
            break;
        case State::AfterEquals: {
            if (IsXmlWhitespace(b)) {
                ++i;
                break;
            }
            if (b != '"' && b != '\'')
                RaiseUnexpectedSymbol(text, begin, i);
            const qsizetype valueBegin = i + 1;
            const void *quote = std::memchr(data + valueBegin, b, size_t(end - valueBegin));
            const qsizetype valueEnd = quote ? static_cast<const char *>(quote) - data : end;
            if (valueEnd - valueBegin > kMaxValueLength) {
                RaiseUnexpectedSymbol(text, begin, text.CharStart(valueBegin + kMaxValueLength));
            }
            for (const void *amp = std::memchr(data + valueBegin, '&', size_t(valueEnd - valueBegin)); amp;) {
                const qsizetype at = static_cast<const char *>(amp) - data;
                char32_t c = 0;
                const qsizetype length = ReferenceLength(data + at, data + valueEnd, c);
                if (length == 0)
                    RaiseUnexpectedSymbol(text, begin, at);
                amp = std::memchr(data + at + length, '&', size_t(valueEnd - at - length));
            }
            if (!quote)
                return;
            sink.Attribute(nameBegin, nameEnd, valueBegin, valueEnd);
            i = valueEnd + 1;
            state = State::Between;
            break;
        }
        }
    }
}
