#include "tadoconnection.h"

#include "mdbdatabase_p.h"

QString AccessConnectionString(const QString &fileName)
{
    QString value = fileName;
    if (value.contains(u';') || value.startsWith(u'"') || value.startsWith(u'\'') || value.trimmed() != value)
        value = u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(value);
}

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() = default;

void TADOConnection::SetConnectionString(const QString &value)
{
    Close();
    m_connectionString = value;
}

void TADOConnection::Open()
{
    if (!m_database)
        m_database = std::make_unique<MdbDatabase>(ConnectionDataSource(m_connectionString));
}

void TADOConnection::Close()
{
    m_database.reset();
}

void TADOConnection::GetTableNames(TStringList &List, bool SystemTables)
{
    Open();
    List.Clear();
    for (const QString &name : m_database->TableNames(SystemTables))
        List.Add(name);
}
