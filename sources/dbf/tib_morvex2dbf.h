#pragma once

#include "ib_morvex2.h"
#include "stringlist.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class TDBFRead;

// Imports the records of a dBase table and its memo file. The map names
// DBF fields, matched without regard to letter case.
class TIB_Morvex2DBF : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(bool SkipDeleted READ SkipDeleted WRITE SetSkipDeleted)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)
    Q_PROPERTY(QString CodePage READ CodePage WRITE SetCodePage)

public:
    explicit TIB_Morvex2DBF(QObject *owner = nullptr);
    ~TIB_Morvex2DBF() override;

    bool SkipDeleted() const { return m_skipDeleted; }
    void SetSkipDeleted(bool value) { m_skipDeleted = value; }
    // The code page of the table's text: a name, or "auto" for the one the
    // header's language driver names; by default the process-wide ANSI code page.
    QString CodePage() const { return m_codePage; }
    void SetCodePage(const QString &value) { m_codePage = value; }

protected:
    void BeforeImport() override;
    void StartImport() override;
    bool CheckCondition() override;
    bool Skip() override { return false; }
    void FillImportRow() override;
    TMorvexResult ImportData() override;
    void ChangeCondition() override {}
    void FinishImport() override;
    void AfterImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    void planFields();

    bool m_skipDeleted = true;
    QString m_codePage;
    std::unique_ptr<TDBFRead> m_reader;
    // Per field of the table, the column of the row it fills, if any.
    struct FieldTarget
    {
        QString name;
        TMorvexCol *col = nullptr;
        bool date = false;
    };
    std::vector<FieldTarget> m_targets;
    // The revisions of the map, the row and its name index m_targets was planned for.
    std::array<std::uint64_t, 3> m_plannedRevisions{};
    // The row's columns that no map line names.
    std::vector<TMorvexCol *> m_unmapped;
    // Number of the record read last, 1-based.
    qint64 m_record = 0;
};
