#include "mdbdatabase_p.h"
#include "tadoconnection.h"

#include "eado_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace

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

MdbDatabase::MdbDatabase(const QString &fileName) : m_fileName(fileName)
{
    checkFile(fileName);
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
