#pragma once

#include "ib_morvex2.h"
#include "stringlist.h"

#include <QString>

#include <memory>

class TADODataSet;

// The namespace gives the enumeration its run-time type information; the
// engine's enumerations have theirs in Morvex.
namespace MorvexAccess {
Q_NAMESPACE
// What an Access import reads.
enum TMorvexAccessSourceType { isTable, isSQL };
Q_ENUM_NS(TMorvexAccessSourceType)
} // namespace MorvexAccess
using MorvexAccess::TMorvexAccessSourceType;
using MorvexAccess::isTable;
using MorvexAccess::isSQL;

// Imports the rows of a Microsoft Access database: one table, or the result
// of a SELECT statement. The map pairs a destination column with an Access
// field name.
class TIB_ADO_Morvex2Access : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)
    Q_PROPERTY(QString TableName READ TableName WRITE SetTableName)
    Q_PROPERTY(TStringList SQL READ SQL WRITE SetSQL)
    Q_PROPERTY(MorvexAccess::TMorvexAccessSourceType SourceType READ SourceType WRITE SetSourceType)

public:
    explicit TIB_ADO_Morvex2Access(QObject *owner = nullptr);
    ~TIB_ADO_Morvex2Access() override;

    QString TableName() const { return m_tableName; }
    void SetTableName(const QString &value) { m_tableName = value; }
    const TStringList &SQL() const { return m_sql; }
    TStringList &SQL() { return m_sql; }
    void SetSQL(const TStringList &value) { m_sql.Assign(value); }
    TMorvexAccessSourceType SourceType() const { return m_sourceType; }
    void SetSourceType(TMorvexAccessSourceType value) { m_sourceType = value; }
    bool IsSourceType() const { return m_sourceType != isTable; }

    // The ADO connection string for FileName.
    QString ConnectionString() const;
    // Fills List with the names of the database's user tables.
    void GetTableNames(TStringList &List);
    // Fills List with the field names of the table or the statement.
    void GetFieldNames(TStringList &List);

protected:
    void StartImport() override;
    bool CheckCondition() override;
    bool Skip() override { return m_skip > 0; }
    void FillImportRow() override;
    void ChangeCondition() override;
    void FinishImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    // A dataset for the table or the statement, not yet open.
    std::unique_ptr<TADODataSet> CreateQuery() const;

    QString m_tableName;
    TStringList m_sql;
    TMorvexAccessSourceType m_sourceType = isTable;
    std::unique_ptr<TADODataSet> m_query;
    int m_skip = 0;
};
