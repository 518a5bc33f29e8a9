#pragma once

#include "dataset.h"
#include "ib_morvex2.h"

#include <QPointer>

// Imports the records of any dataset (TDataSet): one record is one row, the
// map pairs a destination column with a source field by name. The component
// has no file.
class TIB_Morvex2DataSet : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(TDataSet *Source READ Source WRITE SetSource)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)
    Q_PROPERTY(bool GoToFirstRecord READ GoToFirstRecord WRITE SetGoToFirstRecord)

public:
    explicit TIB_Morvex2DataSet(QObject *owner = nullptr);
    ~TIB_Morvex2DataSet() override;

    // Cleared when the source is destroyed.
    TDataSet *Source() const { return m_source; }
    void SetSource(TDataSet *value) { m_source = value; }
    // False starts from the source's current record.
    bool GoToFirstRecord() const { return m_goToFirstRecord; }
    void SetGoToFirstRecord(bool value) { m_goToFirstRecord = value; }
    bool IsGoToFirstRecord() const { return !m_goToFirstRecord; }

protected:
    bool CheckProperties() override;
    void StartImport() override;
    bool CheckCondition() override;
    bool Skip() override;
    void FillImportRow() override;
    TMorvexResult ImportData() override;
    void ChangeCondition() override;
    void FinishImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    QPointer<TDataSet> m_source;
    bool m_goToFirstRecord = true;
    // Records seen by Skip, and records moved past by ChangeCondition.
    int m_skipCount = 0;
    qint64 m_readCount = 0;
};
