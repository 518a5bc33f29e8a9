#pragma once

#include "dataset.h"

#include <QSqlQuery>

#include <memory>
#include <vector>

class TSqlQueryField;

// A Qt SQL query seen as a TDataSet, so that any database a Qt SQL driver
// reaches (SQLite, PostgreSQL, MySQL, ODBC, ...) can be imported. A query
// given executed stands on its first record; a prepared one is executed by
// First. Values are read as the driver gives them and turned into text in
// the process-wide formats.
class TSqlQueryDataSet : public TDataSet
{
    Q_OBJECT

public:
    explicit TSqlQueryDataSet(QSqlQuery query, QObject *parent = nullptr);
    ~TSqlQueryDataSet() override;

    QSqlQuery &Query() { return m_query; }

    void DisableControls() override { ++m_disableCount; }
    void EnableControls() override;
    bool ControlsDisabled() const { return m_disableCount > 0; }
    // Moves to the first record; a forward-only query is executed again.
    // Raises Exception with the driver's text when the query fails.
    void First() override;
    void Next() override;
    bool Eof() const override;
    TField *FindField(const QString &name) const override;

private:
    void RebuildFields();

    QSqlQuery m_query;
    int m_disableCount = 0;
    std::vector<std::unique_ptr<TSqlQueryField>> m_fields;
};
