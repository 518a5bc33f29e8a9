// Parses arbitrary text as a range map, once on its own and once against a
// small workbook with sparse cells on two sheets, and drives every operation
// over the ranges it yields. Any text must give ranges or the parser's
// exception; what a row prints must parse back to the same text.
#include "../tests/support/biffwriter.h"
#include "../tests/support/cfbwriter.h"
#include "../tests/support/xlswalk.h"
#include "xlsmapparser.h"

#include <cstddef>
#include <cstdint>

namespace {

TxlsFile &MapWorkbook()
{
    static const std::unique_ptr<TxlsFile> file = [] {
        using namespace biff;
        QByteArray xfs;
        for (int i = 0; i < 16; ++i)
            xfs += Xf(0);
        const QByteArray first = Rk(0, 0, 15, 4 * 1 + 2) + LabelSst(2, 0, 15, 0) + Number(4, 0, 15, 2.5)
                                 + LabelSst(1, 1, 15, 1) + Number(1, 3, 15, 7) + BoolErr(6, 2, 1, false);
        const QByteArray second = Number(9, 9, 15, 1) + LabelSst(0, 255, 15, 0);
        const QByteArray stream = Workbook(xfs + Sst({QStringLiteral("text"), QStringLiteral("mehr")}),
                                           {{QStringLiteral("S"), first}, {QStringLiteral("T2"), second}});
        auto f = std::make_unique<TxlsFile>();
        LoadWorkbookBytes(*f, BuildCompoundFile({{QStringLiteral("Workbook"), stream}}).Bytes);
        return f;
    }();
    return *file;
}

void Exercise(TMapRow &row)
{
    row.Update();
    const QString text = row.GetAsString();
    TMapRow again(row.File());
    again.SetAsString(text);
    if (again.GetAsString() != text)
        __builtin_trap();
    for (int n = 0; n <= row.Total() + 1 && n < 300; ++n)
        (void)row.GetCellValue(n);
    if (row.Count() > 0) {
        const TMapRange &r = *row.Items(0);
        (void)CellInRow(row, r.SheetName, r.SheetNumber, r.Row1, r.Col1);
        (void)GetCellNeighbours(row, r.SheetName, r.SheetNumber, r.Row2, r.Col2);
        RemoveCellFromRow(row, r.SheetName, r.SheetNumber, r.Row1, r.Col1);
    }
    row.Optimize();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        TMapRow row;
        ParseMapString(text, &row);
        Exercise(row);
    } catch (const Exception &) {
    }
    try {
        TMapRowList list(&MapWorkbook());
        list.SetSkipFirstRows(int(size % 3));
        list.SetSkipFirstCols(int(size % 2));
        TMapRow row(&list);
        ParseMapString(text, &row);
        Exercise(row);
    } catch (const Exception &) {
    }
    for (auto parse : {+[](const QString &t) { (void)ParseColString(t); }, +[](const QString &t) { (void)ParseRowString(t); },
                       +[](const QString &t) { (void)ParseCellString(t); }, +[](const QString &t) { (void)ParseSheetNumber(t); },
                       +[](const QString &t) { (void)ParseSheetName(t); }}) {
        try {
            parse(text);
        } catch (const Exception &) {
        }
    }
    return 0;
}
