#include "tib_morvex2xls.h"

#include "inifile.h"
#include "xlsfile.h"
#include "xlsmapparser.h"

namespace {
const QString kSection = QStringLiteral("XLS_OPTIONS");
}

TIB_Morvex2XLS::TIB_Morvex2XLS(QObject *owner) : TIB_Morvex2(owner) {}

TIB_Morvex2XLS::~TIB_Morvex2XLS() = default;

void TIB_Morvex2XLS::BeforeImport()
{
    auto file = std::make_unique<TxlsFile>(FileName());
    file->Load();
    auto rows = std::make_unique<TMapRowList>(file.get());
    rows->SetSkipFirstRows(SkipFirstRows());
    rows->SetSkipFirstCols(SkipFirstCols());
    // Every line is parsed and resolved before anything is written: a map
    // that names a sheet, row or column the workbook lacks ends the run here.
    for (int i = 0; i < Map().Count(); ++i) {
        auto row = std::make_unique<TMapRow>(rows.get());
        ParseMapString(Map().ValueFromIndex(i), row.get());
        row->Update();
        rows->Add(std::move(row));
    }
    rows->Update();
    m_minTotal = rows->MinIndex() >= 0 ? rows->Items(rows->MinIndex())->Total() : 0;
    m_maxTotal = rows->MaxIndex() >= 0 ? rows->Items(rows->MaxIndex())->Total() : 0;
    SetTotalRecCount(m_importRange == mxrMax ? m_maxTotal : m_minTotal);
    m_file = std::move(file);
    m_rows = std::move(rows);
    try {
        TIB_Morvex2::BeforeImport();
    } catch (...) {
        m_rows.reset();
        m_file.reset();
        throw;
    }
}

void TIB_Morvex2XLS::StartImport()
{
    m_last = (m_importRange == mxrMax ? m_maxTotal : m_minTotal) - 1;
    if (ImportRecCount() > 0)
        m_last = qMin(m_last, ImportRecCount() - 1);
    m_current = 0;

    const TMorvexRow *row = ImportRow();
    const bool anyColumn = IsCSVMode() || ImportDestination() == mxdUserDefined;
    m_columnRows.assign(size_t(row->Count()), nullptr);
    for (int i = 0; i < row->Count(); ++i) {
        const TMorvexCol *col = row->Items(i);
        const int line = Map().IndexOfName(col->Name);
        if (line >= 0 && (anyColumn || col->ColumnIndex >= 0))
            m_columnRows[size_t(i)] = m_rows->Items(line);
    }
}

void TIB_Morvex2XLS::FillImportRow()
{
    TMorvexRow *row = ImportRow();
    row->ClearValues();
    for (int i = 0; i < row->Count(); ++i) {
        TMorvexCol *col = row->Items(i);
        if (const TMapRow *map = m_columnRows[size_t(i)])
            row->SetValue(col->Name, map->GetCellValue(m_current + 1), false);
        DoUserDataFormat(col);
    }
}

// The standard row step without its row limit: StartImport has applied
// ImportRecCount to the last row already.
TMorvexResult TIB_Morvex2XLS::ImportData()
{
    if (Canceled() && !CanContinue())
        return mxrBreak;
    const TMorvexResult result = WriteRow();
    if (IsCSVMode())
        return result;
    const int n = ErrorRecs() + ImportedRecs();
    if (CommitRecCount() > 0 && n > 0 && n % CommitRecCount() == 0)
        DoNeedCommit();
    return result;
}

void TIB_Morvex2XLS::FinishImport()
{
    TIB_Morvex2::FinishImport();
    m_columnRows.clear();
}

void TIB_Morvex2XLS::AfterImport()
{
    TIB_Morvex2::AfterImport();
    m_rows.reset();
    m_file.reset();
}

void TIB_Morvex2XLS::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipCols"), SkipFirstCols());
    IniFile.WriteInteger(kSection, QStringLiteral("SkipRows"), SkipFirstRows());
}

void TIB_Morvex2XLS::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstCols(IniFile.ReadInteger(kSection, QStringLiteral("SkipCols"), SkipFirstCols()));
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipRows"), SkipFirstRows()));
}
