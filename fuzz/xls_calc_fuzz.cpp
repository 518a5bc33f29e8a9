// Evaluates arbitrary bytes as the tokens of a formula cell in a small
// workbook with numbers, text, a date, a defined name and a second sheet.
#include "../tests/support/biffwriter.h"
#include "../tests/support/cfbwriter.h"
#include "../tests/support/xlswalk.h"
#include "xlscalculate.h"

#include <cstddef>
#include <cstdint>

namespace {

TxlsFile &CalcWorkbook()
{
    static const std::unique_ptr<TxlsFile> file = [] {
        using namespace biff;
        QByteArray xfs;
        for (int i = 0; i < 16; ++i)
            xfs += Xf(0);
        xfs += Xf(14);
        const QByteArray name = Rec(0x0018, QByteArray(3, '\0') + U8(1) + QByteArray(10, '\0') + U8(0) + QByteArray("N")
                                                + U8(0x3B) + U16(0) + U16(0) + U16(2) + U16(0) + U16(1));
        const QByteArray cells = Rk(0, 0, 15, 4 * 4 + 2) + LabelSst(1, 0, 15, 0) + Number(2, 0, 15, 2.5)
                                 + Rk(0, 1, 16, 10) + BoolErr(3, 1, 1, false) + Formula(5, 5, F64(0), QByteArray());
        const QByteArray stream = Workbook(xfs + name + Sst({QStringLiteral("text")}),
                                           {{QStringLiteral("S"), cells}, {QStringLiteral("T"), Number(9, 9, 15, 1)}});
        auto f = std::make_unique<TxlsFile>();
        LoadWorkbookBytes(*f, BuildCompoundFile({{QStringLiteral("Workbook"), stream}}).Bytes);
        return f;
    }();
    return *file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TbiffCell *cell = CalcWorkbook().Workbook().WorkSheets().Items(0)->GetCells(5, 5);
    const QByteArray tokens(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)CalculateFormula(cell, tokens, int(tokens.size())).toString();
    } catch (const ExlsFileError &) {
    }
    return 0;
}
