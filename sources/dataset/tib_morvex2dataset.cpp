#include "tib_morvex2dataset.h"

#include "inifile.h"
#include "messages.h"
#include "morvexerror.h"

namespace {
const QString kSection = QStringLiteral("DATA_SET_OPTIONS");
}

TIB_Morvex2DataSet::TIB_Morvex2DataSet(QObject *owner) : TIB_Morvex2(owner) {}

TIB_Morvex2DataSet::~TIB_Morvex2DataSet() = default;

// The destination dataset is needed whatever the destination kind, because
// the map's names are matched against its fields; there is no file to check.
bool TIB_Morvex2DataSet::CheckProperties()
{
    if (!DataSet())
        throw EMorvexError(MorvexText(MXE_NoDataSet));
    if (!m_source)
        throw EMorvexError(MorvexText(MXE_NoSource));
    if (Map().Count() == 0)
        throw EMorvexError(MorvexText(MXE_MappingEmpty));
    for (int i = 0; i < Map().Count(); ++i) {
        const QString name = Map().Names(i);
        if (!DataSet()->FindField(name))
            throw EMorvexError(MorvexFormat(MXE_FieldNotFound, {name}));
        const QString source = Map().ValueFromIndex(i);
        if (!m_source->FindField(source))
            throw EMorvexError(MorvexFormat(MXE_SourceFieldNotFound, {source}));
    }
    return true;
}

void TIB_Morvex2DataSet::StartImport()
{
    if (!m_source)
        throw EMorvexError(MorvexText(MXE_NoSource));
    m_source->DisableControls();
    m_skipCount = 0;
    m_readCount = 0;
    try {
        if (m_goToFirstRecord)
            m_source->First();
    } catch (...) {
        // FinishImport does not run for a start that failed.
        m_source->EnableControls();
        throw;
    }
}

bool TIB_Morvex2DataSet::CheckCondition()
{
    if (!m_source || m_source->Eof())
        return false;
    // ImportRecCount counts records moved past, skipped ones included; a
    // negative count imports nothing.
    return ImportRecCount() == 0 || m_readCount < ImportRecCount();
}

bool TIB_Morvex2DataSet::Skip()
{
    if (m_skipCount >= SkipFirstRows())
        return false;
    ++m_skipCount;
    return true;
}

void TIB_Morvex2DataSet::FillImportRow()
{
    TMorvexRow *row = ImportRow();
    row->ClearValues();
    for (int i = 0; i < row->Count(); ++i) {
        TMorvexCol *col = row->Items(i);
        const int entry = Map().IndexOfName(col->Name);
        if (entry < 0 || !DataSet() || !DataSet()->FindField(col->Name))
            continue;
        if (const TField *field = m_source->FindField(Map().ValueFromIndex(entry)))
            row->SetValue(col->Name, field->Text(), field->IsBlob());
    }
    for (int i = 0; i < row->Count(); ++i)
        DoUserDataFormat(row->Items(i));
}

// The engine's row step, except that the commit request after a row is made
// in delimited-text runs too and the row limit is CheckCondition's.
TMorvexResult TIB_Morvex2DataSet::ImportData()
{
    const TMorvexResult result = Canceled() && !CanContinue() ? mxrBreak : WriteRow();
    const int processed = ErrorRecs() + ImportedRecs();
    if (CommitRecCount() > 0 && processed > 0 && processed % CommitRecCount() == 0)
        DoNeedCommit();
    return result;
}

void TIB_Morvex2DataSet::ChangeCondition()
{
    if (m_source)
        m_source->Next();
    ++m_readCount;
}

void TIB_Morvex2DataSet::FinishImport()
{
    const auto enableSource = [this] {
        if (m_source)
            m_source->EnableControls();
    };
    try {
        if (CommitAfterDone() && !Canceled())
            DoNeedCommit();
    } catch (...) {
        enableSource();
        throw;
    }
    enableSource();
}

void TIB_Morvex2DataSet::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows());
}

void TIB_Morvex2DataSet::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows()));
}
