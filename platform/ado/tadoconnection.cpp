#include "tadoconnection.h"

#include "mdbdatabase_p.h"

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
