#include "ib_morvex2.h"

#include "messages.h"
#include "morvexerror.h"
#include "strutils.h"
#include "conversions.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <exception>
#include <utility>

namespace {

TIB_Morvex2::TOpenFileHook &openFileHook()
{
    static TIB_Morvex2::TOpenFileHook hook;
    return hook;
}

// Restores a flag when the scope ends, whatever happened.
class FlagGuard
{
public:
    FlagGuard(bool &flag, bool value) : m_flag(flag), m_old(flag) { m_flag = value; }
    ~FlagGuard() { m_flag = m_old; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
    bool m_old;
};

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

TIB_Morvex2::TIB_Morvex2(QObject *owner)
    : QObject(owner)
    , m_fieldFormats(this)
    , m_importRow(this)
{
}

TIB_Morvex2::~TIB_Morvex2() = default;

void TIB_Morvex2::SetOpenFileHook(TOpenFileHook hook)
{
    openFileHook() = std::move(hook);
}

void TIB_Morvex2::SetDataSet(TIB_Dataset *value)
{
    if (m_dataSet != value)
        m_dataSet = value;
}

void TIB_Morvex2::SetDBGrid(TIB_Grid *value)
{
    if (m_dbGrid != value)
        m_dbGrid = value;
}

void TIB_Morvex2::SetListView(QTreeWidget *value)
{
    if (m_listView != value)
        m_listView = value;
}

void TIB_Morvex2::SetStringGrid(QTableWidget *value)
{
    if (m_stringGrid != value)
        m_stringGrid = value;
}

void TIB_Morvex2::SetFileName(const QString &value)
{
    if (m_fileName == value)
        return;
    m_fileName = value;
    DoAfterSetFileName();
}

bool TIB_Morvex2::CanContinue()
{
    bool Continue = !m_canceled;
    if (OnImportCancel)
        OnImportCancel(this, Continue);
    m_canceled = !Continue;
    return Continue;
}

bool TIB_Morvex2::Execute()
{
    const bool result = CheckProperties();
    BeforeImport();
    RunProtected();
    return result;
}

void TIB_Morvex2::ImportToCSV(QIODevice *Stream, QChar Comma, QChar Quote)
{
    const FlagGuard csvMode(m_csvMode, true);
    CheckProperties();
    if (!Stream)
        throw Exception(MorvexText(MXE_NoStream));
    m_csvStream = Stream;
    m_csvUsed = 0;
    m_csvComma = Comma;
    m_csvQuote = Quote;
    BeforeImport();
    RunProtected();
}

// The protected part of a run: whatever happens in it, the end event fires
// and AfterImport runs; an exception then goes on to the caller.
void TIB_Morvex2::RunProtected()
{
    std::exception_ptr failure;
    try {
        DoBeginImport();
        DoImport();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        DoEndImport();
    } catch (...) {
        AfterImport();
        throw;
    }
    AfterImport();
    if (failure)
        std::rethrow_exception(failure);
}

void TIB_Morvex2::DoImport()
{
    StartImport();
    try {
        while (CheckCondition()) {
            m_lastAction = mxaNone;
            if (!Skip()) {
                FillImportRow();
                if (m_importDestination == mxdUserDefined) {
                    if (OnUserDefinedImport)
                        OnUserDefinedImport(this, &m_importRow);
                } else if (ImportData() == mxrBreak) {
                    break;
                }
            }
            // A stream that fails ends the run: it is no fault of a row.
            constexpr size_t kCSVBlock = 64 * 1024;
            if (m_csvMode && m_csvUsed >= kCSVBlock)
                FlushCSV();
            ChangeCondition();
        }
    } catch (...) {
        // The lines written before the failure still reach the stream; the
        // failure itself is what the caller hears of.
        if (m_csvMode) {
            try {
                FlushCSV();
            } catch (...) {
            }
        }
        FinishImport();
        throw;
    }
    if (m_csvMode)
        FlushCSV();
    FinishImport();
}

TMorvexResult TIB_Morvex2::ImportData()
{
    return FinishRow(m_canceled && !CanContinue() ? mxrBreak : WriteRow());
}

TMorvexResult TIB_Morvex2::WriteRow()
{
    try {
        if (!m_rowError.isEmpty())
            throw EMorvexError(std::exchange(m_rowError, QString()));
        DataManipulation();
        return mxrOk;
    } catch (const Exception &e) {
        DestinationCancel();
        DoImportError(e);
    } catch (const std::exception &e) {
        DestinationCancel();
        DoImportError(Exception(QString::fromLocal8Bit(e.what())));
    }
    return mxrContinue;
}

TMorvexResult TIB_Morvex2::FinishRow(TMorvexResult result)
{
    const int n = ErrorRecs() + m_importedRecs;
    if (!m_csvMode && m_commitRecCount > 0 && n > 0 && n % m_commitRecCount == 0)
        DoNeedCommit();
    if (m_importRecCount > 0 && n > 0 && n % m_importRecCount == 0)
        result = mxrBreak;
    return result;
}

void TIB_Morvex2::FinishImport()
{
    if (!m_csvMode && m_commitAfterDone && !m_canceled)
        DoNeedCommit();
}

bool TIB_Morvex2::CheckProperties()
{
    if (!m_csvMode)
        CheckDestination();
    if (m_fileName.isEmpty())
        throw EMorvexError(MorvexText(MXE_NoFileName));
    if (!FileExists(m_fileName))
        throw EMorvexError(MorvexFormat(MXE_FileNotExists, {m_fileName}));
    if (m_map.Count() == 0)
        throw EMorvexError(MorvexText(MXE_MappingEmpty));
    if (!m_csvMode && m_importDestination != mxdUserDefined) {
        for (int i = 0; i < m_map.Count(); ++i) {
            const QString name = m_map.Names(i);
            if (DestinationFindColumn(name) < 0)
                throw EMorvexError(MorvexFormat(MXE_FieldNotFound, {name}));
        }
    }
    if (m_importMode != mxmInsertAll) {
        if (m_keyColumns.Count() == 0)
            throw EMorvexError(MorvexText(MXE_KeyColumnsNotDefined));
        for (int i = 0; i < m_keyColumns.Count(); ++i) {
            if (DestinationFindColumn(m_keyColumns[i]) < 0)
                throw EMorvexError(MorvexFormat(MXE_KeyColumnNotFound, {m_keyColumns[i]}));
        }
    }
    return true;
}

void TIB_Morvex2::BeforeImport()
{
    if (m_importRecCount > 0 && m_importRecCount < m_totalRecCount)
        m_totalRecCount = m_importRecCount;
    m_lastAction = mxaNone;
    m_importedRecs = 0;
    m_errors.Clear();
    m_canceled = false;
    m_rowError.clear();
    m_formats.StoreFormats();
    m_formats.ApplyParams();
    DestinationDisableControls();
    m_currentItem = nullptr;
    m_currentGridRow = m_gridStartRow;
    // A run that cannot start must not leave the process-wide formats
    // changed or the destination's controls disabled.
    try {
        InitializeImportRow();
        if (m_errorLog && !m_errorLogFileName.isEmpty())
            OpenErrorLog();
    } catch (...) {
        m_formats.RestoreFormats();
        m_importRow.Clear();
        m_generators.Clear();
        DestinationEnableControls();
        throw;
    }
}

void TIB_Morvex2::AfterImport()
{
    m_formats.RestoreFormats();
    m_importRow.Clear();
    m_generators.Clear();
    DestinationEnableControls();
    CloseErrorLog();
}

void TIB_Morvex2::InitializeImportRow()
{
    m_importRow.Clear();
    TStringList &index = m_importRow.NameIndex();
    for (int i = 0; i < m_map.Count(); ++i) {
        const QString name = m_map.Names(i);
        const int column = DestinationFindColumn(name);
        if (column >= 0 || m_csvMode || m_importDestination == mxdUserDefined) {
            m_importRow.Add(name)->ColumnIndex = column;
            index.AddObject(name, m_importRow.Count() - 1);
        }
    }
    index.Sort();
    for (int i = 0; i < m_fieldFormats.Count(); ++i) {
        const TMorvexFieldFormat *format = m_fieldFormats.Items(i);
        if (!m_importRow.ColByName(format->FieldName())) {
            const int column = DestinationFindColumn(format->FieldName());
            if (column >= 0)
                m_importRow.Add(format->FieldName())->ColumnIndex = column;
        }
        if (m_importRow.ColByName(format->FieldName()) && format->GeneratorStep() != 0)
            m_generators.Add(format->FieldName(), format->GeneratorValue(), format->GeneratorStep());
    }
}

void TIB_Morvex2::DataManipulation()
{
    if (m_csvMode) {
        DestinationSetValues();
        DoImportRecord();
        return;
    }
    switch (m_importMode) {
    case mxmInsertAll:
        if (DoBeforePost())
            DestinationInsert();
        break;
    case mxmInsertNew:
        if (!DestinationFindByKey() && DoBeforePost())
            DestinationInsert();
        break;
    case mxmUpdate:
        if (DestinationFindByKey() && DoBeforePost())
            DestinationEdit();
        break;
    case mxmUpdateOrInsert:
        if (DestinationFindByKey()) {
            if (DoBeforePost())
                DestinationEdit();
        } else if (DoBeforePost()) {
            DestinationInsert();
        }
        break;
    case mxmDelete:
        if (DestinationFindByKey() && DoBeforePost())
            DestinationDelete();
        break;
    case mxmDeleteOrInsert:
        if (DestinationFindByKey()) {
            if (DoBeforePost())
                DestinationDelete();
        } else if (DoBeforePost()) {
            DestinationInsert();
        }
        break;
    }
    if (m_lastAction == mxaInsert || m_lastAction == mxaUpdate) {
        DestinationSetValues();
        DestinationPost();
    }
    DoAfterPost();
    DoImportRecord();
}

void TIB_Morvex2::DoBeginImport()
{
    if (OnBeforeImport)
        OnBeforeImport(this);
}

bool TIB_Morvex2::DoBeforePost()
{
    bool accept = true;
    if (OnBeforePost)
        OnBeforePost(this, &m_importRow, accept);
    return accept;
}

void TIB_Morvex2::DoAfterPost()
{
    if (OnAfterPost)
        OnAfterPost(this, &m_importRow);
}

void TIB_Morvex2::DoImportRecord()
{
    ++m_importedRecs;
    if (OnImportRecord)
        OnImportRecord(this);
}

void TIB_Morvex2::DoImportError(const Exception &E)
{
    if (m_errorLog) {
        const QString line = PascalFormat(QStringLiteral("%s - %s"), {TimeStamp(), E.Message()});
        m_errors.Add(line);
        WriteLog(line + kLineBreak);
    }
    if (OnImportError)
        OnImportError(this);
}

void TIB_Morvex2::DoNeedCommit()
{
    if (OnNeedCommit)
        OnNeedCommit(this);
}

void TIB_Morvex2::DoEndImport()
{
    if (OnAfterImport)
        OnAfterImport(this);
}

QString TIB_Morvex2::TimeStamp() const
{
    return FormatDateTime(m_formats.ShortDateFormat() + u' ' + m_formats.ShortTimeFormat(), Now());
}

void TIB_Morvex2::OpenErrorLog()
{
    QString path = m_errorLogFileName;
    if (ExtractFilePath(path).isEmpty())
        path = IncludeTrailingPathDelimiter(QCoreApplication::applicationDirPath()) + path;
    const QString dir = ExtractFilePath(path);
    if (!dir.isEmpty() && !ForceDirectories(dir))
        throw Exception(QStringLiteral("Cannot create directory %1").arg(QDir::toNativeSeparators(dir)));
    auto file = std::make_unique<QFile>(path);
    const QIODevice::OpenMode mode = m_rewriteErrorLogFile ? QIODevice::WriteOnly | QIODevice::Truncate
                                                           : QIODevice::ReadWrite;
    if (!m_rewriteErrorLogFile && !file->exists())
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(path), QStringLiteral("No such file or directory")));
    if (!file->open(mode))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file->errorString()));
    file->seek(file->size());
    m_logFile = std::move(file);
    m_logPath = path;
    WriteLog(MorvexFormat(MXW_ErrorLogStarted, {TimeStamp()}) + kLineBreak + kLineBreak);
}

void TIB_Morvex2::WriteLog(const QString &text)
{
    if (!m_logFile)
        return;
    const QByteArray bytes = text.toUtf8();
    if (m_logFile->write(bytes) != bytes.size())
        throw Exception(QStringLiteral("Cannot write to %1: %2")
                            .arg(QDir::toNativeSeparators(m_logPath), m_logFile->errorString()));
}

void TIB_Morvex2::CloseErrorLog()
{
    if (!m_logFile)
        return;
    QString end;
    if (m_errors.Count() > 0)
        end += kLineBreak;
    end += MorvexFormat(MXW_ErrorLogFinished, {TimeStamp()}) + kLineBreak + kLineBreak;
    end += m_errors.Count() > 0 ? MorvexFormat(MXW_SomeErrorsFound, {QString::number(m_errors.Count())})
                                : MorvexText(MXW_NoErrorsFound);
    const std::unique_ptr<QFile> file = std::move(m_logFile);
    file->write(end.toUtf8());
    file->close();
    if (m_showErrorLog && m_errors.Count() > 0) {
        if (openFileHook())
            openFileHook()(m_logPath);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(m_logPath));
    }
}
