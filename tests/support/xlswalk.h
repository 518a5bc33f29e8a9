#pragma once

// Loads a workbook from bytes and reads back everything the model offers:
// every sheet's name and size, every cell through its lookup and all of its
// typed access. Shared by the unit tests and the fuzz target, so that both
// drive the same read path. Returns the number of cells visited.

#include "xlsfile.h"

#include <QBuffer>

inline void LoadWorkbookBytes(TxlsFile &file, const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    file.LoadFromDevice(&device);
}

inline qsizetype WalkWorkbook(TxlsFile &file)
{
    qsizetype cells = 0;
    TxlsWorkSheetList &sheets = file.Workbook().WorkSheets();
    for (int s = 0; s < sheets.Count(); ++s) {
        TxlsWorkSheet *sheet = sheets.Items(s);
        (void)sheets.IndexOfName(sheet->GetName());
        for (int r = 0; r < sheet->GetRowCount(); ++r) {
            TxlsRow &row = sheet->Rows().Items(r);
            for (int i = 0; i < row.Count(); ++i) {
                TbiffCell *cell = sheet->GetCells(r, row.Items(i)->GetCol());
                if (!cell)
                    continue;
                ++cells;
                (void)cell->GetCellName();
                (void)cell->GetAsString();
                (void)cell->GetAsVariant();
                (void)cell->GetIsDateOnly();
                (void)cell->GetIsTimeOnly();
                switch (cell->GetCellType()) {
                case bctNumeric: (void)cell->GetAsFloat(); break;
                case bctDateTime: (void)cell->GetAsDateTime(); break;
                case bctBoolean: (void)cell->GetAsBoolean(); break;
                default: break;
                }
            }
        }
        for (int c = 0; c < sheet->GetColCount(); ++c)
            (void)sheet->Cols().Items(c).MinIndex();
    }
    TxlsGlobals &globals = file.Workbook().Globals();
    for (int i = 0; i < globals.Names().Count(); ++i) {
        TbiffName *name = globals.Names().Items(i);
        (void)name->GetName();
        (void)name->GetRow1();
        (void)name->GetCol2();
    }
    return cells;
}

inline qsizetype WalkWorkbookBytes(const QByteArray &bytes)
{
    TxlsFile file;
    LoadWorkbookBytes(file, bytes);
    return WalkWorkbook(file);
}
