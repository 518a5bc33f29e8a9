#include "mdbdatabase_p.h"
#include "tadoconnection.h"

#include "eado_error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcAdo, "morvex.ado", QtInfoMsg)

namespace {

// The database page of a Jet file begins with these bytes: a page type of 0
// with its 3-byte tail, then the engine's signature.
constexpr char kPageStart[] = {0x00, 0x01, 0x00, 0x00};
const QByteArray kJetSignature = QByteArrayLiteral("Standard Jet DB");
const QByteArray kAceSignature = QByteArrayLiteral("Standard ACE DB");
// Offset 0x14 of the first page holds the version: 0 is Jet 3 with 2 KiB
// pages, every later version uses 4 KiB pages.
constexpr int kVersionOffset = 0x14;
constexpr qint64 kJet3PageSize = 2048;
constexpr qint64 kJet4PageSize = 4096;

[[noreturn]] void unrecognized(const QString &fileName)
{
    throw EADOError(QStringLiteral("Unrecognized database format '%1'.").arg(QDir::toNativeSeparators(fileName)));
}

// A file mdbtools is given must at least look like a Jet database: the
// signature, and the database page and the first catalog page in the file.
void checkFile(const QString &fileName)
{
    if (fileName.isEmpty())
        throw EADOError(QStringLiteral("The connection string names no Data Source."));
    const QFileInfo info(fileName);
    if (!info.exists() || !info.isFile())
        throw EADOError(QStringLiteral("Could not find file '%1'.").arg(QDir::toNativeSeparators(fileName)));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EADOError(QStringLiteral("Cannot open file '%1'. %2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
    const QByteArray head = file.read(kVersionOffset + 1);
    if (head.size() < kVersionOffset + 1 || !head.startsWith(QByteArray(kPageStart, sizeof kPageStart)))
        unrecognized(fileName);
    const QByteArray signature = head.mid(sizeof kPageStart, kJetSignature.size());
    if (signature != kJetSignature && signature != kAceSignature)
        unrecognized(fileName);
    const qint64 pageSize = head.at(kVersionOffset) == 0 ? kJet3PageSize : kJet4PageSize;
    if (file.size() < 3 * pageSize || file.size() % pageSize != 0)
        unrecognized(fileName);
}

// How long a trial read may take: a minute, and a second more for every
// megabyte of the file.
qint64 trialMilliseconds(const QString &fileName)
{
    return 60 * 1000 + QFileInfo(fileName).size() / 1000;
}

[[noreturn]] void damaged(const QString &fileName, const QString &how)
{
    throw EADOError(QStringLiteral("The database '%1' is damaged: %2.").arg(QDir::toNativeSeparators(fileName), how));
}

} // namespace

void MdbTrialRead(const QString &fileName, const std::function<void()> &read)
{
    checkFile(fileName);
    const qint64 allowed = trialMilliseconds(fileName);
    const pid_t child = fork();
    if (child < 0)
        throw EADOError(QStringLiteral("Cannot check the database '%1': %2")
                            .arg(QDir::toNativeSeparators(fileName), QString::fromLocal8Bit(std::strerror(errno))));
    if (child == 0) {
        // mdbtools' warnings are the real read's to print.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        try {
            read();
        } catch (...) {
        }
        ::_exit(0);
    }
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR)
            throw EADOError(QStringLiteral("Cannot check the database '%1': %2")
                                .arg(QDir::toNativeSeparators(fileName), QString::fromLocal8Bit(std::strerror(errno))));
        if (timer.elapsed() > allowed) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            damaged(fileName, QStringLiteral("reading it did not finish in %1 seconds").arg(allowed / 1000));
        }
        QThread::msleep(done == 0 && timer.elapsed() < 50 ? 1 : 10);
    }
    if (WIFSIGNALED(status))
        damaged(fileName, QStringLiteral("reading it stopped with signal %1").arg(WTERMSIG(status)));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        damaged(fileName, QStringLiteral("reading it failed with status %1").arg(WEXITSTATUS(status)));
}

QString ConnectionDataSource(const QString &connectionString)
{
    const QString text = connectionString;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(u'=', i);
        if (equals < 0)
            break;
        const QString key = text.mid(i, equals - i).trimmed();
        i = equals + 1;
        while (i < text.size() && text[i] == u' ')
            ++i;
        QString value;
        if (i < text.size() && (text[i] == u'"' || text[i] == u'\'')) {
            const QChar quote = text[i++];
            while (i < text.size()) {
                if (text[i] == quote) {
                    if (i + 1 < text.size() && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            const qsizetype end = text.indexOf(u';', i);
            i = end < 0 ? text.size() : end + 1;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, end < 0 ? -1 : end - i).trimmed();
            i = end < 0 ? text.size() : end + 1;
        }
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

MdbDatabase::MdbDatabase(const QString &fileName, bool tried) : m_fileName(fileName)
{
    checkFile(fileName);
    // The catalog and every table's columns, tried first; a read that goes
    // further tries itself, this opening included.
    if (!tried)
        MdbTrialRead(fileName, [&fileName] { MdbDatabase(fileName, true).ReadTableDefinitions(); });
    const QByteArray path = QFile::encodeName(fileName);
    m_handle = mdb_open(path.constData(), MDB_NOFLAGS);
    if (!m_handle)
        unrecognized(fileName);
    mdb_set_bind_size(m_handle, kMdbBindSize);
    mdb_set_date_fmt(m_handle, "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(m_handle, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(m_handle);
    if (!mdb_read_catalog(m_handle, MDB_ANY)) {
        mdb_close(m_handle);
        m_handle = nullptr;
        unrecognized(fileName);
    }
    qCDebug(lcAdo) << "opened" << fileName << "with" << m_handle->catalog->len << "catalog entries";
}

void MdbDatabase::ReadTableDefinitions() const
{
    for (guint i = 0; i < m_handle->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(m_handle->catalog, i));
        if (entry->object_type != MDB_TABLE)
            continue;
        if (MdbTableDef *table = mdb_read_table(entry)) {
            mdb_read_columns(table);
            mdb_free_tabledef(table);
        }
    }
}

MdbDatabase::~MdbDatabase()
{
    if (m_handle)
        mdb_close(m_handle);
}

// Names in mdbtools' fixed buffers are read no further than the buffer.
QString MdbObjectName(const char *name, size_t capacity)
{
    return QString::fromUtf8(name, qsizetype(qstrnlen(name, capacity)));
}

QStringList MdbDatabase::TableNames(bool systemTables) const
{
    QStringList names;
    for (guint i = 0; i < m_handle->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(m_handle->catalog, i));
        if (entry->object_type != MDB_TABLE)
            continue;
        if (mdb_is_system_table(entry) && !systemTables)
            continue;
        names << MdbObjectName(entry->object_name, sizeof entry->object_name);
    }
    return names;
}

MdbCatalogEntry *MdbDatabase::FindTable(const QString &name) const
{
    for (guint i = 0; i < m_handle->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(m_handle->catalog, i));
        if (entry->object_type == MDB_TABLE
            && MdbObjectName(entry->object_name, sizeof entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}
