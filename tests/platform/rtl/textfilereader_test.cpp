#include "textfilereader.h"

#include "exception.h"
#include "qtprinters.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// Every line of the bytes, each followed by "|" and its terminator shown as
// \r\n, \n or nothing.
QStringList readAll(const QByteArray &bytes, const QString &codePage = QString())
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TTextFileReader reader(&buffer, codePage);
    QStringList lines;
    QString line;
    QString terminator;
    while (reader.ReadLine(line, terminator)) {
        terminator.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        lines << line + u'|' + terminator;
    }
    return lines;
}

} // namespace

TEST(TextFileReader, Utf8WithAnsiFallbackPerLineAndTerminatorsKept)
{
    const QByteArray file = "\xEF\xBB\xBF" "caf\xC3\xA9\r\n"
                            "caf\xE9\n"
                            "\n"
                            "last";
    EXPECT_EQ(readAll(file), (QStringList{QStringLiteral("café|\\r\\n"), QStringLiteral("café|\\n"),
                                          QStringLiteral("|\\n"), QStringLiteral("last|")}));
    EXPECT_TRUE(readAll(QByteArray()).isEmpty());
    // A byte-order mark is only skipped at the start of the file.
    EXPECT_EQ(readAll(QByteArray("a\n\xEF\xBB\xBF" "b")).at(1), QStringLiteral("\uFEFFb|"));
    // A lone CR is not a line end.
    EXPECT_EQ(readAll(QByteArray("a\rb\n")), QStringList{QStringLiteral("a\rb|\\n")});
}

TEST(TextFileReader, NamedCodePagesIncludingUtf16)
{
    EXPECT_EQ(readAll(QByteArray("\x8F\xE0\xA8\r\n\xAC\xA8\xE0"), QStringLiteral("IBM866")),
              (QStringList{QStringLiteral("При|\\r\\n"), QStringLiteral("мир|")}));
    const QString text = QStringLiteral("Zoë\r\n漢字\n");
    QByteArray utf16 = QByteArray("\xFF\xFE");
    for (QChar c : text) {
        utf16.append(char(c.unicode() & 0xFF));
        utf16.append(char(c.unicode() >> 8));
    }
    EXPECT_EQ(readAll(utf16, QStringLiteral("UTF-16LE")),
              (QStringList{QStringLiteral("Zoë|\\r\\n"), QStringLiteral("漢字|\\n")}));
    EXPECT_THROW(readAll(QByteArray("x"), QStringLiteral("no-such-page")), Exception);
}

TEST(TextFileReader, OverlongLineIsRefusedNotHeld)
{
    QByteArray huge(TTextFileReader::kMaxLineBytes + 10, 'x');
    huge.prepend("first\n");
    QBuffer buffer(&huge);
    buffer.open(QIODevice::ReadOnly);
    TTextFileReader reader(&buffer, QString());
    QString line;
    QString terminator;
    ASSERT_TRUE(reader.ReadLine(line, terminator));
    try {
        reader.ReadLine(line, terminator);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Line 2 is longer than 64 MiB"))) << e.what();
    }
}

// The file is read in blocks: lines, terminators and multi-byte characters
// that straddle the end of a block come out whole.
TEST(TextFileReader, LinesAcrossBlockEndsComeOutWhole)
{
    QByteArray file;
    QStringList expected;
    for (int i = 0; file.size() < 300 * 1024; ++i) {
        const QString text = QString(i % 97, u'x') + QStringLiteral("\u00E9%1").arg(i);
        const bool crlf = i % 3 != 0;
        file += text.toUtf8() + (crlf ? "\r\n" : "\n");
        expected << text + (crlf ? QStringLiteral("|\\r\\n") : QStringLiteral("|\\n"));
    }
    file += "no end";
    expected << QStringLiteral("no end|");
    EXPECT_EQ(readAll(file), expected);
}
