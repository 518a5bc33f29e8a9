#pragma once

#include "morvexfieldformat.h"
#include "morvexformats.h"
#include "morvexgenerator.h"
#include "morvexrow.h"
#include "morvextypes.h"
#include "stringlist.h"
#include "tib_dataset.h"
#include "tib_grid.h"

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

class Exception;
class QIODevice;
class TIB_Column;
class TIniFile;

using TNotifyEvent = std::function<void(QObject *Sender)>;
using TImportCancelEvent = std::function<void(QObject *Sender, bool &Continue)>;
using TImportBeforePostEvent = std::function<void(QObject *Sender, TMorvexRow *Row, bool &Accept)>;
using TImportAfterPostEvent = std::function<void(QObject *Sender, TMorvexRow *Row)>;
using TUserDefinedImportEvent = std::function<void(QObject *Sender, TMorvexRow *Row)>;

// The abstract base of every import component. It owns the settings, the
// map, the key columns and the destination references, and it drives the
// run: Execute checks the settings, prepares the destination and the error
// log, and loops over the source through the reading steps a format
// component overrides, writing each converted row into the destination.
class TIB_Morvex2 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TIB_Dataset *DataSet READ DataSet WRITE SetDataSet)
    Q_PROPERTY(TIB_Grid *DBGrid READ DBGrid WRITE SetDBGrid)
    Q_PROPERTY(QTreeWidget *ListView READ ListView WRITE SetListView)
    Q_PROPERTY(QTableWidget *StringGrid READ StringGrid WRITE SetStringGrid)
    Q_PROPERTY(int GridCaptionRow READ GridCaptionRow WRITE SetGridCaptionRow)
    Q_PROPERTY(int GridStartRow READ GridStartRow WRITE SetGridStartRow)
    Q_PROPERTY(Morvex::TMorvexDestination ImportDestination READ ImportDestination WRITE SetImportDestination)
    Q_PROPERTY(Morvex::TMorvexMode ImportMode READ ImportMode WRITE SetImportMode)
    Q_PROPERTY(TStringList Map READ Map WRITE SetMap)
    Q_PROPERTY(bool ErrorLog READ ErrorLog WRITE SetErrorLog)
    Q_PROPERTY(QString ErrorLogFileName READ ErrorLogFileName WRITE SetErrorLogFileName)
    Q_PROPERTY(bool RewriteErrorLogFile READ RewriteErrorLogFile WRITE SetRewriteErrorLogFile)
    Q_PROPERTY(bool ShowErrorLog READ ShowErrorLog WRITE SetShowErrorLog)
    Q_PROPERTY(int ImportRecCount READ ImportRecCount WRITE SetImportRecCount)
    Q_PROPERTY(int CommitRecCount READ CommitRecCount WRITE SetCommitRecCount)
    Q_PROPERTY(bool CommitAfterDone READ CommitAfterDone WRITE SetCommitAfterDone)
    Q_PROPERTY(Morvex::TMorvexAddType AddType READ AddType WRITE SetAddType)
    Q_PROPERTY(TStringList KeyColumns READ KeyColumns WRITE SetKeyColumns)

public:
    explicit TIB_Morvex2(QObject *owner = nullptr);
    ~TIB_Morvex2() override;

    // Runs one import; raises EMorvexError when a setting is wrong.
    bool Execute();
    // Runs the same loop, writing every row as a line of delimited text.
    void ImportToCSV(QIODevice *Stream, QChar Comma, QChar Quote);
    // Asks the run to stop before the next row.
    void Cancel() { m_canceled = true; }
    // Not canceled, or a cancel revoked by OnImportCancel.
    bool CanContinue();

    void LoadConfiguration(const QString &FileName);
    // Loads the settings from an INI file already in memory.
    void LoadConfiguration(TIniFile &IniFile) { DoLoadConfiguration(IniFile); }
    void SaveConfiguration(const QString &FileName);
    // Erases every section of the file.
    static void ClearIniFile(TIniFile &IniFile);

    // Published properties.
    TIB_Dataset *DataSet() const { return m_dataSet; }
    void SetDataSet(TIB_Dataset *value);
    TIB_Grid *DBGrid() const { return m_dbGrid; }
    void SetDBGrid(TIB_Grid *value);
    QTreeWidget *ListView() const { return m_listView; }
    void SetListView(QTreeWidget *value);
    QTableWidget *StringGrid() const { return m_stringGrid; }
    void SetStringGrid(QTableWidget *value);
    int GridCaptionRow() const { return m_gridCaptionRow; }
    void SetGridCaptionRow(int value) { m_gridCaptionRow = value; }
    int GridStartRow() const { return m_gridStartRow; }
    void SetGridStartRow(int value) { m_gridStartRow = value; }
    TMorvexDestination ImportDestination() const { return m_importDestination; }
    void SetImportDestination(TMorvexDestination value) { m_importDestination = value; }
    TMorvexMode ImportMode() const { return m_importMode; }
    void SetImportMode(TMorvexMode value) { m_importMode = value; }
    const TStringList &Map() const { return m_map; }
    TStringList &Map() { return m_map; }
    void SetMap(const TStringList &value) { m_map.Assign(value); }
    const TMorvexFormats &Formats() const { return m_formats; }
    TMorvexFormats &Formats() { return m_formats; }
    void SetFormats(const TMorvexFormats &value) { m_formats.Assign(value); }
    const TMorvexFieldFormats &FieldFormats() const { return m_fieldFormats; }
    TMorvexFieldFormats &FieldFormats() { return m_fieldFormats; }
    void SetFieldFormats(const TMorvexFieldFormats &value) { m_fieldFormats.Assign(value); }
    bool ErrorLog() const { return m_errorLog; }
    void SetErrorLog(bool value) { m_errorLog = value; }
    QString ErrorLogFileName() const { return m_errorLogFileName; }
    void SetErrorLogFileName(const QString &value) { m_errorLogFileName = value; }
    bool RewriteErrorLogFile() const { return m_rewriteErrorLogFile; }
    void SetRewriteErrorLogFile(bool value) { m_rewriteErrorLogFile = value; }
    bool ShowErrorLog() const { return m_showErrorLog; }
    void SetShowErrorLog(bool value) { m_showErrorLog = value; }
    int ImportRecCount() const { return m_importRecCount; }
    void SetImportRecCount(int value) { m_importRecCount = value; }
    int CommitRecCount() const { return m_commitRecCount; }
    void SetCommitRecCount(int value) { m_commitRecCount = value; }
    bool CommitAfterDone() const { return m_commitAfterDone; }
    void SetCommitAfterDone(bool value) { m_commitAfterDone = value; }
    TMorvexAddType AddType() const { return m_addType; }
    void SetAddType(TMorvexAddType value) { m_addType = value; }
    const TStringList &KeyColumns() const { return m_keyColumns; }
    TStringList &KeyColumns() { return m_keyColumns; }
    void SetKeyColumns(const TStringList &value) { m_keyColumns.Assign(value); }

    // Persistence predicates: a value is stored when it differs from its initial
    // value. (Qt 6 properties take no STORED function, so writers of the
    // component call these.)
    bool IsGridCaptionRow() const { return m_gridCaptionRow != -1; }
    bool IsGridStartRow() const { return m_gridStartRow != -1; }
    bool IsImportDestination() const { return m_importDestination != mxdDataSet; }
    bool IsImportMode() const { return m_importMode != mxmInsertAll; }
    bool IsRewriteErrorLogFile() const { return !m_rewriteErrorLogFile; }
    bool IsImportRecCount() const { return m_importRecCount != 0; }
    bool IsCommitRecCount() const { return m_commitRecCount != 100; }
    bool IsCommitAfterDone() const { return !m_commitAfterDone; }
    bool IsAddType() const { return m_addType != matInsert; }

    // Settings that format components publish.
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &value);
    int SkipFirstRows() const { return m_skipFirstRows; }
    void SetSkipFirstRows(int value) { m_skipFirstRows = value; }
    int SkipFirstCols() const { return m_skipFirstCols; }
    void SetSkipFirstCols(int value) { m_skipFirstCols = value; }

    // Run-time state.
    int ImportedRecs() const { return m_importedRecs; }
    const TStringList &Errors() const { return m_errors; }
    int ErrorRecs() const { return m_errors.Count(); }
    bool Canceled() const { return m_canceled; }
    int TotalRecCount() const { return m_totalRecCount; }
    TMorvexAction LastAction() const { return m_lastAction; }
    TMorvexRow *ImportRow() { return &m_importRow; }

    // Events.
    TNotifyEvent OnBeforeImport;
    TNotifyEvent OnAfterImport;
    TNotifyEvent OnImportRecord;
    TNotifyEvent OnImportError;
    TNotifyEvent OnNeedCommit;
    TImportCancelEvent OnImportCancel;
    TImportBeforePostEvent OnBeforePost;
    TImportAfterPostEvent OnAfterPost;
    TUserDefinedImportEvent OnUserDefinedImport;

    // Applies the field format of Col's column to its value (generator,
    // default for null text, constant, replacements, quotes, case,
    // character set, in this order).
    void DoUserDataFormat(TMorvexCol *Col);
    // Stores Text into the destination column by the column's type; false
    // when the text cannot be converted. Never raises.
    bool StringToField(TIB_Column *Column, const QString &Text, bool Verbatim);
    static TMorvexFieldType GetImportFieldType(TIB_Column *Column);

    // Destination operations on the component's own references.
    void CheckDestination();
    int DestinationColCount();
    QString DestinationColName(int Index);
    int DestinationFindColumn(const QString &Name);
    void DestinationInsert();
    void DestinationEdit();
    void DestinationDelete();
    void DestinationSetValues();
    void DestinationPost();
    void DestinationCancel();
    bool DestinationFindByKey();
    void DestinationDisableControls();
    void DestinationEnableControls();

    // How the error log is shown after a run with errors: by default the
    // desktop's "open" action. Tests replace it to see the call.
    using TOpenFileHook = std::function<void(const QString &path)>;
    static void SetOpenFileHook(TOpenFileHook hook);

protected:
    // The run's steps, in order; format components override them.
    virtual void BeforeImport();
    virtual void StartImport() = 0;
    virtual bool CheckCondition() = 0;
    virtual bool Skip() = 0;
    virtual void FillImportRow() = 0;
    virtual TMorvexResult ImportData();
    virtual void ChangeCondition() = 0;
    virtual void FinishImport();
    virtual void AfterImport();
    virtual void DoAfterSetFileName() {}
    virtual bool CheckProperties();
    virtual void DoLoadConfiguration(TIniFile &IniFile);
    virtual void DoSaveConfiguration(TIniFile &IniFile);

    virtual void DoBeginImport();
    virtual bool DoBeforePost();
    virtual void DoAfterPost();
    virtual void DoImportRecord();
    virtual void DoImportError(const Exception &E);
    virtual void DoNeedCommit();
    virtual void DoEndImport();

    void InitializeImportRow();
    void DataManipulation();
    // The parts of the standard row step: writes the row, and a row that
    // fails is cancelled and logged (mxrOk or mxrContinue); then FinishRow
    // asks for a commit every CommitRecCount rows and stops at ImportRecCount.
    TMorvexResult WriteRow();
    TMorvexResult FinishRow(TMorvexResult result);

    bool IsCSVMode() const { return m_csvMode; }
    // Marks the current source row as failed: the row step logs and counts
    // it like a row that failed while being written, and writes nothing.
    void SetRowError(const QString &message) { m_rowError = message; }
    void SetTotalRecCount(int value) { m_totalRecCount = value; }
    TMorvexGenerators &Generators() { return m_generators; }

private:
    void DoImport();
    void RunProtected();
    QString TimeStamp() const;
    void OpenErrorLog();
    void WriteLog(const QString &text);
    void CloseErrorLog();
    void WriteCSVRow();
    // Hands the lines written so far to the stream.
    void FlushCSV();
    TIB_Dataset *DestinationDataset() const;
    TIB_Column *DestinationColumn(int ColumnIndex) const;

    QPointer<TIB_Dataset> m_dataSet;
    QPointer<TIB_Grid> m_dbGrid;
    QPointer<QTreeWidget> m_listView;
    QPointer<QTableWidget> m_stringGrid;
    int m_gridCaptionRow = -1;
    int m_gridStartRow = -1;
    TMorvexDestination m_importDestination = mxdDataSet;
    TMorvexMode m_importMode = mxmInsertAll;
    TStringList m_map;
    TMorvexFormats m_formats;
    TMorvexFieldFormats m_fieldFormats;
    bool m_errorLog = false;
    QString m_errorLogFileName = QStringLiteral("error.log");
    bool m_rewriteErrorLogFile = true;
    bool m_showErrorLog = false;
    int m_importRecCount = 0;
    int m_commitRecCount = 100;
    bool m_commitAfterDone = true;
    TMorvexAddType m_addType = matInsert;
    TStringList m_keyColumns;

    QString m_fileName;
    int m_skipFirstRows = 0;
    int m_skipFirstCols = 0;

    int m_importedRecs = 0;
    TStringList m_errors;
    bool m_canceled = false;
    int m_totalRecCount = 0;
    TMorvexAction m_lastAction = mxaNone;
    TMorvexRow m_importRow;
    TMorvexGenerators m_generators;

    std::unique_ptr<QFile> m_logFile;
    QString m_logPath;
    QTreeWidgetItem *m_currentItem = nullptr; // owned by the list view
    int m_currentGridRow = -1;

    QString m_rowError;
    bool m_csvMode = false;
    QIODevice *m_csvStream = nullptr;
    QChar m_csvComma;
    QChar m_csvQuote;
    // Lines not yet handed to the stream: they go in blocks, not one by one.
    std::vector<char> m_csvBytes;
    size_t m_csvUsed = 0;
    QStringEncoder m_csvEncoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};
