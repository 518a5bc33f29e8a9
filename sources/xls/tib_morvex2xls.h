#pragma once

#include "ib_morvex2.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class TMapRow;
class TMapRowList;
class TxlsFile;

namespace MorvexXLS {
Q_NAMESPACE

// How many rows an import takes when the columns' maps yield different
// numbers of cells: as many as the longest map (shorter columns get empty
// text), or as many as the shortest.
enum TMorvexRange { mxrMax, mxrMin };
Q_ENUM_NS(TMorvexRange)

enum TMorvexSheetIDType { mstNumber, mstName };
Q_ENUM_NS(TMorvexSheetIDType)
} // namespace MorvexXLS

using enum MorvexXLS::TMorvexRange;
using enum MorvexXLS::TMorvexSheetIDType;
using MorvexXLS::TMorvexRange;
using MorvexXLS::TMorvexSheetIDType;

// Imports cells of an Excel 97-2003 workbook. Each map line names a
// destination column and, in the range map language, the cells that feed
// it; source row i is the i-th cell of every column's map.
class TIB_Morvex2XLS : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)
    Q_PROPERTY(int SkipFirstCols READ SkipFirstCols WRITE SetSkipFirstCols)
    Q_PROPERTY(MorvexXLS::TMorvexRange ImportRange READ ImportRange WRITE SetImportRange)
    Q_PROPERTY(MorvexXLS::TMorvexSheetIDType DefaultSheetIDType READ DefaultSheetIDType WRITE SetDefaultSheetIDType)
    Q_PROPERTY(int DefaultSheetNumber READ DefaultSheetNumber WRITE SetDefaultSheetNumber)
    Q_PROPERTY(QString DefaultSheetName READ DefaultSheetName WRITE SetDefaultSheetName)

public:
    explicit TIB_Morvex2XLS(QObject *owner = nullptr);
    ~TIB_Morvex2XLS() override;

    TMorvexRange ImportRange() const { return m_importRange; }
    void SetImportRange(TMorvexRange value) { m_importRange = value; }
    // The default sheet is kept with the component and offered to the user;
    // a range without a sheet always reads the first worksheet.
    TMorvexSheetIDType DefaultSheetIDType() const { return m_defaultSheetIDType; }
    void SetDefaultSheetIDType(TMorvexSheetIDType value) { m_defaultSheetIDType = value; }
    int DefaultSheetNumber() const { return m_defaultSheetNumber; }
    void SetDefaultSheetNumber(int value) { m_defaultSheetNumber = value; }
    QString DefaultSheetName() const { return m_defaultSheetName; }
    void SetDefaultSheetName(const QString &value) { m_defaultSheetName = value; }

    bool IsImportRange() const { return m_importRange != mxrMax; }
    bool IsDefaultSheetIDType() const { return m_defaultSheetIDType != mstNumber; }
    bool IsDefaultSheetNumber() const { return m_defaultSheetNumber != 1; }
    bool IsDefaultSheetName() const { return !m_defaultSheetName.isEmpty(); }

protected:
    void BeforeImport() override;
    void StartImport() override;
    bool CheckCondition() override { return m_current <= m_last; }
    bool Skip() override { return false; }
    void FillImportRow() override;
    TMorvexResult ImportData() override;
    void ChangeCondition() override { ++m_current; }
    void FinishImport() override;
    void AfterImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    TMorvexRange m_importRange = mxrMax;
    TMorvexSheetIDType m_defaultSheetIDType = mstNumber;
    int m_defaultSheetNumber = 1;
    QString m_defaultSheetName;

    // Alive from BeforeImport to AfterImport.
    std::unique_ptr<TxlsFile> m_file;
    std::unique_ptr<TMapRowList> m_rows;
    int m_minTotal = 0;
    int m_maxTotal = 0;
    // The map row of each column of the row buffer, or null.
    std::vector<TMapRow *> m_columnRows;
    int m_last = -1;
    int m_current = 0;
};
