#include "tib_ado_morvex2access.h"

#include "inifile.h"
#include "tadoconnection.h"
#include "tadodataset.h"

namespace {
const QString kSection = QStringLiteral("ACCESS_OPTIONS");
const QString kSqlSection = QStringLiteral("ACCESS_SQL");

} // namespace

TIB_ADO_Morvex2Access::TIB_ADO_Morvex2Access(QObject *owner) : TIB_Morvex2(owner) {}

TIB_ADO_Morvex2Access::~TIB_ADO_Morvex2Access() = default;

QString TIB_ADO_Morvex2Access::ConnectionString() const
{
    return AccessConnectionString(FileName());
}

// A table is read by its name directly, never through statement text.
std::unique_ptr<TADODataSet> TIB_ADO_Morvex2Access::CreateQuery() const
{
    auto query = std::make_unique<TADODataSet>();
    query->SetConnectionString(ConnectionString());
    if (m_sourceType == isTable) {
        query->SetCommandType(cmdTable);
        query->SetCommandText(m_tableName);
    } else {
        query->SetCommandType(cmdText);
        query->SetCommandText(m_sql.Text());
    }
    return query;
}

void TIB_ADO_Morvex2Access::GetTableNames(TStringList &List)
{
    TADOConnection connection;
    connection.SetLoginPrompt(false);
    connection.SetConnectionString(ConnectionString());
    connection.Open();
    connection.GetTableNames(List, false);
}

void TIB_ADO_Morvex2Access::GetFieldNames(TStringList &List)
{
    const std::unique_ptr<TADODataSet> query = CreateQuery();
    query->Open();
    query->GetFieldNames(List);
}

// The statement runs whole here, so one that cannot run fails before any
// row is written.
void TIB_ADO_Morvex2Access::StartImport()
{
    std::unique_ptr<TADODataSet> query = CreateQuery();
    query->Open();
    m_query = std::move(query);
    m_skip = qMax(0, SkipFirstRows());
}

bool TIB_ADO_Morvex2Access::CheckCondition()
{
    return !m_query->Eof();
}

void TIB_ADO_Morvex2Access::FillImportRow()
{
    TMorvexRow *row = ImportRow();
    row->ClearValues();
    // Delimited output and the application's handler take every mapped name.
    const bool anyColumn = IsCSVMode() || ImportDestination() == mxdUserDefined;
    for (int i = 0; i < row->Count(); ++i) {
        TMorvexCol *col = row->Items(i);
        const int entry = Map().IndexOfName(col->Name);
        if (entry >= 0 && (anyColumn || DestinationFindColumn(col->Name) >= 0)) {
            if (const TADOField *field = m_query->FindField(Map().ValueFromIndex(entry)))
                row->SetValue(col->Name, field->Text(), field->IsBlob());
        }
        DoUserDataFormat(col);
    }
}

void TIB_ADO_Morvex2Access::ChangeCondition()
{
    m_query->Next();
    if (m_skip > 0)
        --m_skip;
}

void TIB_ADO_Morvex2Access::FinishImport()
{
    try {
        TIB_Morvex2::FinishImport();
    } catch (...) {
        m_query.reset();
        throw;
    }
    m_query.reset();
}

void TIB_ADO_Morvex2Access::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows());
    IniFile.WriteInteger(kSection, QStringLiteral("SourceType"), int(m_sourceType));
    IniFile.WriteString(kSection, QStringLiteral("TableName"), m_tableName);
    IniFile.EraseSection(kSqlSection);
    for (int i = 0; i < m_sql.Count(); ++i)
        IniFile.WriteString(kSqlSection, QStringLiteral("Line_%1").arg(i), m_sql[i]);
}

void TIB_ADO_Morvex2Access::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows()));
    const int type = IniFile.ReadInteger(kSection, QStringLiteral("SourceType"), int(m_sourceType));
    if (type == isTable || type == isSQL)
        m_sourceType = TMorvexAccessSourceType(type);
    m_tableName = IniFile.ReadString(kSection, QStringLiteral("TableName"), m_tableName);
    if (IniFile.SectionExists(kSqlSection)) {
        TStringList lines;
        IniFile.ReadSectionValues(kSqlSection, lines);
        m_sql.Clear();
        for (int i = 0; i < lines.Count(); ++i)
            m_sql.Add(lines.ValueFromIndex(i));
    }
}
