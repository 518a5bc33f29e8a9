#include "messages.h"

#include <QCoreApplication>
#include <QSet>
#include <QTranslator>

#include "qtprinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// First identifier of each family, in enumeration order.
constexpr TMorvexMessageId kFamilyStarts[] = {MXE_NoDataSet, MXW_ErrorLogStarted, MXWDF_BaseFormats,
                                              MXWIM_CommitOptions, MXRE_Caption, MXD_BooleanTrue,
                                              MXF_ASCII, MXL_Loading};

TMorvexMessageId Id(int value)
{
    return static_cast<TMorvexMessageId>(value);
}

} // namespace

TEST(MorvexMessages, EveryIdentifierHasAText)
{
    for (int id = MXE_NoDataSet; id <= MXL_Loading; ++id)
        EXPECT_FALSE(MorvexText(Id(id)).isEmpty()) << "identifier " << id;
}

TEST(MorvexMessages, NoTextRepeatsWithinAFamily)
{
    for (std::size_t f = 0; f < std::size(kFamilyStarts); ++f) {
        const int first = kFamilyStarts[f];
        const int end = f + 1 < std::size(kFamilyStarts) ? int(kFamilyStarts[f + 1]) : MXL_Loading + 1;
        QSet<QString> seen;
        for (int id = first; id < end; ++id) {
            const QString text = MorvexText(Id(id));
            EXPECT_FALSE(seen.contains(text)) << "identifier " << id << " repeats " << text.toStdString();
            seen.insert(text);
        }
    }
}

TEST(MorvexMessages, IdentifierOutsideTheTableHasNoText)
{
    EXPECT_EQ(MorvexText(Id(MXL_Loading + 1)), QString());
    EXPECT_EQ(MorvexText(Id(-1)), QString());
}

struct ExactText {
    const char *name;
    TMorvexMessageId id;
    const char *text;
};

class MorvexMessageText : public testing::TestWithParam<ExactText> {};

TEST_P(MorvexMessageText, IsTheSystemsOwn)
{
    EXPECT_EQ(MorvexText(GetParam().id), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MorvexMessageText,
    testing::Values(
        ExactText{"NoDataSet", MXE_NoDataSet, "DataSet is not defined"},
        ExactText{"NoStringGridTypo", MXE_NoStringGrid, "StrinGrid is not defined"},
        ExactText{"FieldNotFound", MXE_FieldNotFound,
                  "Column %s is defined in the MAP is not found in the import destination"},
        ExactText{"ConvertError", MXE_ConvertError, "Value '%s' can not be converted for column %s"},
        ExactText{"SomeErrorsFound", MXW_SomeErrorsFound, "%d error(s) found"},
        ExactText{"CommittedTypo", MXW_Progress_Committed, "Commited"},
        ExactText{"XmlTipWithoutBlank", MXW_Tip_XML,
                  "Click the \"Add\" button to set the accordance between the imported column and the table "
                  "field or click the \"Remove\"button to remove one."},
        ExactText{"ClearMapQuestion", MXW_Editor_ClearMap, "File name was changed. Want you clear map list ?"},
        ExactText{"RangeTypeGroupKeepsBlanks", MXRE_RangeType, " Range Type "},
        ExactText{"BooleanTrueDefault", MXD_BooleanTrue, "True"},
        ExactText{"NullDefault", MXD_NullValue, "Null"},
        ExactText{"TemplateFilterTypo", MXF_TEMPLATE, "Morvex Tmplate files (*.imp)| *.imp"},
        ExactText{"AllowedFilter", MXF_ALL, "All allowed files (*.txt;*.csv;*.dbf;*.xls)|*.txt;*.csv;*.dbf;*.xls"},
        ExactText{"Loading", MXL_Loading, "Loading..."}),
    [](const testing::TestParamInfo<ExactText> &info) { return std::string(info.param.name); });

TEST(PascalFormat, FillsPlaceholdersInOrder)
{
    const QStringList args{QStringLiteral("12x"), QStringLiteral("AMOUNT")};
    EXPECT_EQ(MorvexFormat(MXE_ConvertError, args), QStringLiteral("Value '12x' can not be converted for column AMOUNT"));
    EXPECT_EQ(MorvexFormat(MXW_SomeErrorsFound, {QStringLiteral("3")}), QStringLiteral("3 error(s) found"));
    EXPECT_EQ(MorvexFormat(MXW_StepOf, {QStringLiteral("2"), QStringLiteral("3")}), QStringLiteral("Step 2 of 3"));
    EXPECT_EQ(PascalFormat(QStringLiteral("%S=%D"), {QStringLiteral("a"), QStringLiteral("1")}), QStringLiteral("a=1"));
}

TEST(PascalFormat, PercentSignsAndUnknownSequences)
{
    EXPECT_EQ(PascalFormat(QStringLiteral("%d%% of %s"), {QStringLiteral("50"), QStringLiteral("rows")}),
              QStringLiteral("50% of rows"));
    // A %% never starts a placeholder, so the s after it is plain text.
    EXPECT_EQ(PascalFormat(QStringLiteral("100%%s"), {QStringLiteral("x")}), QStringLiteral("100%s"));
    EXPECT_EQ(PascalFormat(QStringLiteral("%x %5d end %"), {QStringLiteral("a")}), QStringLiteral("%x %5d end %"));
    EXPECT_EQ(PascalFormat(QString(), {QStringLiteral("a")}), QString());
}

TEST(PascalFormat, MissingArgumentsLeaveThePlaceholderAndExtrasAreIgnored)
{
    EXPECT_EQ(MorvexFormat(MXE_ConvertError, {QStringLiteral("abc")}),
              QStringLiteral("Value 'abc' can not be converted for column %s"));
    EXPECT_EQ(MorvexFormat(MXE_FileNotExists, {}), QStringLiteral("File %s does not exist"));
    EXPECT_EQ(MorvexFormat(MXE_FileNotExists, {QStringLiteral("a.dbf"), QStringLiteral("extra")}),
              QStringLiteral("File a.dbf does not exist"));
    // An argument's own % signs are not read as placeholders.
    EXPECT_EQ(MorvexFormat(MXE_FileNotExists, {QStringLiteral("100%s.txt")}),
              QStringLiteral("File 100%s.txt does not exist"));
}

namespace {

class GermanMorvex : public QTranslator {
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "Morvex") != 0)
            return QString();
        if (qstrcmp(sourceText, "File %s does not exist") == 0)
            return QStringLiteral("Datei %s existiert nicht");
        if (qstrcmp(sourceText, "Loading...") == 0)
            return QStringLiteral("Laden...");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

TEST(MorvexMessages, TextsAreTranslatedInTheMorvexContext)
{
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "messages_test";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    GermanMorvex translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(MorvexText(MXL_Loading), QStringLiteral("Laden..."));
    EXPECT_EQ(MorvexFormat(MXE_FileNotExists, {QStringLiteral("a.xls")}), QStringLiteral("Datei a.xls existiert nicht"));
    EXPECT_EQ(MorvexText(MXE_MappingEmpty), QStringLiteral("Map is empty"));
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(MorvexText(MXL_Loading), QStringLiteral("Loading..."));
}
