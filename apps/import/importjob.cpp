#include "importjob.h"

#include "ib_morvex2.h"
#include "inifile.h"
#include "morvexerror.h"
#include "sqlscript.h"
#include "strutils.h"
#include "tib_connection.h"
#include "tib_query.h"
#include "tib_ado_morvex2access.h"
#include "tib_morvex2ascii.h"
#include "tib_morvex2dbf.h"
#include "tib_morvex2xls.h"
#include "tib_morvex2xml.h"
#include "tib_transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// What the run did, row by row.
struct Counts
{
    int inserted = 0;
    int updated = 0;
    int deleted = 0;
    int skipped = 0;
    int failed = 0;
    int committed = 0;
    int written() const { return inserted + updated + deleted; }
};

// Progress on standard error: a bar with rows/s on a terminal, a plain line
// every few seconds otherwise.
class Progress
{
public:
    explicit Progress(const TIB_Morvex2 &component)
        : m_component(component), m_terminal(isatty(STDERR_FILENO) != 0)
    {
        m_clock.start();
    }

    void Row(int processed)
    {
        const qint64 interval = m_terminal ? 200 : 5000;
        if (m_clock.elapsed() - m_lastShown < interval)
            return;
        m_lastShown = m_clock.elapsed();
        Show(processed);
    }

    void Done(int processed)
    {
        if (m_terminal && m_lastShown > 0) {
            Show(processed);
            err() << '\n';
            err().flush();
        }
    }

    double Seconds() const { return double(m_clock.nsecsElapsed()) / 1e9; }

private:
    void Show(int processed)
    {
        const double seconds = Seconds();
        const int rate = seconds > 0 ? int(processed / seconds) : 0;
        const int total = m_component.TotalRecCount();
        QString line;
        if (total > 0) {
            const int width = 30;
            const int filled = qMin(width, int(qint64(processed) * width / total));
            line = QStringLiteral("[%1%2] %3/%4 rows, %5 rows/s")
                       .arg(QString(filled, u'#'), QString(width - filled, u'.'))
                       .arg(processed)
                       .arg(total)
                       .arg(rate);
        } else {
            line = QStringLiteral("%1 rows, %2 rows/s").arg(processed).arg(rate);
        }
        if (m_terminal)
            err() << '\r' << line << QStringLiteral("\x1b[K");
        else
            err() << line << '\n';
        err().flush();
    }

    const TIB_Morvex2 &m_component;
    bool m_terminal;
    QElapsedTimer m_clock;
    qint64 m_lastShown = 0;
};

// A table name as the user typed it: a plain identifier means what it means
// unquoted in SQL (upper case); anything else is taken literally.
QString quotedTable(const QString &name)
{
    bool plain = !name.isEmpty() && !name.at(0).isDigit();
    for (QChar c : name)
        plain = plain && c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_' || c == u'$');
    const QString identifier = plain ? name.toUpper() : name;
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString absoluteFrom(const QString &dir, const QString &path)
{
    return path.isEmpty() || QFileInfo(path).isAbsolute() ? path : QDir(dir).absoluteFilePath(path);
}

// The configuration file with the command line's overrides applied.
TIniFile loadConfig(const ImportOptions &options)
{
    QFile file(options.config);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot read configuration file %1: %2").arg(options.config, file.errorString()));
    TIniFile ini = TIniFile::FromBytes(file.readAll());
    for (const QString &override : options.overrides) {
        const qsizetype dot = override.indexOf(u'.');
        const qsizetype equals = override.indexOf(u'=');
        if (dot <= 0 || equals < dot + 2)
            throw Exception(QStringLiteral("--set expects SECTION.KEY=VALUE, not %1").arg(override));
        ini.WriteString(override.left(dot), override.mid(dot + 1, equals - dot - 1), override.mid(equals + 1));
    }
    return ini;
}

void runScript(TIB_Connection &connection, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot read SQL script %1: %2").arg(path, file.errorString()));
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&connection);
    transaction.StartTransaction();
    for (const QString &statement : SplitSqlScript(QString::fromUtf8(file.readAll())))
        transaction.ExecuteImmediate(statement);
    transaction.Commit();
}

void printSummary(const ImportOptions &options, const TIB_Morvex2 &component, const Counts &counts,
                  double seconds, const QString &outcome, const QString &error)
{
    const int processed = component.ImportedRecs() + counts.failed;
    const double rate = seconds > 0 ? processed / seconds : 0;
    QString logPath;
    if (component.ErrorLog() && !component.ErrorLogFileName().isEmpty())
        logPath = component.ErrorLogFileName();
    if (options.json) {
        QJsonObject summary{{QStringLiteral("outcome"), outcome},
                            {QStringLiteral("imported"), component.ImportedRecs()},
                            {QStringLiteral("errors"), counts.failed},
                            {QStringLiteral("inserted"), counts.inserted},
                            {QStringLiteral("updated"), counts.updated},
                            {QStringLiteral("deleted"), counts.deleted},
                            {QStringLiteral("skipped"), counts.skipped},
                            {QStringLiteral("committed"), counts.committed},
                            {QStringLiteral("seconds"), seconds},
                            {QStringLiteral("rowsPerSecond"), rate},
                            {QStringLiteral("errorLog"), logPath}};
        if (!error.isEmpty())
            summary.insert(QStringLiteral("message"), error);
        out() << QString::fromUtf8(QJsonDocument(summary).toJson(QJsonDocument::Compact)) << '\n';
    } else {
        out() << QStringLiteral("%1: %2 rows imported, %3 errors (%4 inserted, %5 updated, %6 deleted, %7 skipped)")
                     .arg(outcome)
                     .arg(component.ImportedRecs())
                     .arg(counts.failed)
                     .arg(counts.inserted)
                     .arg(counts.updated)
                     .arg(counts.deleted)
                     .arg(counts.skipped)
              << '\n';
        if (options.toCsv.isEmpty())
            out() << QStringLiteral("%1 rows committed").arg(counts.committed) << '\n';
        out() << QStringLiteral("%1 s, %2 rows/s").arg(seconds, 0, 'f', 2).arg(rate, 0, 'f', 0) << '\n';
        if (!logPath.isEmpty())
            out() << QStringLiteral("error log: %1").arg(QDir::toNativeSeparators(logPath)) << '\n';
    }
    out().flush();
}

} // namespace

QStringList ImportKinds()
{
    return {QStringLiteral("csv"), QStringLiteral("txt"), QStringLiteral("dbf"), QStringLiteral("xls"), QStringLiteral("xml"), QStringLiteral("access")};
}

std::unique_ptr<TIB_Morvex2> CreateImportComponent(const QString &kind)
{
    if (kind == QLatin1String("csv")) {
        auto ascii = std::make_unique<TIB_Morvex2ASCII>();
        ascii->SetComma(u',');
        return ascii;
    }
    if (kind == QLatin1String("txt")) {
        auto ascii = std::make_unique<TIB_Morvex2ASCII>();
        ascii->SetComma(QChar());
        return ascii;
    }
    if (kind == QLatin1String("dbf"))
        return std::make_unique<TIB_Morvex2DBF>();
    if (kind == QLatin1String("xls"))
        return std::make_unique<TIB_Morvex2XLS>();
    if (kind == QLatin1String("xml"))
        return std::make_unique<TIB_Morvex2XML>();
    if (kind == QLatin1String("access"))
        return std::make_unique<TIB_ADO_Morvex2Access>();
    return nullptr;
}

int RunImport(const ImportOptions &options)
{
    std::unique_ptr<TIB_Morvex2> component = CreateImportComponent(options.kind);
    if (!component) {
        err() << QStringLiteral("Unknown kind %1; this build knows %2").arg(options.kind, ImportKinds().join(QStringLiteral(", "))) << '\n';
        return StatusNotRun;
    }

    TIB_Connection connection;
    TIB_Transaction transaction;
    TIB_Query query;
    Counts counts;
    Progress progress(*component);
    QSaveFile csv(options.toCsv);
    const QString configDir = QFileInfo(options.config).absolutePath();

    try {
        TIniFile ini = loadConfig(options);
        if (options.toCsv.isEmpty()) {
            connection.SetDatabaseName(options.database);
            if (!options.user.isEmpty())
                connection.SetUsername(options.user);
            connection.SetPassword(options.password);
            const bool embedded = !options.database.contains(u':') || QFileInfo(options.database).isAbsolute();
            if (options.create && embedded && !QFileInfo::exists(options.database))
                connection.CreateDatabase();
            else
                connection.Connect();
            if (!options.ddl.isEmpty())
                runScript(connection, options.ddl);
            transaction.SetIB_Connection(&connection);
            query.SetIB_Connection(&connection);
            query.SetIB_Transaction(&transaction);
            query.SetSQL(QStringLiteral("SELECT * FROM %1").arg(quotedTable(options.table)));
            query.Open();
            component->SetImportDestination(mxdDataSet);
            component->SetDataSet(&query);
        }
        component->LoadConfiguration(ini);
        if (!options.sql.isEmpty()) {
            auto *access = qobject_cast<TIB_ADO_Morvex2Access *>(component.get());
            if (!access)
                throw Exception(QStringLiteral("--sql is for the kind access"));
            access->SetSourceType(isSQL);
            access->SQL().SetText(options.sql);
        }
        // Delimited output has no rows to find: every row is written.
        if (!options.toCsv.isEmpty())
            component->SetImportMode(mxmInsertAll);
        component->SetFileName(absoluteFrom(configDir, component->FileName()));
        if (component->ErrorLog())
            component->SetErrorLogFileName(absoluteFrom(configDir, component->ErrorLogFileName()));
    } catch (const Exception &e) {
        err() << e.Message() << '\n';
        err().flush();
        return StatusNotRun;
    }

    auto processed = [&] { return component->ImportedRecs() + counts.failed; };
    component->OnAfterPost = [&](QObject *, TMorvexRow *) {
        switch (component->LastAction()) {
        case mxaInsert: ++counts.inserted; break;
        case mxaUpdate: ++counts.updated; break;
        case mxaDelete: ++counts.deleted; break;
        case mxaNone: ++counts.skipped; break;
        }
    };
    component->OnImportRecord = [&](QObject *) {
        if (g_interrupted)
            component->Cancel();
        progress.Row(processed());
    };
    component->OnImportError = [&](QObject *) {
        ++counts.failed;
        if (g_interrupted)
            component->Cancel();
        progress.Row(processed());
    };
    component->OnNeedCommit = [&](QObject *) {
        transaction.CommitRetaining();
        counts.committed = counts.written();
    };

    std::signal(SIGINT, onInterrupt);
    QString outcome = QStringLiteral("done");
    QString error;
    int status = StatusOk;
    try {
        if (options.toCsv.isEmpty()) {
            component->Execute();
        } else {
            if (!csv.open(QIODevice::WriteOnly))
                throw Exception(QStringLiteral("Cannot write %1: %2").arg(options.toCsv, csv.errorString()));
            component->ImportToCSV(&csv, options.comma, options.quote);
            if (!component->Canceled() && !csv.commit())
                throw Exception(QStringLiteral("Cannot write %1: %2").arg(options.toCsv, csv.errorString()));
        }
        if (component->Canceled()) {
            outcome = QStringLiteral("canceled");
            status = StatusNotRun;
        } else if (counts.failed > 0) {
            status = StatusRowsFailed;
        }
    } catch (const Exception &e) {
        outcome = QStringLiteral("failed");
        error = e.Message();
        status = StatusNotRun;
    }
    std::signal(SIGINT, SIG_DFL);
    progress.Done(processed());
    // What the engine did not ask to commit is rolled back.
    if (transaction.InTransaction())
        transaction.Rollback();
    if (!error.isEmpty()) {
        err() << error << '\n';
        err().flush();
    }
    printSummary(options, *component, counts, progress.Seconds(), outcome, error);
    return status;
}
