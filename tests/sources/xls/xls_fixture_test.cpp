// Every cell of the fixtures, written by xlwt and gnumeric, against what
// python3-xlrd reads from them (the .expected files beside the fixtures).
#include "xlsfile.h"

#include "formatsettings.h"
#include "qtprinters.h"
#include "conversions.h"
#include "xlswalk.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QString DataPath(const QString &name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/xls/") + name;
}

QJsonValue ParseJson(const QString &text)
{
    return QJsonDocument::fromJson((QLatin1Char('[') + text + QLatin1Char(']')).toUtf8()).array().at(0);
}

class XlsFixtureTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override { ResetFormatSettings(); }
};

} // namespace

TEST_P(XlsFixtureTest, EveryCellReadsAsXlrdReadsIt)
{
    const QString name = QLatin1String(GetParam());
    TxlsFile file(DataPath(name + QStringLiteral(".xls")));
    file.Load();
    ASSERT_TRUE(file.Loaded());

    QFile expected(DataPath(name + QStringLiteral(".expected")));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly | QIODevice::Text));
    double epoch = 0;
    int cellsChecked = 0;
    TxlsWorkSheetList &sheets = file.Workbook().WorkSheets();
    while (!expected.atEnd()) {
        const QStringList f = QString::fromUtf8(expected.readLine()).chopped(1).split(QLatin1Char('\t'));
        if (f[0] == QLatin1String("datemode")) {
            // xlrd gives 1904-system numbers as stored; the reader shifts them.
            epoch = f[1] == QLatin1String("1") ? 1462 : 0;
            continue;
        }
        if (f[0] == QLatin1String("sheet")) {
            const int s = f[1].toInt();
            ASSERT_LT(s, sheets.Count());
            EXPECT_EQ(sheets.Items(s)->GetName(), ParseJson(f[2]).toString());
            EXPECT_EQ(sheets.Items(s)->GetRowCount(), f[3].toInt());
            EXPECT_EQ(sheets.Items(s)->GetColCount(), f[4].toInt());
            continue;
        }
        const int row = f[1].toInt(), col = f[2].toInt();
        const QString &kind = f[3];
        SCOPED_TRACE(QStringLiteral("%1 sheet %2 %3 %4").arg(name, f[0], Col2Letter(col + 1)).arg(row + 1).toStdString());
        TbiffCell *cell = sheets.Items(f[0].toInt())->GetCells(row, col);
        ASSERT_NE(cell, nullptr);
        ++cellsChecked;
        const QVariant v = cell->GetAsVariant();
        if (kind == QLatin1String("blank")) {
            EXPECT_EQ(cell->GetCellType(), bctUnknown);
            EXPECT_TRUE(cell->GetAsString().isEmpty());
        } else if (kind == QLatin1String("text")) {
            EXPECT_EQ(v.toString(), ParseJson(f[4]).toString());
            if (!cell->GetIsFormula()) {
                EXPECT_EQ(cell->GetCellType(), bctString);
            }
        } else if (kind == QLatin1String("number")) {
            const double n = f[4].toDouble();
            if (cell->GetIsFormula()) {
                EXPECT_EQ(v.toDouble(), n);
            } else {
                EXPECT_EQ(cell->GetCellType(), bctNumeric);
                EXPECT_EQ(cell->GetAsFloat(), n);
                EXPECT_EQ(cell->GetAsString(), FloatToStr(n));
            }
        } else if (kind == QLatin1String("date") && cell->GetFormatIndex() >= 45 && cell->GetFormatIndex() <= 47) {
            // The built-in durations "mm:ss", "[h]:mm:ss" and "mm:ss.0" are
            // numbers here; xlrd counts them as dates.
            EXPECT_EQ(cell->GetCellType(), bctNumeric);
            EXPECT_EQ(cell->GetAsFloat(), f[4].toDouble());
        } else if (kind == QLatin1String("date")) {
            EXPECT_EQ(cell->GetCellType(), bctDateTime);
            EXPECT_DOUBLE_EQ(cell->GetAsDateTime(), f[4].toDouble() + epoch);
        } else if (kind == QLatin1String("bool")) {
            EXPECT_EQ(v.typeId(), QMetaType::Bool);
            EXPECT_EQ(v.toBool(), f[4] == QLatin1String("1"));
            if (!cell->GetIsFormula()) {
                EXPECT_EQ(cell->GetCellType(), bctBoolean);
                EXPECT_TRUE(cell->GetAsString().isEmpty());
            }
        } else if (kind == QLatin1String("error")) {
            if (cell->GetIsFormula()) {
                EXPECT_FALSE(v.isValid());
                EXPECT_TRUE(cell->GetAsString().isEmpty());
            } else {
                EXPECT_EQ(cell->GetCellType(), bctBoolean);
                EXPECT_EQ(v.toString(), ParseJson(f[4]).toString());
            }
        } else {
            ADD_FAILURE() << "unknown kind " << kind.toStdString();
        }
    }
    EXPECT_GT(cellsChecked, 0);
    // Nothing beyond what xlrd sees: the walk meets exactly the same cells.
    EXPECT_EQ(WalkWorkbook(file), cellsChecked);
}

INSTANTIATE_TEST_SUITE_P(Writers, XlsFixtureTest, ::testing::Values("xlwt_values", "xlwt_1904", "gnumeric_values"),
                         [](const auto &info) { return std::string(info.param); });

TEST(XlsFixtureTest, DateCellsReadAsTextInTheCurrentFormats)
{
    ResetFormatSettings();
    FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    FormatSettings.DateSeparator = QLatin1Char('.');
    FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    TxlsFile file(DataPath(QStringLiteral("xlwt_values.xls")));
    file.Load();
    TxlsWorkSheet *dates = file.Workbook().WorkSheets().Items(1);
    EXPECT_EQ(dates->GetCells(0, 0)->GetAsString(), QStringLiteral("29.02.2024"));       // built-in m/d/yy, RK
    EXPECT_EQ(dates->GetCells(1, 0)->GetAsString(), QStringLiteral("31.12.1999 23:59:58")); // custom format, NUMBER
    EXPECT_EQ(dates->GetCells(2, 0)->GetAsString(), QStringLiteral("12:30:00"));
    EXPECT_TRUE(dates->GetCells(2, 0)->GetIsTimeOnly());
    EXPECT_TRUE(dates->GetCells(0, 0)->GetIsDateOnly());
    // The built-in [h]:mm:ss and a percentage are numbers.
    EXPECT_EQ(dates->GetCells(3, 0)->GetFormatIndex(), 46);
    EXPECT_EQ(dates->GetCells(3, 0)->GetCellType(), bctNumeric);
    EXPECT_EQ(dates->GetCells(4, 0)->GetAsString(), QStringLiteral("0.125"));

    TxlsFile mac(DataPath(QStringLiteral("xlwt_1904.xls")));
    mac.Load();
    EXPECT_EQ(mac.Workbook().WorkSheets().Items(0)->GetCells(0, 0)->GetAsString(), QStringLiteral("29.02.2024"));
    ResetFormatSettings();
}

TEST(XlsFixtureTest, SheetsAreFoundByNameIgnoringCase)
{
    TxlsFile file(DataPath(QStringLiteral("xlwt_values.xls")));
    file.Load();
    TxlsWorkSheetList &sheets = file.Workbook().WorkSheets();
    EXPECT_EQ(sheets.IndexOfName(QStringLiteral("DATES Ä")), 1);
    EXPECT_EQ(sheets.IndexOfName(QStringLiteral("far")), 2);
    EXPECT_EQ(sheets.IndexOfName(QStringLiteral("Nowhere")), -1);
    TxlsWorkSheet *far = sheets.Items(2);
    EXPECT_EQ(far->GetRowCount(), 301);
    EXPECT_EQ(far->GetColCount(), 256);
    EXPECT_EQ(far->GetCells(0, 0), nullptr);
    EXPECT_EQ(far->GetCells(300, 255)->GetCellName(), QStringLiteral("IV301"));
    EXPECT_EQ(far->Cols().Items(100).MinIndex(), 200);
    file.Clear();
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(file.Workbook().WorkSheets().Count(), 0);
}
