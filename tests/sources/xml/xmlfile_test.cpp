#include "xmloutline.h"
#include "xmltestutil.h"

#include "qtprinters.h"

#include "codepages.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList fieldNames(const TXMLFile &file)
{
    QStringList names;
    const TXMLTagList *fields = file.GetFields();
    for (int i = 0; fields && i < fields->Count(); ++i)
        names << fields->GetItem(i)->AttributeValue(u"attrname"_s);
    return names;
}

TEST(XmlFileTest, TypedPacketFromBufDatasetReadsAsWritten)
{
    TXMLFile file;
    file.SetFileName(fixturePath("types.xml"));
    file.Load();
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.Header().Attributes().Text(), u"version=1.0\nencoding=utf-8\n"_s);
    EXPECT_EQ(fieldNames(file), QStringList({u"NAME"_s, u"QTY"_s, u"PRICE"_s, u"BORN"_s, u"STAMP"_s, u"OK"_s,
                                             u"NOTE"_s, u"PIC"_s}));
    EXPECT_EQ(file.GetFieldCount(), 8);
    EXPECT_EQ(file.GetFields()->GetItem(6)->AttributeValue(u"FieldType"_s), u"bin.hex"_s);
    ASSERT_EQ(file.GetRowCount(), 3);

    const TXMLTag &first = *file.GetRows()->GetItem(0);
    EXPECT_EQ(first.Name(), u"ROW"_s);
    EXPECT_EQ(first.Parent()->Name(), u"ROWDATA"_s);
    EXPECT_EQ(first.AttributeValue(u"name"_s), u"Caf\u00E9 & <Bar> \"Q\" 'A'"_s);
    EXPECT_EQ(first.AttributeValue(u"QTY"_s), u"-42"_s);
    EXPECT_EQ(first.AttributeValue(u"PRICE"_s), u"3.25"_s);
    EXPECT_EQ(first.AttributeValue(u"BORN"_s), u"1999-12-31"_s);
    EXPECT_EQ(first.AttributeValue(u"STAMP"_s), u"2024-02-29 13:45:07"_s);
    EXPECT_EQ(first.AttributeValue(u"OK"_s), u"True"_s);
    EXPECT_EQ(first.AttributeValue(u"NOTE"_s), u"line1\r\nline2\ttab"_s);
    EXPECT_EQ(QByteArray::fromBase64(first.AttributeValue(u"PIC"_s).toLatin1()), QByteArray("\0\1\2xyz", 6));

    const TXMLTag &second = *file.GetRows()->GetItem(1);
    EXPECT_EQ(second.AttributeValue(u"NAME"_s), u"\u041F\u0440\u0438\u0432\u0435\u0442, \u65E5\u672C \u20AC"_s);
    EXPECT_EQ(second.AttributeValue(u"QTY"_s), u"2147483647"_s);
    EXPECT_EQ(second.AttributeValue(u"PRICE"_s), u"-1.5E-7"_s);
    EXPECT_EQ(second.AttributeValue(u"NOTE"_s), u"a > b && c < d"_s);
    EXPECT_EQ(second.AttributeValue(u"OK"_s), u"False"_s);

    EXPECT_EQ(second.AttributeValues({u"qty"_s, u"MISSING"_s, u"Born"_s, u"QTY"_s}),
              QStringList({u"2147483647"_s, QString(), u"1900-01-01"_s, u"2147483647"_s}));

    // NULLs are written as absent attributes.
    const TXMLTag &third = *file.GetRows()->GetItem(2);
    EXPECT_EQ(third.Attributes().Text(), u"QTY=0\nRowState=4\n"_s);
    EXPECT_EQ(third.AttributeValue(u"NAME"_s), QString());
}

TEST(XmlFileTest, EmptyTableIsOneEmptyRowDataElement)
{
    TXMLFile file;
    file.LoadFromBytes(readFixture("empty.xml"));
    EXPECT_EQ(file.GetFieldCount(), 8);
    ASSERT_NE(file.GetRows(), nullptr);
    EXPECT_EQ(file.GetRowCount(), 0);
    // The DATAPACKET closes after it: ROWDATA opened nothing.
    EXPECT_EQ(file.Tags().GetItem(0)->ChildCount(), 2);
}

struct EncodingCase
{
    const char *name;
    const char *fixture;
    QString value;
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class XmlEncodingTest : public testing::TestWithParam<EncodingCase>
{
};

TEST_P(XmlEncodingTest, ValuesBecomeUnicodeText)
{
    TXMLFile file;
    file.LoadFromBytes(readFixture(GetParam().fixture));
    ASSERT_EQ(file.GetRowCount(), 1);
    EXPECT_EQ(file.GetRows()->GetItem(0)->AttributeValue(u"NAME"_s), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, XmlEncodingTest,
    testing::Values(EncodingCase{"Latin1", "latin1_encoding.xml", u"\u00C6r\u00F8 \u00C7\u00E0 \u00D1o\u00F1o \u00FF"_s},
                    EncodingCase{"Windows1251", "windows1251_encoding.xml",
                                 u"\u0421\u044A\u0435\u0448\u044C \u0436\u0435 \u0435\u0449\u0451 \u044D\u0442\u0438\u0445 "
                                 u"\u0431\u0443\u043B\u043E\u043A"_s},
                    // No encoding declared and not UTF-8: the ANSI code page keeps every byte.
                    EncodingCase{"AnsiWithoutEncoding", "ansi_without_encoding.xml",
                                 u"\u00C6r\u00F8 \u00C7\u00E0 \u00D1o\u00F1o \u00FF"_s}),
    [](const testing::TestParamInfo<EncodingCase> &info) { return std::string(info.param.name); });

QStringList g_messages;

void collectMessage(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    g_messages << QLatin1StringView(context.category) + u": "_s + message;
}

TEST(XmlFileTest, AnsiFallbackUsesTheCurrentCodePageAndSaysSo)
{
    const QString previous = AnsiCodePage();
    SetAnsiCodePage(u"windows-1251"_s);
    g_messages.clear();
    const QtMessageHandler oldHandler = qInstallMessageHandler(collectMessage);
    const LoadResult loaded = loadBytes(kDeclaration + "<R N='\xCC\xE8\xF0'/>");
    const LoadResult utf8 = loadBytes(kDeclaration + "<R N='\xD0\x9C'/>");
    qInstallMessageHandler(oldHandler);
    SetAnsiCodePage(previous);

    ASSERT_EQ(loaded.error, QString());
    EXPECT_EQ(loaded.file->Tags().GetItem(0)->AttributeValue(u"N"_s), u"\u041C\u0438\u0440"_s);
    EXPECT_EQ(utf8.file->Tags().GetItem(0)->AttributeValue(u"N"_s), u"\u041C"_s);
    EXPECT_EQ(g_messages, QStringList(u"morvex.xml: XML text is not valid UTF-8; decoding it with the ANSI code page "
                                      "\"windows-1251\""_s));
}

TEST(XmlFileTest, SingleByteEncodingAppliesToNamesAndPositions)
{
    // 0xD7 is the multiplication sign in Latin-1, but a letter in windows-1251.
    const QByteArray latin1 = "<?xml version='1.0' encoding='iso-8859-1'?><R \xC4='1' \xD7='2'/>";
    EXPECT_EQ(loadError(latin1), u"Unexpected symbol \u00D7 at position 8"_s);
    const LoadResult cyrillic = loadBytes("<?xml version='1.0' encoding='windows-1251'?><\xD7\xC8\xD1\xCB\xCE/>");
    ASSERT_EQ(cyrillic.error, QString());
    EXPECT_EQ(cyrillic.file->Tags().GetItem(0)->Name(), u"\u0427\u0418\u0421\u041B\u041E"_s);
}

TEST(XmlFileTest, TruncatedPacketIsReportedNotLoadedInPart)
{
    TXMLFile file;
    file.SetFileName(fixturePath("truncated_packet.xml"));
    try {
        file.Load();
        FAIL() << "a cut-off packet loaded";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(u"Unexpected symbol < at position "_s)) << e.Message().toStdString();
    }
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(file.GetRowCount(), 0);
    // The tree up to the cut stays; the row that was cut is not in it.
    ASSERT_NE(file.GetRows(), nullptr);
    EXPECT_EQ(file.GetRows()->Count(), 0);
}

TEST(XmlFileTest, StopAtFieldsBuildsNothingAfterTheFieldList)
{
    TXMLFile file;
    file.LoadFromBytes(readFixture("types.xml"), true);
    EXPECT_TRUE(file.Loaded());
    EXPECT_EQ(file.GetFieldCount(), 8);
    EXPECT_EQ(file.GetRows(), nullptr);
    EXPECT_EQ(file.GetRowCount(), 0);
    // Not even the PARAMS element that follows FIELDS inside METADATA.
    EXPECT_EQ(file.Tags().GetItem(0)->Children().GetItem(0)->ChildCount(), 1);

    // A cut-off packet is fine as long as its field list is whole.
    TXMLFile cut;
    cut.LoadFromBytes(readFixture("truncated_packet.xml"), true);
    EXPECT_EQ(cut.GetFieldCount(), 8);
}

TEST(XmlFileTest, LookupOfPacketLevelsIgnoresCaseAndTakesTheLast)
{
    TXMLFile file;
    file.LoadFromBytes(kDeclaration
                       + "<datapacket><MetaData><fields><FIELD attrname='OLD'/></fields></MetaData></datapacket>"
                         "<DataPacket>"
                         "<METADATA><FIELDS><F attrname='A'/></FIELDS><Fields><X FieldName='B'/><Y/></Fields></METADATA>"
                         "<rowdata><ROW A='1'/></rowdata><ROWDATA><R A='2'/><R A='3'/></ROWDATA>"
                         "</DataPacket><OTHER/>");
    EXPECT_EQ(file.GetFieldCount(), 2);
    EXPECT_EQ(file.GetFields()->GetItem(0)->AttributeValue(u"fieldname"_s), u"B"_s);
    ASSERT_EQ(file.GetRowCount(), 2);
    EXPECT_EQ(file.GetRows()->GetItem(1)->AttributeValue(u"a"_s), u"3"_s);
    EXPECT_EQ(file.Tags().Count(), 3);
}

TEST(XmlFileTest, PacketWithoutDataPacketHasNoFieldsOrRows)
{
    TXMLFile file;
    file.LoadFromBytes(kDeclaration + "<METADATA><FIELDS><FIELD attrname='A'/></FIELDS></METADATA><ROWDATA><ROW/></ROWDATA>");
    EXPECT_TRUE(file.Loaded());
    EXPECT_EQ(file.GetFields(), nullptr);
    EXPECT_EQ(file.GetRows(), nullptr);
    EXPECT_EQ(file.GetFieldCount(), 0);
    EXPECT_EQ(file.GetRowCount(), 0);
}

TEST(XmlFileTest, FileNameErrors)
{
    TXMLFile file;
    try {
        file.Load();
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"File name is not defined"_s);
    }
    const QString missing = fixturePath("no_such_packet.xml");
    file.SetFileName(missing);
    try {
        file.Load();
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"File %1 not found"_s.arg(missing));
    }
    EXPECT_FALSE(file.Loaded());
}

TEST(XmlFileTest, LoadAddsToTheTreeUntilCleared)
{
    const QByteArray packet = readFixture("types.xml");
    TXMLFile file;
    QBuffer buffer;
    buffer.setData(packet);
    file.Load(&buffer);
    EXPECT_EQ(file.Text(), packet);
    file.LoadFromBytes(kDeclaration + "<DATAPACKET><ROWDATA><ROW NAME='later'/></ROWDATA></DATAPACKET>");
    EXPECT_EQ(file.Tags().Count(), 2);
    EXPECT_EQ(file.GetRowCount(), 1);
    // The first packet's tags still read from its text.
    EXPECT_EQ(file.Tags().GetItem(0)->Children().GetItem(1)->Children().GetItem(0)->AttributeValue(u"QTY"_s), u"-42"_s);

    file.Clear();
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(file.Tags().Count(), 0);
    EXPECT_EQ(file.Header().Attributes().Count(), 0);
    EXPECT_TRUE(file.Text().isEmpty());
    file.LoadFromBytes(packet);
    EXPECT_EQ(file.GetRowCount(), 3);
}

// Like a pipe or socket: read in pieces, its size unknown beforehand.
class SequentialDevice : public QIODevice
{
public:
    explicit SequentialDevice(const QByteArray &data) : m_data(data) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_offset + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        // A few bytes at a time, as a pipe delivers them.
        const qint64 n = std::min<qint64>({maxSize, m_data.size() - m_offset, 100});
        std::memcpy(data, m_data.constData() + m_offset, size_t(n));
        m_offset += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_offset = 0;
};

TEST(XmlFileTest, LoadsFromSequentialAndUnopenedDevices)
{
    const QByteArray packet = readFixture("types.xml");
    SequentialDevice pipe(packet);
    ASSERT_TRUE(pipe.open(QIODevice::ReadOnly));
    TXMLFile fromPipe;
    fromPipe.Load(&pipe);
    EXPECT_EQ(fromPipe.Text(), packet);
    EXPECT_EQ(fromPipe.GetRowCount(), 3);

    QBuffer closed;
    closed.setData(packet);
    TXMLFile fromClosed;
    fromClosed.Load(&closed, true);
    EXPECT_EQ(fromClosed.GetFieldCount(), 8);
}

TEST(XmlFileTest, FailedSecondLoadClearsTheLoadedFlag)
{
    TXMLFile file;
    file.LoadFromBytes(readFixture("empty.xml"));
    EXPECT_TRUE(file.Loaded());
    EXPECT_THROW(file.LoadFromBytes(kDeclaration + "<A>"), Exception);
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(file.GetFieldCount(), 0);
}

TEST(XmlFileTest, OutlineShowsTheWholeTree)
{
    TXMLFile file;
    file.LoadFromBytes(kDeclaration + "<DATAPACKET Version='2.0'><ROWDATA><ROW A='x\"\\&#10;&#9;\x01'/></ROWDATA></DATAPACKET>");
    EXPECT_EQ(XMLOutline(file), u"<?xml version=\"1.0\" standalone=\"yes\"?>\n"
                                "DATAPACKET Version=\"2.0\"\n"
                                "  ROWDATA\n"
                                "    ROW A=\"x\\\"\\\\\\n\\t\\x01\"\n"
                                "fields 0, rows 1\n"_s);
}

} // namespace
