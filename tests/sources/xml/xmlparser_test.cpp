#include "xmloutline.h"
#include "xmltestutil.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct MalformedCase
{
    const char *name;
    QByteArray packet;
    QString message;
};

void PrintTo(const MalformedCase &c, std::ostream *os)
{
    *os << c.name;
}

class MalformedPacketTest : public testing::TestWithParam<MalformedCase>
{
};

TEST_P(MalformedPacketTest, RaisesTheReadersMessage)
{
    EXPECT_EQ(loadError(GetParam().packet), GetParam().message);
}

// Positions count characters from 1 within the text scanned at that level:
// the whole packet, one tag's text, or one tag's attribute text.
INSTANTIATE_TEST_SUITE_P(
    Messages, MalformedPacketTest,
    testing::Values(
        MalformedCase{"ByteOrderMark", "\xEF\xBB\xBF<?xml version='1.0'?>", u"Unexpected symbol \uFEFF at position 1"_s},
        MalformedCase{"TextBeforeDeclaration", " x<?xml version='1.0'?>", u"Unexpected symbol x at position 2"_s},
        MalformedCase{"NoDeclaration", "<DATAPACKET Version='2.0'/>", u"XML header failed"_s},
        MalformedCase{"DeclarationWithoutQuestionMark", "<?xml version='1.0'>", u"XML header failed"_s},
        MalformedCase{"DeclarationStartingWithStandalone", "<?xml standalone='yes' version='1.0'?>",
                      u"Version attribute expected but $s found"_s},
        MalformedCase{"DeclarationWithOtherName", "<?xml version='1.0' lang='en'?>", u"Unexpected attriute name lang"_s},
        MalformedCase{"DeclarationRepeatingEncoding", "<?xml version='1.0' encoding='utf-8' encoding='utf-8'?>",
                      u"Attribute encoding duplicates"_s},
        MalformedCase{"SecondDeclaration", kDeclaration + "<?xml version='1.0'?>", u"Unexpected symbol ? at position 1"_s},
        MalformedCase{"TextContent", "<?xml version='1.0'?><A>text</A>", u"Unexpected symbol t at position 25"_s},
        MalformedCase{"Comment", kDeclaration + "<!-- note -->", u"Unexpected symbol ! at position 1"_s},
        MalformedCase{"CData", kDeclaration + "<A><![CDATA[x]]></A>", u"Unexpected symbol ! at position 1"_s},
        MalformedCase{"EmptyTag", kDeclaration + "<>", u"Unexpected symbol > at position 1"_s},
        MalformedCase{"BlankBeforeName", kDeclaration + "< A/>", u"Unexpected symbol   at position 1"_s},
        MalformedCase{"SlashInsideName", kDeclaration + "<RO/W/>", u"Unexpected symbol / at position 3"_s},
        MalformedCase{"SlashBeforeBlank", kDeclaration + "<ROW/ >", u"Unexpected symbol / at position 4"_s},
        MalformedCase{"CloseWithOtherCase", kDeclaration + "<A></a>", u"/a - corresponding tag not found"_s},
        MalformedCase{"CloseWithoutOpen", kDeclaration + "</A>", u"/A - corresponding tag not found"_s},
        MalformedCase{"CrossedNesting", kDeclaration + "<A><B></A></B>", u"/A - corresponding tag not found"_s},
        MalformedCase{"AttributeWithoutQuotes", kDeclaration + "<R A=1/>", u"Unexpected symbol 1 at position 4"_s},
        MalformedCase{"AttributeNameStartingWithDigit", kDeclaration + "<R 1A='x'/>", u"Unexpected symbol 1 at position 2"_s},
        MalformedCase{"AttributeNameWithoutEquals", kDeclaration + "<R A B='1'/>", u"Unexpected symbol B at position 4"_s},
        MalformedCase{"MultiplicationSignInName", kDeclaration + "<A\u00D7/>", u"Unexpected symbol \u00D7 at position 2"_s},
        MalformedCase{"MiddleDotStartingName", kDeclaration + "<R \u00B7A='1'/>", u"Unexpected symbol \u00B7 at position 2"_s},
        // Positions count characters, not bytes.
        MalformedCase{"PositionAfterNonAsciiText", kDeclaration + "<R \u00C4='\u00E9\u00E9' \u00F7='2'/>",
                      u"Unexpected symbol \u00F7 at position 9"_s},
        // Cut-off packets and open elements are reported, not loaded in part.
        MalformedCase{"UnclosedElements", kDeclaration + "<DATAPACKET><ROWDATA>", u"ROWDATA - corresponding tag not found"_s},
        MalformedCase{"CutInsideTag", kDeclaration + "<DATAPACKET><ROW A='1", u"Unexpected symbol < at position 51"_s},
        MalformedCase{"CutInsideDeclaration", "<?xml version='1.0'", u"Unexpected symbol < at position 1"_s},
        // Entity and character references are decoded; others are errors at their '&'.
        MalformedCase{"UnknownEntity", kDeclaration + "<R A='x&nbsp;'/>", u"Unexpected symbol & at position 6"_s},
        MalformedCase{"BareAmpersand", kDeclaration + "<R A='x & y'/>", u"Unexpected symbol & at position 7"_s},
        MalformedCase{"EntityWithoutSemicolon", kDeclaration + "<R A='&amp'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"EmptyCharacterReference", kDeclaration + "<R A='&#;'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"EmptyHexReference", kDeclaration + "<R A='&#x;'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"UpperCaseHexMarker", kDeclaration + "<R A='&#X41;'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"ReferenceToNul", kDeclaration + "<R A='&#0;'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"ReferenceToSurrogate", kDeclaration + "<R A='&#xD800;'/>", u"Unexpected symbol & at position 5"_s},
        MalformedCase{"ReferenceBeyondUnicode", kDeclaration + "<R A='&#99999999999999999999;'/>",
                      u"Unexpected symbol & at position 5"_s},
        MalformedCase{"UnsupportedEncoding", "<?xml version='1.0' encoding='UTF-16'?>", u"Encoding UTF-16 is not supported"_s},
        MalformedCase{"MultiByteEncoding", "<?xml version='1.0' encoding='Shift_JIS'?>", u"Encoding Shift_JIS is not supported"_s},
        MalformedCase{"UnknownEncoding", "<?xml version='1.0' encoding='no-such-code-page'?>",
                      u"Encoding no-such-code-page is not supported"_s}),
    [](const testing::TestParamInfo<MalformedCase> &info) { return std::string(info.param.name); });

TEST(XmlParserTest, DeclarationAttributesFillTheHeader)
{
    const LoadResult loaded = loadBytes("\r\n\t <?xml version='1.0' standalone=\"yes\" encoding='UTF-8'?>");
    ASSERT_EQ(loaded.error, QString());
    EXPECT_TRUE(loaded.file->Header().Name().isEmpty());
    EXPECT_EQ(loaded.file->Header().Attributes().Text(), u"version=1.0\nstandalone=yes\nencoding=UTF-8\n"_s);
    EXPECT_EQ(loaded.file->Tags().Count(), 0);
}

TEST(XmlParserTest, EmptyElementsWithAndWithoutBlankBeforeSlash)
{
    const LoadResult loaded = loadBytes(kDeclaration + "<ROWDATA/><ROW A='1'/>\n<ROW A='1' />");
    ASSERT_EQ(loaded.error, QString());
    EXPECT_EQ(XMLOutline(*loaded.file).section(u'\n', 1),
              u"ROWDATA\nROW A=\"1\"\nROW A=\"1\"\nfields 0, rows 0\n"_s);
}

TEST(XmlParserTest, QuotedValuesKeepTheOtherQuoteAndGreaterThan)
{
    const LoadResult loaded = loadBytes(kDeclaration + "<R A='say \"hi\"' B=\"it's\" C='a>b' D = \"x/>y\" />");
    ASSERT_EQ(loaded.error, QString());
    const TXMLTag &row = *loaded.file->Tags().GetItem(0);
    EXPECT_EQ(row.AttributeValue(u"A"_s), u"say \"hi\""_s);
    EXPECT_EQ(row.AttributeValue(u"B"_s), u"it's"_s);
    EXPECT_EQ(row.AttributeValue(u"C"_s), u"a>b"_s);
    EXPECT_EQ(row.AttributeValue(u"D"_s), u"x/>y"_s);
    EXPECT_EQ(row.ChildCount(), 0);
}

TEST(XmlParserTest, ReferencesAreDecodedAndLineBreaksKept)
{
    const LoadResult loaded = loadBytes(kDeclaration
                                        + "<R A='&amp;&lt;&gt;&quot;&apos;' B='&#233;&#xE9;&#x1F600;&#0065;'"
                                          " C='one\r\ntwo&#xD;&#xA;three' D='&amp;amp;' E='&#xFEFF;' F='\xEF\xBB\xBFx'/>");
    ASSERT_EQ(loaded.error, QString());
    const TXMLTag &row = *loaded.file->Tags().GetItem(0);
    EXPECT_EQ(row.AttributeValue(u"a"_s), u"&<>\"'"_s);
    EXPECT_EQ(row.AttributeValue(u"b"_s), u"\u00E9\u00E9\U0001F600A"_s);
    EXPECT_EQ(row.AttributeValue(u"c"_s), u"one\r\ntwo\r\nthree"_s);
    EXPECT_EQ(row.AttributeValue(u"d"_s), u"&amp;"_s);
    EXPECT_EQ(row.AttributeValue(u"e"_s), u"\uFEFF"_s);
    EXPECT_EQ(row.AttributeValue(u"f"_s), u"\uFEFFx"_s);
    EXPECT_EQ(row.Attributes().Values(u"B"_s), row.AttributeValue(u"B"_s));
}

TEST(XmlParserTest, EmptyAndRepeatedAttributesFollowTheListRules)
{
    const LoadResult loaded = loadBytes(kDeclaration
                                        + "<R A='' B='1' name='x' NAME='y' C='2' C='' D='3' d='' D='4'/>"
                                          "<S E/><S F=/>");
    ASSERT_EQ(loaded.error, QString());
    const TXMLTag &row = *loaded.file->Tags().GetItem(0);
    // An empty value is not held; a later one of the same name replaces the
    // line, letter case ignored, and an empty one removes it.
    EXPECT_EQ(row.Attributes().Text(), u"B=1\nNAME=y\nD=4\n"_s);
    EXPECT_EQ(row.AttributeValue(u"Name"_s), u"y"_s);
    EXPECT_EQ(row.AttributeValue(u"C"_s), QString());
    EXPECT_EQ(row.AttributeValue(u"A"_s), QString());
    // Attribute text that ends before a value leaves that attribute out.
    EXPECT_EQ(loaded.file->Tags().GetItem(1)->Attributes().Count(), 0);
    EXPECT_EQ(loaded.file->Tags().GetItem(2)->Attributes().Count(), 0);
}

TEST(XmlParserTest, NamesMayUseCharactersFromLatinOneOn)
{
    const LoadResult loaded = loadBytes(kDeclaration
                                        + "<_r:\u00C0-1.\u00B7 \u00C4\u00F8='1' \u0416\u65E5\u672C='2' x\u00B7y='3'/>");
    ASSERT_EQ(loaded.error, QString());
    const TXMLTag &tag = *loaded.file->Tags().GetItem(0);
    EXPECT_EQ(tag.Name(), u"_r:\u00C0-1.\u00B7"_s);
    EXPECT_EQ(tag.Attributes().Text(), u"\u00C4\u00F8=1\n\u0416\u65E5\u672C=2\nx\u00B7y=3\n"_s);
    EXPECT_EQ(tag.AttributeValue(u"\u00E4\u00D8"_s), u"1"_s);
}

TEST(XmlParserTest, FailureKeepsTheTreeBuiltSoFar)
{
    const LoadResult loaded = loadBytes(kDeclaration + "<DATAPACKET><ROWDATA><ROW A='1' B='2' C=3/>");
    EXPECT_EQ(loaded.error, u"Unexpected symbol 3 at position 16"_s);
    EXPECT_FALSE(loaded.file->Loaded());
    EXPECT_EQ(loaded.file->GetRows()->Count(), 1);
    EXPECT_EQ(loaded.file->GetRows()->GetItem(0)->Attributes().Text(), u"A=1\nB=2\n"_s);
    EXPECT_EQ(loaded.file->GetRowCount(), 0);
}

TEST(XmlParserTest, DeepNestingIsRefusedAtTheCap)
{
    // 100,000 levels would overflow a recursive copy or destruction of the tree.
    QByteArray packet = kDeclaration;
    for (int i = 0; i < 100000; ++i)
        packet += "<A>";
    EXPECT_EQ(loadError(packet), u"Unexpected symbol < at position %1"_s.arg(kDeclaration.size() + 256 * 3 + 1));

    QByteArray allowed = kDeclaration;
    for (int i = 0; i < 256; ++i)
        allowed += "<A>";
    for (int i = 0; i < 256; ++i)
        allowed += "</A>";
    EXPECT_EQ(loadError(allowed), QString());
}

TEST(XmlParserTest, OverlongNamesAndValuesAreRefused)
{
    EXPECT_EQ(loadError(kDeclaration + "<" + QByteArray(1024, 'N') + "/>"), QString());
    EXPECT_EQ(loadError(kDeclaration + "<" + QByteArray(1025, 'N') + "/>"), u"Unexpected symbol N at position 1025"_s);
    EXPECT_EQ(loadError(kDeclaration + "<R " + QByteArray(1025, 'N') + "='1'/>"), u"Unexpected symbol N at position 1026"_s);

    const qsizetype cap = qsizetype(64) << 20;
    QByteArray value(cap + 1, 'v');
    EXPECT_EQ(loadError(kDeclaration + "<R A='" + value + "'/>"), u"Unexpected symbol v at position %1"_s.arg(cap + 5));
    value.chop(1);
    const LoadResult loaded = loadBytes(kDeclaration + "<R A='" + value + "'/>");
    ASSERT_EQ(loaded.error, QString());
    EXPECT_EQ(loaded.file->Tags().GetItem(0)->AttributeValue(u"A"_s).size(), cap);
}

TEST(XmlParserTest, UnclosedQuoteRunsToTheEndAndIsReported)
{
    // A '>' inside the open quote does not end the tag, so the tag never ends.
    const QString atFirstTag = u"Unexpected symbol < at position %1"_s.arg(kDeclaration.size() + 1);
    EXPECT_EQ(loadError(kDeclaration + "<R A='1/>"), atFirstTag);
    EXPECT_EQ(loadError(kDeclaration + "<R A='1/>\n<R A=\"2\"/>"), atFirstTag);
    // With the quotes paired again, the run-on tag fails where its text stops making sense.
    EXPECT_EQ(loadError(kDeclaration + "<R A='1/>\n<R A='2'/>'/>"), u"Unexpected symbol 2 at position 15"_s);
}

} // namespace
