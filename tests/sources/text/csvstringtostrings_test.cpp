#include "csvstringtostrings.h"

#include "stringlist.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct SplitCase
{
    const char *name;
    QString line;
    QChar quote;
    QStringList fields;
};

QStringList split(const QString &line, QChar quote, QChar separator = u',')
{
    TStringList strings;
    strings.Add(QStringLiteral("stale"));
    CSVStringToStrings(line, quote, separator, strings);
    QStringList fields;
    for (int i = 0; i < strings.Count(); ++i)
        fields << strings[i];
    return fields;
}

class SplitTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitTest, SplitsLikeTheDelimitedTextRules)
{
    EXPECT_EQ(split(GetParam().line, GetParam().quote), GetParam().fields);
}

const QChar Q = u'"';

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitTest,
    ::testing::Values(
        SplitCase{"QuotedFieldKeepsSeparator", QStringLiteral("a,\"b,c\",d"), Q, {QStringLiteral("a"), QStringLiteral("b,c"), QStringLiteral("d")}},
        SplitCase{"DoubledQuoteGivesOne", QStringLiteral("\"say\"\"hi\"\"\",x"), Q, {QStringLiteral("say\"hi\""), QStringLiteral("x")}},
        SplitCase{"TextAfterClosingQuoteIsDropped", QStringLiteral("\"ab\"cd,e"), Q, {QStringLiteral("ab"), QStringLiteral("e")}},
        SplitCase{"EmptyMiddleField", QStringLiteral("a,,b"), Q, {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        SplitCase{"TrailingSeparator", QStringLiteral("a,b,"), Q, {QStringLiteral("a"), QStringLiteral("b"), QString()}},
        SplitCase{"EmptyLine", QString(), Q, {QString()}},
        SplitCase{"QuoteInsideUnquotedFieldIsKept", QStringLiteral("a\"b,c"), Q, {QStringLiteral("a\"b"), QStringLiteral("c")}},
        SplitCase{"NoQuoting", QStringLiteral("\"a\",\"b\""), QChar(), {QStringLiteral("\"a\""), QStringLiteral("\"b\"")}},
        SplitCase{"UnclosedQuoteRunsToTheEnd", QStringLiteral("a,\"b,c"), Q, {QStringLiteral("a"), QStringLiteral("b,c")}},
        SplitCase{"QuotedEmptyField", QStringLiteral("\"\",x"), Q, {QString(), QStringLiteral("x")}},
        SplitCase{"EmbeddedLineBreak", QStringLiteral("\"one\ntwo\",3"), Q, {QStringLiteral("one\ntwo"), QStringLiteral("3")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SplitTest, NullSeparatorLeavesTheListAlone)
{
    EXPECT_EQ(split(QStringLiteral("a,b"), Q, QChar()), QStringList{QStringLiteral("stale")});
    EXPECT_EQ(split(QStringLiteral("a\tb"), Q, u'\t'), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(SplitTest, TellsWhenALineEndsInsideAQuotedField)
{
    EXPECT_TRUE(CSVLineEndsInQuote(QStringLiteral("1,\"open"), Q, u','));
    EXPECT_TRUE(CSVLineEndsInQuote(QStringLiteral("1,\"a\"\""), Q, u','));
    EXPECT_FALSE(CSVLineEndsInQuote(QStringLiteral("1,\"closed\""), Q, u','));
    EXPECT_FALSE(CSVLineEndsInQuote(QStringLiteral("1,a\"b"), Q, u','));
    EXPECT_FALSE(CSVLineEndsInQuote(QStringLiteral("1,\"open"), QChar(), u','));
}

TEST(SplitTest, OneListTakesLineAfterLine)
{
    TStringList strings;
    CSVStringToStrings(u"first,\"se,cond\",third,fourth", Q, u',', strings);
    strings.SetObjects(0, 7);
    const QString kept = strings[1];
    CSVStringToStrings(u"x,yy", Q, u',', strings);
    ASSERT_EQ(strings.Count(), 2);
    EXPECT_EQ(strings[0], u"x"_s);
    EXPECT_EQ(strings[1], u"yy"_s);
    EXPECT_EQ(strings.Objects(0), 0) << "a line of a new split has no object";
    EXPECT_EQ(kept, u"se,cond"_s) << "a field taken from the list is its own";
    CSVStringToStrings(u"a longer first field,,c", Q, u',', strings);
    QStringList fields;
    for (int i = 0; i < strings.Count(); ++i)
        fields << strings[i];
    EXPECT_EQ(fields, (QStringList{u"a longer first field"_s, QString(), u"c"_s}));

    TStringList sorted;
    sorted.SetSorted(true);
    CSVStringToStrings(u"b,a,c", Q, u',', sorted);
    ASSERT_EQ(sorted.Count(), 3);
    EXPECT_EQ(sorted[0], u"a"_s);
    EXPECT_EQ(sorted[2], u"c"_s);
}

} // namespace
