#pragma once

// Internal to the XML reader: the bytes of a loaded packet, how they turn into
// text, and the attribute state machine shared by loading and lookups.

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <array>
#include <cstring>

Q_DECLARE_LOGGING_CATEGORY(lcXml)

// The whole packet and the tree that refers into it are held in memory, and
// tags keep 32-bit offsets into the text; 1 GiB is far above any packet one
// import can hold and keeps every offset and message position within range.
inline constexpr qsizetype kMaxTextSize = qsizetype(1) << 30;
// Element and attribute names are field and table identifiers; a longer name
// is damage, not a name.
inline constexpr qsizetype kMaxNameLength = 1024;
// A memo or blob field travels as one attribute value. 64 MiB is far above
// what writers of data packets put into one field; a longer value is taken
// for damage rather than decoded into twice its size in memory.
inline constexpr qsizetype kMaxValueLength = qsizetype(64) << 20;
// A packet nests a few levels: packet, row data, rows, and one more level per
// nested detail table. 256 leaves room for deep details while keeping the
// recursive copy and destruction of a tree far from the limits of a stack.
inline constexpr qsizetype kMaxNestingDepth = 256;

// The bytes of one loaded packet. Every character the parser tests (markup,
// quotes, whitespace) is ASCII, so the bytes are scanned as they are in every
// supported encoding: UTF-8 or a single-byte code page that keeps ASCII.
class XmlText
{
public:
    explicit XmlText(QByteArray bytes);

    const QByteArray &Bytes() const { return m_bytes; }
    const char *Data() const { return m_bytes.constData(); }
    qsizetype Size() const { return m_bytes.size(); }

    // Decodes the rest of the packet as the declaration's encoding names it;
    // an empty name means UTF-8. Raises Exception for an encoding that is not
    // UTF-8 or a single-byte code page keeping ASCII.
    void SetEncoding(const QString &name);

    // The character that starts at byte pos, and the number of bytes it takes.
    char32_t CharAt(qsizetype pos, int &length) const
    {
        const uchar b = uchar(m_bytes.data()[pos]);
        length = 1;
        return b < 0x80 ? b : nonAsciiCharAt(pos, length);
    }
    // The text of the bytes [begin, end), which start and end on characters.
    QString Decode(qsizetype begin, qsizetype end) const;
    // The start of the character that holds byte pos (a cap may cut one).
    qsizetype CharStart(qsizetype pos) const;
    // The 1-based position of the character at byte pos, counted in
    // characters from the one at byte begin.
    qsizetype Position(qsizetype begin, qsizetype pos) const;

private:
    char32_t nonAsciiCharAt(qsizetype pos, int &length) const;
    // UTF-8 when the text is valid UTF-8, else the ANSI code page; true for UTF-8.
    bool useUtf8OrAnsi();
    // Decodes with the table of a code page; false when it is not single-byte.
    bool useSingleByteCodePage(const QString &codePage);

    QByteArray m_bytes;
    bool m_validUtf8;
    bool m_utf8 = true;
    std::array<char16_t, 256> m_table{};
};

constexpr bool IsXmlWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names start with ':', '_', an ASCII letter or a character from U+00C0 on
// other than the multiplication and division signs; later characters may
// also be '-', '.', a digit or the middle dot.
constexpr bool IsNameStartChar(char32_t c)
{
    return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

constexpr bool IsNameChar(char32_t c)
{
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7;
}

// IsNameChar for a byte below 0x80; false for every other byte.
inline bool IsAsciiNameChar(char b)
{
    static constexpr auto table = [] {
        std::array<bool, 128> t{};
        for (char32_t c = 0; c < 128; ++c)
            t[c] = IsNameChar(c);
        return t;
    }();
    return uchar(b) < 0x80 && table[uchar(b)];
}

inline bool IsAscii(const char *data, qsizetype length)
{
    const char *end = data + length;
    for (; end - data >= 8; data += 8) {
        quint64 word;
        std::memcpy(&word, data, 8);
        if (word & 0x8080808080808080u)
            return false;
    }
    for (; data < end; ++data) {
        if (uchar(*data) >= 0x80)
            return false;
    }
    return true;
}

// "Unexpected symbol %s at position %d" for the character at byte pos,
// counted from the start of the text being scanned at byte begin.
[[noreturn]] void RaiseUnexpectedSymbol(const XmlText &text, qsizetype begin, qsizetype pos);

// The length in bytes of the entity or character reference starting with the
// '&' at p (up to end), with the character it stands for; 0 when p does not
// start a well-formed reference to one of the five predefined entities or to a
// character XML allows.
qsizetype ReferenceLength(const char *p, const char *end, char32_t &c);

// The text of an attribute value held in [begin, end) of an already scanned
// tag, its references decoded.
QString DecodeValue(const XmlText &text, qsizetype begin, qsizetype end);

// Receives what the attribute state machine reads.
class AttributeSink
{
public:
    // A name has been read, before its value.
    virtual void Name(qsizetype begin, qsizetype end);
    // A complete attribute: its name and its value between the quotes.
    virtual void Attribute(qsizetype nameBegin, qsizetype nameEnd, qsizetype valueBegin, qsizetype valueEnd) = 0;

protected:
    ~AttributeSink() = default;
};

// Runs the attribute state machine over the bytes [begin, end); positions in
// its messages count from begin. Attribute text that ends before a value is
// closed leaves that attribute unread, without an error.
void ScanAttributes(const XmlText &text, qsizetype begin, qsizetype end, AttributeSink &sink);
