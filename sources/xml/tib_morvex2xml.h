#pragma once

#include "ib_morvex2.h"

#include <QString>

#include <memory>

class TXMLFile;

// Imports the rows of an XML data packet: each row element of ROWDATA is one
// source row, its attributes the source values. The map names attributes.
class TIB_Morvex2XML : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)

public:
    explicit TIB_Morvex2XML(QObject *owner = nullptr);
    ~TIB_Morvex2XML() override;

protected:
    void BeforeImport() override;
    void StartImport() override { m_row = 0; }
    bool CheckCondition() override;
    bool Skip() override;
    void FillImportRow() override;
    void ChangeCondition() override { ++m_row; }
    void AfterImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    std::unique_ptr<TXMLFile> m_packet;
    int m_row = 0;
};
