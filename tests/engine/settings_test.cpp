#include "formatsettings.h"
#include "morvexfieldformat.h"
#include "morvexformats.h"
#include "morvexgenerator.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetFormatSettings(); }
    void TearDown() override { ResetFormatSettings(); }
};

TEST_F(SettingsTest, FormatsStartFromTheProcessSettingsAndPersistOnlyDifferences)
{
    FormatSettings.DecimalSeparator = u',';
    TMorvexFormats formats;
    EXPECT_EQ(formats.DecimalSeparator(), u',');
    EXPECT_EQ(formats.BooleanTrue().Text(), QStringLiteral("True\n"));
    EXPECT_EQ(formats.BooleanFalse().Text(), QStringLiteral("False\n"));
    EXPECT_EQ(formats.NullValues().Text(), QStringLiteral("Null\n"));
    EXPECT_FALSE(formats.IsDecimalSeparator());
    EXPECT_FALSE(formats.IsShortDateFormat());
    formats.SetShortDateFormat(formats.ShortDateFormat().toUpper());
    EXPECT_TRUE(formats.IsShortDateFormat()) << "formats compare case-sensitively";
    FormatSettings.DecimalSeparator = u'.';
    EXPECT_TRUE(formats.IsDecimalSeparator());
}

TEST_F(SettingsTest, StoreApplyRestoreRoundTripsTheEightSettings)
{
    TMorvexFormats formats;
    formats.SetDecimalSeparator(u',');
    formats.SetThousandSeparator(u' ');
    formats.SetDateSeparator(u'.');
    formats.SetTimeSeparator(u'-');
    formats.SetShortDateFormat(QStringLiteral("dd.mm.yyyy"));
    formats.SetLongTimeFormat(QStringLiteral("hh-nn-ss"));
    const TFormatSettings before = FormatSettings;
    formats.StoreFormats();
    formats.ApplyParams();
    EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
    EXPECT_EQ(FormatSettings.ThousandSeparator, u' ');
    EXPECT_EQ(FormatSettings.DateSeparator, u'.');
    EXPECT_EQ(FormatSettings.TimeSeparator, u'-');
    EXPECT_EQ(FormatSettings.ShortDateFormat, QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(FormatSettings.LongTimeFormat, QStringLiteral("hh-nn-ss"));
    formats.RestoreFormats();
    EXPECT_EQ(FormatSettings.DecimalSeparator, before.DecimalSeparator);
    EXPECT_EQ(FormatSettings.ShortDateFormat, before.ShortDateFormat);
    EXPECT_EQ(FormatSettings.LongTimeFormat, before.LongTimeFormat);
}

TEST_F(SettingsTest, AssignCopiesContentAndRefusesOtherClasses)
{
    TMorvexFormats a;
    a.SetDecimalSeparator(u',');
    a.NullValues().Add(QStringLiteral("N/A"));
    TMorvexFormats b;
    b.Assign(a);
    EXPECT_EQ(b.DecimalSeparator(), u',');
    EXPECT_EQ(b.NullValues().Count(), 2);
    a.NullValues().Clear();
    EXPECT_EQ(b.NullValues().Count(), 2) << "lists are copied, not shared";

    TMorvexFieldFormat item;
    try {
        b.Assign(item);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TMorvexFieldFormat to a TMorvexFormats"));
    }
}

TEST_F(SettingsTest, FieldFormatPredicatesAndDefaults)
{
    TMorvexFieldFormats formats;
    TMorvexFieldFormat *f = formats.Add();
    f->SetFieldName(QStringLiteral("NAME"));
    EXPECT_TRUE(f->IsDefaultValues());
    EXPECT_FALSE(f->IsConstant());
    f->Replacements().Add()->SetTextToFind(QStringLiteral("x"));
    EXPECT_FALSE(f->IsDefaultValues());
    f->Replacements().Clear();
    f->SetCharSet(icsOem);
    EXPECT_FALSE(f->IsDefaultValues());
    EXPECT_TRUE(f->IsCharSet());
}

TEST_F(SettingsTest, FieldFormatAssignCopiesReplacementsByContent)
{
    TMorvexFieldFormat a;
    a.SetFieldName(QStringLiteral("CODE"));
    a.SetQuoteAction(qaRemove);
    TMorvexReplacement *r = a.Replacements().Add();
    r->SetTextToFind(QStringLiteral("a"));
    r->SetReplaceWith(QStringLiteral("b"));
    r->SetIgnoreCase(true);
    TMorvexFieldFormat b;
    b.Assign(a);
    ASSERT_EQ(b.Replacements().Count(), 1);
    EXPECT_NE(b.Replacements().Items(0), r);
    EXPECT_EQ(b.Replacements().Items(0)->DisplayName(), QStringLiteral("a - b"));
    EXPECT_TRUE(b.Replacements().Items(0)->IgnoreCase());
    EXPECT_EQ(b.QuoteAction(), qaRemove);
    EXPECT_EQ(b.Replacements().FieldFormat(), &b);
}

TEST_F(SettingsTest, IndexByNameFindsTheFirstMatchIgnoringCase)
{
    TMorvexFieldFormats formats;
    formats.Add()->SetFieldName(QStringLiteral("Name"));
    formats.Add()->SetFieldName(QStringLiteral("NAME"));
    formats.Add()->SetFieldName(QStringLiteral("Straße"));
    EXPECT_EQ(formats.IndexByName(QStringLiteral("name")), 0);
    EXPECT_EQ(formats.IndexByName(QStringLiteral("STRASSE")), -1);
    EXPECT_EQ(formats.IndexByName(QStringLiteral("straße")), 2);
    EXPECT_EQ(formats.IndexByName(QStringLiteral("other")), -1);
}

TEST_F(SettingsTest, GeneratorsNeverProduceTheirStartValue)
{
    TMorvexGenerators generators;
    generators.Add(QStringLiteral("  ID "), 10, 5);
    EXPECT_EQ(generators.Items(0)->FieldName(), QStringLiteral("ID"));
    EXPECT_EQ(generators.GetNewValue(QStringLiteral("id")), 15);
    EXPECT_EQ(generators.GetNewValue(QStringLiteral(" ID")), 20);
    EXPECT_EQ(generators.GetNewValue(QStringLiteral("ID")), 25);
    EXPECT_EQ(generators.GetNewValue(QStringLiteral("OTHER")), 0);
    EXPECT_EQ(generators.GenByName(QStringLiteral("OTHER")), nullptr);
    generators.Delete(0);
    EXPECT_EQ(generators.Count(), 0);
    EXPECT_THROW(generators.Delete(0), Exception);
}

} // namespace
