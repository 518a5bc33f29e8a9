// The formula calculator on formulas written by gnumeric (against the
// results it cached) and on token streams built by hand.
#include "xlscalculate.h"

#include "biffwriter.h"
#include "cfbwriter.h"
#include "qtprinters.h"
#include "xlsfile.h"
#include "xlswalk.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace biff;

namespace {

QVariant Calculate(TbiffCell *cell)
{
    const QByteArrayView tokens = static_cast<TbiffFormula *>(cell)->Tokens();
    return CalculateFormula(cell, tokens, int(tokens.size()));
}

// A sheet with A1 = 4 (RK), A2 = text, A3 = 2 (NUMBER), B1 = 2 as a date
// (RK with format 14), and formulas in column D whose tokens the test gives.
class CalculatorTest : public ::testing::Test
{
protected:
    QVariant Eval(const QByteArray &tokens, int row = 0)
    {
        QByteArray xfs;
        for (int i = 0; i < 16; ++i)
            xfs += Xf(0);
        xfs += Xf(14);
        const QByteArray name = Rec(0x0018, QByteArray(3, '\0') + U8(5) + QByteArray(10, '\0') + U8(0)
                                                + QByteArray("Total"));
        const QByteArray cells = Rk(0, 0, 15, 4 * 4 + 2) + LabelSst(1, 0, 15, 0) + Number(2, 0, 15, 2)
                                 + Rk(0, 1, 16, 2 * 4 + 2) + Formula(row, 3, F64(0), tokens);
        file = std::make_unique<TxlsFile>();
        LoadWorkbookBytes(*file, BuildCompoundFile({{QStringLiteral("Workbook"),
                                                      Workbook(xfs + name + Sst({QStringLiteral("text")}),
                                                               {{QStringLiteral("S"), cells}})}})
                                     .Bytes);
        return Calculate(file->Workbook().WorkSheets().Items(0)->GetCells(row, 3));
    }

    static QByteArray Int(int v) { return U8(0x1E) + U16(uint16_t(v)); }
    static QByteArray Num(double v) { return U8(0x1F) + F64(v); }
    static QByteArray Str(const char *s) { return U8(0x17) + U8(uint8_t(std::strlen(s))) + U8(0) + QByteArray(s); }
    static QByteArray Ref(int row, int col) { return U8(0x24) + U16(uint16_t(row)) + U16(uint16_t(col | 0xC000)); }
    static QByteArray Area(int r1, int r2, int c1, int c2)
    {
        return U8(0x25) + U16(uint16_t(r1)) + U16(uint16_t(r2)) + U16(uint16_t(c1)) + U16(uint16_t(c2));
    }
    static QByteArray FuncVar(int count, int function) { return U8(0x22) + U8(uint8_t(count)) + U16(uint16_t(function)); }

    std::unique_ptr<TxlsFile> file;
};

} // namespace

TEST_F(CalculatorTest, ArithmeticComparisonAndText)
{
    EXPECT_EQ(Eval(Int(1) + Int(2) + U8(0x03)), QVariant(3.0));
    EXPECT_EQ(Eval(Int(2) + Int(3) + U8(0x07)), QVariant(8.0));
    EXPECT_EQ(Eval(Num(7) + Int(2) + U8(0x06)), QVariant(3.5));
    EXPECT_EQ(Eval(Ref(0, 0) + U8(0x13)), QVariant(-4.0));
    EXPECT_EQ(Eval(Ref(1, 0) + Int(2) + U8(0x05)), QVariant(0.0)); // text reads as 0
    EXPECT_EQ(Eval(Ref(0, 1) + Int(1) + U8(0x03)), QVariant(1.0)); // a date cell reads as 0
    EXPECT_EQ(Eval(Int(1) + Int(2) + U8(0x0D)), QVariant(false));
    EXPECT_EQ(Eval(Int(2) + Int(2) + U8(0x0A)), QVariant(true));
    EXPECT_EQ(Eval(Str("ab") + Str("cd") + U8(0x08)), QVariant(QStringLiteral("abcd")));
    EXPECT_EQ(Eval(Str("ab") + Int(1) + U8(0x08)), QVariant(QStringLiteral("#VALUE!")));
    EXPECT_NEAR(Eval(Num(M_PI / 2) + U8(0x41) + U16(15)).toDouble(), 1.0, 1e-12);
    EXPECT_EQ(Eval(U8(0x1C) + U8(7)), QVariant(QStringLiteral("#DIV/0!")));
    EXPECT_EQ(Eval(U8(0x23) + U16(1) + U16(0)), QVariant(QStringLiteral("Total")));
}

TEST_F(CalculatorTest, AggregatesOverAreasWithBlanksAndText)
{
    // A1:A3 holds 4, text, 2; A4 does not exist.
    EXPECT_EQ(Eval(Area(0, 3, 0, 0) + FuncVar(1, fidSum)), QVariant(6.0));
    EXPECT_EQ(Eval(Area(0, 2, 0, 0) + FuncVar(1, fidCount)), QVariant(3.0));
    EXPECT_EQ(Eval(Area(0, 2, 0, 0) + Int(10) + FuncVar(2, fidMin)), QVariant(2.0));
    EXPECT_EQ(Eval(Area(0, 2, 0, 0) + Int(1) + FuncVar(2, fidMax)), QVariant(4.0));
    EXPECT_EQ(Eval(Area(0, 1, 0, 0) + FuncVar(1, fidAverage)), QVariant(2.0));
    // The SUM attribute of a one-argument SUM.
    EXPECT_EQ(Eval(Area(0, 2, 0, 0) + U8(0x19) + U8(0x10) + U16(0)), QVariant(6.0));
    // A relative area in a shared formula of D2: rows -1..+1, column -3.
    const QByteArray areaN = U8(0x2D) + U16(0xFFFF) + U16(1) + U16(0xC0FD) + U16(0xC0FD);
    EXPECT_EQ(Eval(areaN + FuncVar(1, fidSum), 1), QVariant(6.0));
}

TEST_F(CalculatorTest, ConditionsAndErrorTests)
{
    EXPECT_EQ(Eval(Int(1) + Int(2) + U8(0x0D) + Str("x") + Str("y") + FuncVar(3, fidIf)), QVariant(QStringLiteral("y")));
    EXPECT_EQ(Eval(U8(0x1D) + U8(1) + Int(5) + FuncVar(2, fidIf)), QVariant(5));
    EXPECT_EQ(Eval(U8(0x1D) + U8(0) + Int(5) + FuncVar(2, fidIf)), QVariant(false));
    EXPECT_EQ(Eval(U8(0x1C) + U8(42) + FuncVar(1, fidIsNa)), QVariant(true));
    EXPECT_EQ(Eval(U8(0x1C) + U8(42) + FuncVar(1, fidIsError)), QVariant(false));
    EXPECT_EQ(Eval(U8(0x1C) + U8(7) + FuncVar(1, fidIsError)), QVariant(true));
}

TEST_F(CalculatorTest, UnsupportedTokensAndFunctionsGiveTheirTexts)
{
    EXPECT_EQ(Eval(U8(0x01) + U16(0) + U16(0)), QVariant(QStringLiteral("Unknown ptg[01]")));
    EXPECT_EQ(Eval(U8(0x21) + U16(19)), QVariant(QStringLiteral("[Unknown func PI]")));
    EXPECT_EQ(Eval(Int(1) + FuncVar(1, 100)), QVariant(QStringLiteral("[Unknown func CHOOSE]")));
    EXPECT_EQ(Eval(U8(0x21) + U16(400)), QVariant(QStringLiteral("?<400>?")));
    Eval(Int(1));
    file->FunctionHook = [](const QString &name, const QVariantList &args, QVariant &result) {
        result = name + QString::number(args.size());
        return true;
    };
    TbiffCell *cell = file->Workbook().WorkSheets().Items(0)->GetCells(0, 3);
    const QByteArray tokens = Int(1) + Int(2) + FuncVar(2, 100);
    EXPECT_EQ(CalculateFormula(cell, tokens, int(tokens.size())), QVariant(QStringLiteral("CHOOSE2")));
}

TEST_F(CalculatorTest, BadTokensRaiseClearErrors)
{
    auto expectError = [this](const QByteArray &tokens, const char *message) {
        try {
            Eval(tokens);
            ADD_FAILURE() << "no error for " << tokens.toHex().constData();
        } catch (const ExlsFileError &e) {
            EXPECT_TRUE(e.Message().startsWith(QLatin1String(message))) << e.Message().toStdString();
        }
    };
    expectError(QByteArray(), "EmptyStack");
    expectError(Int(1) + U8(0x03), "Value is missing");
    expectError(Int(1) + FuncVar(1, fidSum) + U8(0x19) + U8(0x10) + U16(0), "Invalid Reference(Area) argument");
    expectError(U8(0x1F) + QByteArray(3, '\0'), "Formula token 0x1f at offset 0 runs past the end");
    expectError(Int(1) + U8(0x25) + U16(0), "Formula token 0x25 at offset 3 runs past the end");
}

TEST(CalculatorFixtureTest, GnumericFormulasGiveTheCachedResults)
{
    TxlsFile file(QStringLiteral(MORVEX_TEST_DATA "/xls/gnumeric_values.xls"));
    file.Load();
    TxlsWorkSheet *sheet = file.Workbook().WorkSheets().Items(0);
    // Cells the calculator supports give what gnumeric cached.
    for (const auto &[row, col] : {std::pair{0, 5}, {0, 7}, {0, 9}, {1, 5}, {1, 9}}) {
        TbiffCell *cell = sheet->GetCells(row, col);
        ASSERT_TRUE(cell && cell->GetIsFormula());
        EXPECT_EQ(Calculate(cell).toString(), cell->GetAsVariant().toString()) << cell->GetCellName().toStdString();
    }
    // The others give the documented fallbacks: a reference to a text cell
    // reads as 0, a real division by zero is infinite, TRUE() and NA() are
    // functions the calculator leaves to the hook.
    EXPECT_EQ(Calculate(sheet->GetCells(0, 6)), QVariant(QStringLiteral("#VALUE!")));
    EXPECT_TRUE(std::isinf(Calculate(sheet->GetCells(0, 8)).toDouble()));
    EXPECT_EQ(Calculate(sheet->GetCells(1, 7)), QVariant(QStringLiteral("[Unknown func TRUE]")));
    EXPECT_EQ(Calculate(sheet->GetCells(1, 8)), QVariant(QStringLiteral("[Unknown func NA]")));
}
