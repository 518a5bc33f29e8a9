#include "tadodataset.h"

#include "codepages.h"
#include "conversions.h"
#include "eado_error.h"
#include "formatsettings.h"
#include "mdbdatabase_p.h"
#include "tadoconnection.h"

#include <QRegularExpression>

#include <mdbsql.h>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace {

// "1234.5" as mdbtools writes a number (the C library may write the locale's
// comma instead), with the process-wide decimal separator.
QString numberText(const QString &raw)
{
    QString text = raw;
    const QChar point = text.contains(u'.') ? u'.' : u',';
    const qsizetype at = text.indexOf(point);
    if (at >= 0)
        text[at] = FormatSettings.DecimalSeparator;
    return text;
}

// "%Y-%m-%d %H:%M:%S", the date format MdbDatabase sets, in the process-wide
// formats; text of another shape is passed on as it is.
QString dateText(const QString &raw)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?\\d{1,4})-(\\d\\d)-(\\d\\d) (\\d\\d):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(raw);
    TDateTime date = 0;
    TDateTime time = 0;
    if (!match.hasMatch()
        || !TryEncodeDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), date)
        || !TryEncodeTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt(), 0, time))
        return raw;
    // Before 30 December 1899 the day counts down and the time of day up.
    return DateTimeToStr(date < 0 ? date - time : date + time);
}

bool isStatementSelect(const QString &statement)
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s"), QRegularExpression::CaseInsensitiveOption);
    return select.match(statement).hasMatch();
}

// mdbtools tells why a statement failed only on standard error (its error
// field is overwritten by a general "Got no result" text), and writes stray
// lines to standard output. Both go to a temporary file while a statement
// runs (a file, not a pipe, so that a long text cannot block the writer).
class OutputCapture
{
public:
    OutputCapture()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        m_file = std::tmpfile();
        if (!m_file)
            return;
        for (int i = 0; i < 2; ++i) {
            m_saved[i] = ::dup(kStreams[i]);
            if (m_saved[i] < 0 || ::dup2(::fileno(m_file), kStreams[i]) < 0) {
                Restore();
                return;
            }
        }
    }
    ~OutputCapture()
    {
        Restore();
        if (m_file)
            std::fclose(m_file);
    }
    OutputCapture(const OutputCapture &) = delete;
    OutputCapture &operator=(const OutputCapture &) = delete;

    // What was written, at most kMaxCapture bytes; stops the capture.
    QString Finish()
    {
        Restore();
        if (!m_file)
            return {};
        // The reasons are single lines; more is not read.
        constexpr size_t kMaxCapture = 16 * 1024;
        QByteArray bytes(qsizetype(kMaxCapture), '\0');
        std::rewind(m_file);
        const size_t read = std::fread(bytes.data(), 1, kMaxCapture, m_file);
        bytes.truncate(qsizetype(read));
        return QString::fromUtf8(bytes).trimmed();
    }

private:
    static constexpr int kStreams[2] = {STDOUT_FILENO, STDERR_FILENO};

    void Restore()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int i = 0; i < 2; ++i) {
            if (m_saved[i] < 0)
                continue;
            ::dup2(m_saved[i], kStreams[i]);
            ::close(m_saved[i]);
            m_saved[i] = -1;
        }
    }

    std::FILE *m_file = nullptr;
    int m_saved[2] = {-1, -1};
};

// The first line mdbtools wrote that says why, else its error field.
QString failureReason(const QString &reported, const QString &errorField)
{
    const QStringList lines = reported.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1String("Error at Line")) || text.startsWith(QLatin1String("Got no result for"))
            || text.startsWith(QLatin1String("Could not parse")))
            continue;
        return text;
    }
    return errorField.isEmpty() ? QStringLiteral("mdbtools gave no result") : errorField;
}

} // namespace

// What an open dataset reads from: the database, the table or the
// statement's result, and the buffers mdbtools writes each row into.
struct TADODataSet::Cursor
{
    // `tried`: the read this cursor makes was tried already (MdbTrialRead).
    Cursor(const QString &fileName, bool tried) : database(fileName, tried) {}
    ~Cursor()
    {
        if (sql) {
            // The handle is the database's: mdbtools must not close it.
            sql->mdb = nullptr;
            mdb_sql_exit(sql);
        }
        if (table)
            mdb_free_tabledef(table);
    }
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;

    void OpenTable(const QString &name);
    void RunStatement(const QString &statement);
    void Bind(int index);
    bool Fetch();

    MdbDatabase database;
    MdbTableDef *table = nullptr; // owned in table mode
    MdbSQL *sql = nullptr;        // owned in statement mode
    std::vector<QString> names;
    std::vector<MdbColumn *> columns;
    std::vector<QByteArray> buffers;
    std::vector<int> lengths;
    std::vector<QByteArray> objects; // OLE values read in full
    bool hasRow = false;
    bool moved = false; // Next was called since the dataset opened
};

void TADODataSet::Cursor::OpenTable(const QString &name)
{
    MdbCatalogEntry *entry = database.FindTable(name);
    if (!entry)
        throw EADOError(QStringLiteral("The table '%1' does not exist in '%2'.").arg(name, database.FileName()));
    table = mdb_read_table(entry);
    if (!table || !mdb_read_columns(table))
        throw EADOError(QStringLiteral("The table '%1' of '%2' cannot be read.").arg(name, database.FileName()));
    const guint count = table->columns->len;
    buffers.resize(count);
    lengths.assign(count, 0);
    for (guint i = 0; i < count; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        names.push_back(MdbObjectName(column->name, sizeof column->name));
        columns.push_back(column);
        Bind(int(i));
    }
    mdb_rewind_table(table);
}

void TADODataSet::Cursor::RunStatement(const QString &statement)
{
    if (!isStatementSelect(statement))
        throw EADOError(QStringLiteral("Only SELECT statements can be run: %1").arg(statement.trimmed()));
    sql = mdb_sql_init();
    sql->mdb = database.Handle();
    const QByteArray text = statement.toUtf8();
    OutputCapture capture;
    MdbSQL *result = mdb_sql_run_query(sql, text.constData());
    const QString reported = capture.Finish();
    if (!reported.isEmpty())
        qCDebug(lcAdo).noquote() << "mdbtools:" << reported;
    if (!result || mdb_sql_has_error(sql) || !sql->cur_table)
        throw EADOError(QStringLiteral("The statement cannot be run: %1")
                            .arg(failureReason(reported, MdbObjectName(sql->error_msg, sizeof sql->error_msg))));
    MdbTableDef *source = sql->cur_table;
    const guint count = std::min(sql->num_columns, sql->columns ? sql->columns->len : 0u);
    buffers.resize(count);
    lengths.assign(count, 0);
    for (guint i = 0; i < count; ++i) {
        auto *sqlColumn = static_cast<MdbSQLColumn *>(g_ptr_array_index(sql->columns, i));
        const QString name = sqlColumn->name ? QString::fromUtf8(sqlColumn->name) : QString();
        MdbColumn *column = nullptr;
        for (guint c = 0; source->columns && c < source->columns->len; ++c) {
            auto *candidate = static_cast<MdbColumn *>(g_ptr_array_index(source->columns, c));
            if (MdbObjectName(candidate->name, sizeof candidate->name).compare(name, Qt::CaseInsensitive) == 0) {
                column = candidate;
                break;
            }
        }
        names.push_back(name);
        columns.push_back(column);
        buffers[i] = QByteArray(qsizetype(kMdbBindSize) + 1, '\0');
        mdb_sql_bind_column(sql, int(i) + 1, buffers[i].data(), &lengths[i]);
    }
}

void TADODataSet::Cursor::Bind(int index)
{
    // mdbtools writes at most kMdbBindSize bytes; one more keeps a terminator.
    buffers[size_t(index)] = QByteArray(qsizetype(kMdbBindSize) + 1, '\0');
    mdb_bind_column(table, index + 1, buffers[size_t(index)].data(), &lengths[size_t(index)]);
}

bool TADODataSet::Cursor::Fetch()
{
    std::fill(lengths.begin(), lengths.end(), 0);
    hasRow = sql ? mdb_sql_fetch_row(sql, sql->cur_table) != 0 : mdb_fetch_row(table) != 0;
    objects.assign(columns.size(), QByteArray());
    if (!hasRow)
        return false;
    for (size_t i = 0; i < columns.size(); ++i) {
        MdbColumn *column = columns[i];
        if (!column || column->col_type != MDB_OLE || lengths[i] <= 0)
            continue;
        size_t size = 0;
        void *data = mdb_ole_read_full(database.Handle(), column, &size);
        if (data) {
            objects[i] = QByteArray(static_cast<const char *>(data), qsizetype(size));
            g_free(data);
        }
    }
    return true;
}

TADODataSet::TADODataSet(QObject *parent) : TDataSet(parent) {}

TADODataSet::~TADODataSet()
{
    Close();
}

void TADODataSet::SetConnectionString(const QString &value)
{
    Close();
    m_connectionString = value;
}

void TADODataSet::SetCommandType(TCommandType value)
{
    Close();
    m_commandType = value;
}

void TADODataSet::SetCommandText(const QString &value)
{
    Close();
    m_commandText = value;
}

void TADODataSet::Open()
{
    if (m_cursor)
        return;
    const QString fileName = ConnectionDataSource(m_connectionString);
    const auto start = [this](Cursor &cursor) {
        if (m_commandType == cmdTable)
            cursor.OpenTable(m_commandText);
        else
            cursor.RunStatement(m_commandText);
    };
    // Every row is read once where a crash of mdbtools cannot reach this process.
    MdbTrialRead(fileName, [&] {
        Cursor trial(fileName, true);
        start(trial);
        while (trial.Fetch()) {
        }
    });
    auto cursor = std::make_unique<Cursor>(fileName, true);
    start(*cursor);
    cursor->Fetch();
    std::vector<std::unique_ptr<TADOField>> fields;
    for (size_t i = 0; i < cursor->names.size(); ++i) {
        const int type = cursor->columns[i] ? cursor->columns[i]->col_type : MDB_TEXT;
        fields.push_back(std::unique_ptr<TADOField>(new TADOField(*this, int(i), cursor->names[i], type)));
    }
    m_cursor = std::move(cursor);
    m_fields = std::move(fields);
}

void TADODataSet::Close()
{
    m_fields.clear();
    m_cursor.reset();
}

void TADODataSet::EnableControls()
{
    if (m_disableCount > 0)
        --m_disableCount;
}

void TADODataSet::First()
{
    if (m_cursor && !m_cursor->moved)
        return;
    Close();
    Open();
}

void TADODataSet::Next()
{
    if (m_cursor && m_cursor->hasRow) {
        m_cursor->moved = true;
        m_cursor->Fetch();
    }
}

bool TADODataSet::Eof() const
{
    return !m_cursor || !m_cursor->hasRow;
}

TADOField *TADODataSet::FindField(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

TADOField *TADODataSet::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EADOError(QStringLiteral("Field index %1 out of range").arg(index));
    return m_fields[size_t(index)].get();
}

void TADODataSet::GetFieldNames(TStringList &List) const
{
    List.Clear();
    for (const auto &field : m_fields)
        List.Add(field->FieldName());
}

bool TADODataSet::HasValue(int index) const
{
    return m_cursor && m_cursor->hasRow && m_cursor->lengths[size_t(index)] > 0;
}

QByteArray TADODataSet::Value(int index) const
{
    if (!HasValue(index))
        return {};
    const size_t i = size_t(index);
    if (m_cursor->columns[i] && m_cursor->columns[i]->col_type == MDB_OLE)
        return m_cursor->objects[i];
    const QByteArray &buffer = m_cursor->buffers[i];
    const qsizetype length = std::min<qsizetype>(m_cursor->lengths[i], qsizetype(kMdbBindSize));
    // Text values end at their terminator; binary ones at their length.
    if (m_cursor->columns[i] && m_cursor->columns[i]->col_type == MDB_BINARY)
        return QByteArray(buffer.constData(), length);
    return QByteArray(buffer.constData(), qsizetype(qstrnlen(buffer.constData(), size_t(length))));
}

bool TADOField::IsNull() const
{
    return !m_owner.HasValue(m_index);
}

bool TADOField::IsBlob() const
{
    return m_type == MDB_MEMO || m_type == MDB_OLE || m_type == MDB_BINARY;
}

QString TADOField::Text() const
{
    const QByteArray bytes = m_owner.Value(m_index);
    if (bytes.isEmpty())
        return {};
    switch (m_type) {
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return numberText(QString::fromLatin1(bytes));
    case MDB_DATETIME:
        return dateText(QString::fromLatin1(bytes));
    case MDB_BINARY:
    case MDB_OLE:
        return DecodeTextLine(bytes);
    default:
        return QString::fromUtf8(bytes);
    }
}
