#include "tib_morvex2dbf.h"

#include "codepages.h"
#include "conversions.h"
#include "dbffile.h"
#include "inifile.h"
#include "strutils.h"

#include <algorithm>
#include <limits>

namespace {
const QString kSection = QStringLiteral("DBF_OPTIONS");
}

TIB_Morvex2DBF::TIB_Morvex2DBF(QObject *owner) : TIB_Morvex2(owner), m_codePage(AnsiCodePage()) {}

TIB_Morvex2DBF::~TIB_Morvex2DBF() = default;

void TIB_Morvex2DBF::BeforeImport()
{
    auto reader = std::make_unique<TDBFRead>(FileName());
    reader->SetCodePage(m_codePage);
    SetTotalRecCount(int(qMin<qint64>(reader->GetRCount(), std::numeric_limits<int>::max())));
    m_reader = std::move(reader);
    try {
        TIB_Morvex2::BeforeImport();
    } catch (...) {
        m_reader.reset();
        throw;
    }
}

void TIB_Morvex2DBF::StartImport()
{
    m_record = 0;
    m_plannedRevisions = {};
}

// Which field fills which column is worked out once for each state of the
// map and of the row, rather than for every record.
void TIB_Morvex2DBF::planFields()
{
    TMorvexRow *row = ImportRow();
    const std::array<std::uint64_t, 3> revisions{Map().Revision(), row->Revision(), row->NameIndex().Revision()};
    if (revisions == m_plannedRevisions && !m_targets.empty())
        return;
    m_plannedRevisions = revisions;
    TStringList sources;
    sources.SetSorted(true);
    for (int i = 0; i < Map().Count(); ++i)
        sources.AddObject(Map().ValueFromIndex(i), i);
    m_targets.assign(size_t(std::max(m_reader->GetFCount(), 0)), FieldTarget{});
    for (int i = 0; i < m_reader->GetFCount(); ++i) {
        int found = -1;
        if (!sources.Find(m_reader->GetFieldName(i), found))
            continue;
        const QString name = Map().Names(int(sources.Objects(found)));
        if (TMorvexCol *col = row->ColByName(name))
            m_targets[size_t(i)] = FieldTarget{name, col, m_reader->GetFieldType(i) == 'D'};
    }
    m_unmapped.clear();
    for (int i = 0; i < row->Count(); ++i) {
        if (Map().IndexOfName(row->Items(i)->Name) < 0)
            m_unmapped.push_back(row->Items(i));
    }
}

bool TIB_Morvex2DBF::CheckCondition()
{
    // A table without fields has no record to read: it imports nothing.
    return m_reader->GetFCount() > 0 && !m_reader->GetEOF();
}

void TIB_Morvex2DBF::FillImportRow()
{
    planFields();
    TMorvexRow *row = ImportRow();
    row->ClearValues();
    for (int i = 0; i < m_reader->GetFCount(); ++i) {
        // The reader is sequential: reading the first field moves it to the
        // next record. Other fields are read only when a column takes them,
        // which spares the memo file the memos no column wants.
        const FieldTarget &target = m_targets[size_t(i)];
        if (i > 0 && !target.col)
            continue;
        QString value = Trim(m_reader->GetData(i));
        if (i == 0)
            m_record = m_reader->GetRecNo() - 1;
        if (!target.col)
            continue;
        if (target.date && !value.isEmpty())
            value = DateTimeToStr(DBFStrToDateTime(value));
        row->SetValue(target.name, value, false);
        DoUserDataFormat(target.col);
    }
    for (TMorvexCol *col : m_unmapped)
        DoUserDataFormat(col);
}

TMorvexResult TIB_Morvex2DBF::ImportData()
{
    if (Canceled() && !CanContinue())
        return FinishRow(mxrBreak);
    // Leading records and deleted ones are read but change no count.
    if (SkipFirstRows() > 0 && m_record <= SkipFirstRows()) {
        DestinationCancel();
        return mxrContinue;
    }
    if (m_skipDeleted && m_reader->GetDeleted())
        return mxrContinue;
    return FinishRow(WriteRow());
}

void TIB_Morvex2DBF::FinishImport()
{
    TIB_Morvex2::FinishImport();
    m_targets.clear();
    m_unmapped.clear();
}

void TIB_Morvex2DBF::AfterImport()
{
    m_reader.reset();
    TIB_Morvex2::AfterImport();
}

void TIB_Morvex2DBF::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows());
    IniFile.WriteString(kSection, QStringLiteral("CodePage"), m_codePage);
}

void TIB_Morvex2DBF::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows()));
    m_codePage = IniFile.ReadString(kSection, QStringLiteral("CodePage"), m_codePage);
}
