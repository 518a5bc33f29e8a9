#pragma once

#include "stringlist.h"

#include <QString>

#include <memory>

class MdbDatabase;

// The file an ADO connection string names: the value of its "Data Source"
// key. Keys are separated by ';' and compared without regard to letter
// case; a value may be put in double or single quotes (a doubled quote
// stands for one). Other keys are accepted and ignored.
QString ConnectionDataSource(const QString &connectionString);
// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=FILE"; the file name is put
// in quotes when it would otherwise end early or lose blanks (a ';' or a
// quote in it, blanks at an end).
QString AccessConnectionString(const QString &fileName);

// A connection to a Microsoft Access database. It takes an ADO connection
// string ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=FILE"): the file is
// the value of "Data Source", every other key is accepted and ignored. The
// database is read through mdbtools.
class TADOConnection
{
public:
    TADOConnection();
    ~TADOConnection();
    TADOConnection(const TADOConnection &) = delete;
    TADOConnection &operator=(const TADOConnection &) = delete;

    QString ConnectionString() const { return m_connectionString; }
    // Closes an open connection first.
    void SetConnectionString(const QString &value);
    // Access files are opened without a login: the prompt is never shown.
    bool LoginPrompt() const { return m_loginPrompt; }
    void SetLoginPrompt(bool value) { m_loginPrompt = value; }

    // Raises EADOError when the file is missing or not an Access database.
    void Open();
    void Close();
    bool Connected() const { return m_database != nullptr; }

    // Fills List with the table names, user tables only unless SystemTables.
    // Opens the connection when it is closed.
    void GetTableNames(TStringList &List, bool SystemTables = false);

private:
    QString m_connectionString;
    bool m_loginPrompt = true;
    std::unique_ptr<MdbDatabase> m_database;
};
