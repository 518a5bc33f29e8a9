#pragma once

#include "tib_bdataset.h"

#include <QString>

// A dataset over the SELECT in SQL, typically "SELECT * FROM T".
class TIB_Query : public TIB_BDataset
{
    Q_OBJECT
    Q_PROPERTY(QString SQL READ SQL WRITE SetSQL)

public:
    explicit TIB_Query(QObject *parent = nullptr) : TIB_BDataset(parent) {}

    QString SQL() const { return m_sql; }
    // Closes and unprepares the dataset when the text changes.
    void SetSQL(const QString &value);

protected:
    QString SelectSQL() const override { return m_sql; }

private:
    QString m_sql;
};
