#pragma once

#include "ib_morvex2.h"

#include <QList>
#include <QStringList>
#include <QTemporaryFile>

#include <functional>

// An import component whose source is a list of rows held in memory. Map
// values are 1-based field numbers. Tests make any reading step fail
// through FailIn.
class TListSource : public TIB_Morvex2
{
public:
    explicit TListSource(QObject *owner = nullptr) : TIB_Morvex2(owner)
    {
        m_file.open();
        SetFileName(m_file.fileName());
    }

    QList<QStringList> Rows;
    // Called at the start of every reading step with the step's name and the
    // current row; may raise.
    std::function<void(const QString &step, int row)> FailIn;
    // "StartImport" and "FinishImport" as they ran.
    QStringList Steps;

protected:
    void StartImport() override
    {
        Steps.append(QStringLiteral("StartImport"));
        step(QStringLiteral("StartImport"));
        m_row = 0;
    }
    bool CheckCondition() override
    {
        step(QStringLiteral("CheckCondition"));
        return m_row < Rows.size();
    }
    bool Skip() override
    {
        step(QStringLiteral("Skip"));
        return m_row < SkipFirstRows();
    }
    void FillImportRow() override
    {
        step(QStringLiteral("FillImportRow"));
        TMorvexRow *row = ImportRow();
        row->ClearValues();
        for (int i = 0; i < Map().Count(); ++i) {
            const int field = Map().ValueFromIndex(i).toInt() - 1;
            row->SetValue(Map().Names(i), Rows[m_row].value(field));
        }
        for (int i = 0; i < row->Count(); ++i)
            DoUserDataFormat(row->Items(i));
    }
    void ChangeCondition() override
    {
        step(QStringLiteral("ChangeCondition"));
        ++m_row;
    }
    void FinishImport() override
    {
        Steps.append(QStringLiteral("FinishImport"));
        TIB_Morvex2::FinishImport();
    }

private:
    void step(const QString &name)
    {
        if (FailIn)
            FailIn(name, m_row);
    }

    QTemporaryFile m_file;
    int m_row = 0;
};
