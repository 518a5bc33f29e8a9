#include "listsource.h"

#include "morvexutils.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

namespace {

struct TextCase
{
    const char *name;
    QString input;
    QString expected;
};

class UpperFirstWordTest : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(UpperFirstWordTest, UpperCasesEveryWordFollowedByASpace)
{
    EXPECT_EQ(AnsiUpperFirstWord(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpperFirstWordTest,
    ::testing::Values(TextCase{"ThreeWords", QStringLiteral("hello big world"), QStringLiteral("Hello Big world")},
                      TextCase{"OneWord", QStringLiteral("hello"), QStringLiteral("hello")},
                      TextCase{"Empty", QString(), QString()},
                      TextCase{"LowersTheRestOfAWord", QStringLiteral("jOHN rONALD smith"), QStringLiteral("John Ronald smith")},
                      TextCase{"TrailingSpaceEndsNoWord", QStringLiteral("ab "), QStringLiteral("ab ")},
                      TextCase{"DoubleSpace", QStringLiteral("a  b c"), QStringLiteral("A  B c")},
                      TextCase{"Cyrillic", QStringLiteral("иван петров"), QStringLiteral("Иван петров")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuoteTest, RemoveQuoteTakesOffWhatIsThere)
{
    const QString q = QStringLiteral("\"");
    EXPECT_EQ(RemoveQuote(QStringLiteral("\"abc\""), q, q), QStringLiteral("abc"));
    EXPECT_EQ(RemoveQuote(QStringLiteral("\"abc"), q, q), QStringLiteral("abc"));
    EXPECT_EQ(RemoveQuote(QStringLiteral("abc"), q, q), QStringLiteral("abc"));
    EXPECT_EQ(RemoveQuote(QStringLiteral("\""), q, q), QString());
    EXPECT_EQ(RemoveQuote(QStringLiteral("[x]"), QString(), QStringLiteral("]")), QStringLiteral("[x"));
    EXPECT_EQ(AddQuote(QStringLiteral("x"), QStringLiteral("<<"), QStringLiteral(">")), QStringLiteral("<<x>"));
    EXPECT_EQ(AnsiUpperFirst(QStringLiteral("éCOLE")), QStringLiteral("École"));
}

// The field-format rules, applied to one column named V of the row.
class UserDataFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        format = source.FieldFormats().Add();
        format->SetFieldName(QStringLiteral("v"));
    }

    QString apply(const QString &value)
    {
        TMorvexCol col;
        col.Name = QStringLiteral("V");
        col.Value = value;
        source.DoUserDataFormat(&col);
        return col.Value;
    }

    void addReplacement(const QString &find, const QString &with, bool ignoreCase = false)
    {
        TMorvexReplacement *r = format->Replacements().Add();
        r->SetTextToFind(find);
        r->SetReplaceWith(with);
        r->SetIgnoreCase(ignoreCase);
    }

    TListSource source;
    TMorvexFieldFormat *format = nullptr;
};

TEST_F(UserDataFormatTest, ColumnWithoutFieldFormatIsLeftAlone)
{
    format->SetFieldName(QStringLiteral("other"));
    format->SetCharCase(iccUpper);
    EXPECT_EQ(apply(QStringLiteral("abc")), QStringLiteral("abc"));
    source.DoUserDataFormat(nullptr);
}

TEST_F(UserDataFormatTest, EmptyMarkNullValueGivesTheDefaultAndSkipsReplacements)
{
    format->SetNullValue(QStringLiteral("''"));
    format->SetDefaultValue(QStringLiteral("0"));
    addReplacement(QStringLiteral("0"), QStringLiteral("zero"));
    addReplacement(QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_EQ(apply(QString()), QStringLiteral("0"));
    EXPECT_EQ(apply(QStringLiteral("x")), QStringLiteral("y"));
}

TEST_F(UserDataFormatTest, NullValueMatchesIgnoringCase)
{
    format->SetNullValue(QStringLiteral("n/a"));
    format->SetDefaultValue(QStringLiteral("none"));
    EXPECT_EQ(apply(QStringLiteral("N/A")), QStringLiteral("none"));
    format->SetDefaultValue(QString());
    EXPECT_EQ(apply(QStringLiteral("N/A")), QStringLiteral("N/A")) << "no default, no rule";
}

TEST_F(UserDataFormatTest, ConstantReplacesEveryValueButStillGetsQuotesAndCase)
{
    format->SetConstantValue(QStringLiteral("fixed"));
    format->SetQuoteAction(qaAdd);
    format->SetLeftQuote(QStringLiteral("'"));
    format->SetRightQuote(QStringLiteral("'"));
    format->SetCharCase(iccUpper);
    addReplacement(QStringLiteral("FIXED"), QStringLiteral("no"), true);
    EXPECT_EQ(apply(QStringLiteral("anything")), QStringLiteral("'FIXED'"));
    format->SetConstantValue(QStringLiteral("''"));
    format->SetQuoteAction(qaNone);
    EXPECT_EQ(apply(QStringLiteral("anything")), QString());
}

TEST_F(UserDataFormatTest, ReplacementsChainOnTheWholeValue)
{
    addReplacement(QStringLiteral("a"), QStringLiteral("b"));
    addReplacement(QStringLiteral("b"), QStringLiteral("c"));
    EXPECT_EQ(apply(QStringLiteral("a")), QStringLiteral("c"));
    EXPECT_EQ(apply(QStringLiteral("A")), QStringLiteral("A"));
    EXPECT_EQ(apply(QStringLiteral("ab")), QStringLiteral("ab")) << "never a part of the value";
    format->Replacements().Items(0)->SetIgnoreCase(true);
    EXPECT_EQ(apply(QStringLiteral("A")), QStringLiteral("c"));
}

TEST_F(UserDataFormatTest, QuotesThenCaseThenCharacterSet)
{
    format->SetQuoteAction(qaRemove);
    format->SetLeftQuote(QStringLiteral("\""));
    format->SetRightQuote(QStringLiteral("\""));
    format->SetCharCase(iccUpperFirst);
    EXPECT_EQ(apply(QStringLiteral("\"hELLO\"")), QStringLiteral("Hello"));
    EXPECT_EQ(apply(QString()), QString());

    format->SetQuoteAction(qaNone);
    format->SetCharCase(iccNone);
    format->SetCharSet(icsAnsi);
    // An OEM text held in ANSI characters: byte C7 is "Ç" in Windows-1252 and
    // "╟" in code page 437.
    EXPECT_EQ(apply(QStringLiteral("Ç")), QStringLiteral("╟"));
    format->SetCharSet(icsOem);
    EXPECT_EQ(apply(QStringLiteral("╟")), QStringLiteral("Ç"));
}

} // namespace
