#include "codepages.h"

#include "exception.h"

#include <QStringDecoder>
#include <QTextCodec>

#include <algorithm>

namespace {

struct CodePages
{
    QTextCodec *ansi = QTextCodec::codecForName("windows-1252");
    QTextCodec *oem = QTextCodec::codecForName("IBM437");
};

CodePages &codePages()
{
    static CodePages pages;
    return pages;
}

QTextCodec *codecOrThrow(const QString &name)
{
    QTextCodec *codec = QTextCodec::codecForName(name.toLatin1());
    if (!codec)
        throw Exception(QStringLiteral("Unknown code page %1").arg(name));
    return codec;
}

// One character through two single-byte code pages. The character is kept when
// either side has no single byte or character for it.
QChar recode(QChar c, QTextCodec *from, QTextCodec *to)
{
    if (c.unicode() < 0x80)
        return c;
    QTextCodec::ConverterState encodeState(QTextCodec::ConvertInvalidToNull);
    const QByteArray byte = from->fromUnicode(&c, 1, &encodeState);
    if (byte.size() != 1 || encodeState.invalidChars > 0)
        return c;
    QTextCodec::ConverterState decodeState(QTextCodec::ConvertInvalidToNull);
    const QString back = to->toUnicode(byte.constData(), 1, &decodeState);
    if (back.size() != 1 || decodeState.invalidChars > 0 || back[0] == QChar::ReplacementCharacter)
        return c;
    return back[0];
}

QString recodeText(const QString &text, QTextCodec *from, QTextCodec *to)
{
    QString result = text;
    for (QChar &c : result)
        c = recode(c, from, to);
    return result;
}

} // namespace

QString AnsiCodePage()
{
    return QString::fromLatin1(codePages().ansi->name());
}

void SetAnsiCodePage(const QString &name)
{
    codePages().ansi = codecOrThrow(name);
}

QString OemCodePage()
{
    return QString::fromLatin1(codePages().oem->name());
}

void SetOemCodePage(const QString &name)
{
    codePages().oem = codecOrThrow(name);
}

bool IsKnownCodePage(const QString &name)
{
    return QTextCodec::codecForName(name.toLatin1()) != nullptr;
}

QString AnsiBytesToString(const QByteArray &bytes)
{
    return codePages().ansi->toUnicode(bytes);
}

QByteArray StringToAnsiBytes(const QString &text)
{
    return codePages().ansi->fromUnicode(text);
}

QString CodePageBytesToString(const QString &codePage, const QByteArray &bytes)
{
    return codecOrThrow(codePage)->toUnicode(bytes);
}

QString OemToAnsi(const QString &text)
{
    return recodeText(text, codePages().ansi, codePages().oem);
}

QString AnsiToOem(const QString &text)
{
    return recodeText(text, codePages().oem, codePages().ansi);
}

namespace {

bool IsAscii(QByteArrayView bytes)
{
    // Every byte is looked at, without an early way out, so that the
    // compiler can take many bytes at a time.
    unsigned char any = 0;
    for (char c : bytes)
        any |= uchar(c);
    return any < 0x80;
}

// Valid UTF-8, or else the ANSI code page, so that no byte is lost.
QString DecodeNonAscii(QByteArrayView line)
{
    // The reader drops the byte-order mark of the file; one inside the text is kept.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(line);
    if (!utf8.hasError())
        return text;
    return AnsiBytesToString(line.toByteArray());
}

} // namespace

QString DecodeTextLine(const QByteArray &line)
{
    QString text;
    DecodeTextLine(line, text);
    return text;
}

void DecodeTextLine(QByteArrayView line, QString &text)
{
    // Most lines are plain ASCII, which every decoding reads alike.
    if (!IsAscii(line)) {
        text = DecodeNonAscii(line);
        return;
    }
    text.resize(line.size());
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (char c : line)
        *out++ = uchar(c);
}
