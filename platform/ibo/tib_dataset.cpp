#include "tib_dataset.h"

#include "sqltext_p.h"
#include "tib_connection.h"
#include "tib_dataset_p.h"
#include "tib_transaction.h"

#include <algorithm>
#include <cstring>

using namespace ibo;

namespace {

// Firebird's name of RDB$DB_KEY in message metadata.
const QString DbKeyField = QStringLiteral("DB_KEY");

const char *const PrimaryKeySql =
    "SELECT TRIM(s.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS c "
    "JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = c.RDB$INDEX_NAME "
    "WHERE c.RDB$RELATION_NAME = ? AND c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
    "ORDER BY s.RDB$FIELD_POSITION";

const char *const ComputedColumnsSql =
    "SELECT TRIM(rf.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS rf "
    "JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
    "WHERE rf.RDB$RELATION_NAME = ? AND f.RDB$COMPUTED_BLR IS NOT NULL";

unsigned ValueSize(const TIB_Column::Layout &layout)
{
    return layout.type == SQL_VARYING ? layout.length + 2 : layout.length;
}

QString StripQualifier(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    QString bare = dot < 0 ? name : name.mid(dot + 1);
    bare = bare.trimmed();
    if (bare.size() >= 2 && bare.startsWith(u'"') && bare.endsWith(u'"'))
        return bare.mid(1, bare.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return bare.toUpper();
}

} // namespace

// --- row contexts ----------------------------------------------------------

Firebird::IAttachment *FreeRowContext::RowAttachment()
{
    if (!m_connection || !m_connection->Attachment())
        throw EIB_Error(QStringLiteral("Not connected to a database"));
    return m_connection->Attachment();
}

Firebird::ITransaction *FreeRowContext::RowTransaction()
{
    return m_transaction->Handle();
}

Firebird::IAttachment *TIB_DatasetPrivate::RowAttachment()
{
    TIB_Connection *c = Connection();
    c->Connect();
    return c->Attachment();
}

Firebird::ITransaction *TIB_DatasetPrivate::RowTransaction()
{
    return Transaction()->Handle();
}

void TIB_DatasetPrivate::BeforeColumnWrite(const TIB_Column &column)
{
    if (state != dssEdit && state != dssInsert)
        throw EIB_Error(QStringLiteral("Dataset is not in edit or insert state"));
    if (column.ReadOnly())
        throw EIB_Error(QStringLiteral("Column %1 is read only").arg(column.FieldName()));
}

// --- connection, transaction, state ----------------------------------------

TIB_Connection *TIB_DatasetPrivate::Connection() const
{
    TIB_Connection *c = connection ? connection.data() : (transaction ? transaction->IB_Connection() : nullptr);
    if (!c)
        throw EIB_Error(QStringLiteral("Dataset has no connection"));
    return c;
}

TIB_Transaction *TIB_DatasetPrivate::Transaction() const
{
    return transaction ? transaction.data() : Connection()->DefaultTransaction();
}

void TIB_DatasetPrivate::WatchTransaction()
{
    TIB_Transaction *t = Transaction();
    if (t != watchedTransaction) {
        if (watchedTransaction)
            QObject::disconnect(watchedTransaction, nullptr, q, nullptr);
        watchedTransaction = t;
        QObject::connect(t, &TIB_Transaction::AboutToEnd, q, [this] {
            CloseCursorQuietly();
            NotifyDataChange();
        });
    }
    TIB_Connection *c = Connection();
    if (c != watchedConnection) {
        if (watchedConnection)
            QObject::disconnect(watchedConnection, nullptr, q, nullptr);
        watchedConnection = c;
        QObject::connect(c, &TIB_Connection::AboutToDisconnect, q, [this] {
            CloseCursorQuietly();
            FreeStatementsQuietly();
            fields.reset();
            SetState(dssInactive);
            NotifyDataChange();
        });
    }
}

void TIB_DatasetPrivate::CheckActive() const
{
    if (state < dssBrowse)
        throw EIB_Error(QStringLiteral("Dataset is not open"));
}

void TIB_DatasetPrivate::CheckWritable() const
{
    if (table.isEmpty())
        throw EIB_Error(QStringLiteral("Dataset is read only: its columns do not come from one table"));
}

void TIB_DatasetPrivate::CheckBrowseMode()
{
    CheckActive();
    if (state == dssEdit || state == dssInsert)
        q->Post();
}

void TIB_DatasetPrivate::SetState(TIB_DatasetState newState)
{
    if (state == newState)
        return;
    state = newState;
    if (disableCount > 0)
        stateChangePending = true;
    else
        emit q->StateChanged();
}

void TIB_DatasetPrivate::NotifyDataChange()
{
    if (disableCount > 0)
        changePending = true;
    else
        emit q->DataChange();
}

// --- reading -----------------------------------------------------------------

QStringList TIB_DatasetPrivate::QueryNames(const char *sql, const QString &relation)
{
    ThrowStatus st;
    Firebird::IAttachment *att = RowAttachment();
    Firebird::ITransaction *tra = RowTransaction();
    Handle<Firebird::IStatement> stmt(att->prepare(&st, tra, 0, sql, 3, Firebird::IStatement::PREPARE_PREFETCH_METADATA));
    FreeRowContext context(Connection(), Transaction());
    Handle<Firebird::IMessageMetadata> inMeta(stmt->getInputMetadata(&st));
    Handle<Firebird::IMessageMetadata> outMeta(stmt->getOutputMetadata(&st));
    TIB_Row in(&context, inMeta.get(), int(inMeta->getCount(&st)));
    TIB_Row out(&context, outMeta.get(), int(outMeta->getCount(&st)));
    in.Columns(0)->SetAsString(relation);
    Handle<Firebird::IResultSet> rs(stmt->openCursor(&st, tra, inMeta.get(), in.Buffer(), outMeta.get(), 0));
    QStringList names;
    while (rs->fetchNext(&st, out.Buffer()) == Firebird::IStatus::RESULT_OK)
        names << out.Columns(0)->AsString();
    rs.Terminate([&](Firebird::IResultSet *r) { r->close(&st); });
    stmt.Terminate([&](Firebird::IStatement *s) { s->free(&st); });
    return names;
}

void TIB_DatasetPrivate::PrepareBrowse()
{
    const QString sql = q->SelectSQL().trimmed();
    if (sql.isEmpty())
        throw EIB_Error(QStringLiteral("Dataset has no SQL"));
    WatchTransaction();
    ThrowStatus st;
    Firebird::IAttachment *att = RowAttachment();
    Firebird::ITransaction *tra = RowTransaction();
    const unsigned flags = Firebird::IStatement::PREPARE_PREFETCH_METADATA;
    Handle<Firebird::IStatement> stmt(att->prepare(&st, tra, 0, sql.toUtf8().constData(), 3, flags));
    const unsigned type = stmt->getType(&st);
    if (type != isc_info_sql_stmt_select && type != isc_info_sql_stmt_select_for_upd)
        throw EIB_Error(QStringLiteral("The SQL of a dataset must be a SELECT"));
    {
        Handle<Firebird::IMessageMetadata> in(stmt->getInputMetadata(&st));
        if (in->getCount(&st) != 0)
            throw EIB_Error(QStringLiteral("The SQL of a dataset cannot have parameters"));
    }
    Handle<Firebird::IMessageMetadata> meta(stmt->getOutputMetadata(&st));
    const int visible = int(meta->getCount(&st));

    // The dataset writes to a table only when every column that reads a
    // table reads the same one.
    QString relation;
    bool oneRelation = true;
    for (int i = 0; i < visible; ++i) {
        const QString r = QString::fromUtf8(meta->getRelation(&st, unsigned(i)));
        if (r.isEmpty())
            continue;
        if (relation.isEmpty())
            relation = r;
        else if (r != relation)
            oneRelation = false;
    }
    table = oneRelation ? relation : QString();
    keyNames.clear();
    keyColumns.clear();
    dbKey = false;
    QStringList hidden;
    if (!table.isEmpty()) {
        for (const QString &link : keyLinks)
            if (!link.trimmed().isEmpty())
                keyNames << StripQualifier(link);
        if (keyNames.isEmpty())
            keyNames = QueryNames(PrimaryKeySql, table);
        if (keyNames.isEmpty()) {
            dbKey = true;
            keyNames << QStringLiteral("RDB$DB_KEY");
            hidden << QStringLiteral("RDB$DB_KEY");
        } else {
            for (const QString &name : keyNames) {
                bool found = false;
                for (int i = 0; i < visible && !found; ++i)
                    found = QString::fromUtf8(meta->getRelation(&st, unsigned(i))) == table
                        && QString::fromUtf8(meta->getField(&st, unsigned(i))) == name;
                if (!found)
                    hidden << QuoteIdentifier(name);
            }
        }
    }

    QString finalSql = sql;
    if (!hidden.isEmpty()) {
        const std::optional<QString> rewritten = AddSelectColumns(sql, hidden);
        if (!rewritten)
            throw EIB_Error(QStringLiteral("Cannot read the key of table %1 with this SQL: select its key columns").arg(table));
        finalSql = *rewritten;
        stmt.TerminateQuietly("free statement", [](Firebird::IStatement *s, QuietStatus *qs) { s->free(qs); });
        stmt.reset(att->prepare(&st, tra, 0, finalSql.toUtf8().constData(), 3, flags));
        meta.reset(stmt->getOutputMetadata(&st));
    }

    fields = std::make_unique<TIB_Row>(this, meta.get(), visible);
    fetchBuffer.assign(fields->BufferBytes().size(), 0);
    if (!table.isEmpty()) {
        const QStringList computed = QueryNames(ComputedColumnsSql, table);
        for (int i = 0; i < fields->AllColumnCount(); ++i) {
            TIB_Column *c = fields->Column(i);
            if (c->RelName() != table)
                fields->MarkReadOnly(i, false);
            else if (computed.contains(c->SQLName()))
                fields->MarkReadOnly(i, true);
            else if (i >= visible && dbKey)
                fields->MarkReadOnly(i, false);
        }
        for (const QString &name : keyNames) {
            int index = -1;
            for (int i = 0; i < fields->AllColumnCount() && index < 0; ++i) {
                TIB_Column *c = fields->Column(i);
                if (c->RelName() != table)
                    continue;
                if (dbKey ? (i >= visible && c->SQLName() == DbKeyField) : c->SQLName() == name)
                    index = i;
            }
            if (index < 0)
                throw EIB_Error(QStringLiteral("Key column %1 not found in table %2").arg(name, table));
            keyColumns.push_back(index);
        }
    }
    browseSql = finalSql;
    browse = std::move(stmt);
    qCDebug(lcIbo) << "prepared" << browseSql << "table" << table << "key" << keyNames;
}

void TIB_DatasetPrivate::OpenCursor()
{
    CloseCursorQuietly();
    ThrowStatus st;
    Firebird::ITransaction *tra = RowTransaction();
    cursor.reset(browse->openCursor(&st, tra, nullptr, nullptr, fields->Metadata(), 0));
}

void TIB_DatasetPrivate::CloseCursorQuietly()
{
    cursor.TerminateQuietly("close cursor", [](Firebird::IResultSet *r, QuietStatus *st) { r->close(st); });
}

void TIB_DatasetPrivate::FetchNext()
{
    if (!cursor) {
        eof = true;
        return;
    }
    ThrowStatus &st = status;
    if (cursor->fetchNext(&st, fetchBuffer.data()) == Firebird::IStatus::RESULT_OK) {
        fields->RestoreBuffer(fetchBuffer);
        hasRow = true;
    } else {
        eof = true;
        CloseCursorQuietly();
    }
}

void TIB_DatasetPrivate::FreeStatementsQuietly()
{
    auto freeIt = [](Handle<Firebird::IStatement> &s) {
        s.TerminateQuietly("free statement", [](Firebird::IStatement *x, QuietStatus *qs) { x->free(qs); });
    };
    for (auto &[key, w] : inserts)
        freeIt(w.statement);
    for (auto &[key, w] : updates)
        freeIt(w.statement);
    for (auto &[key, l] : locates)
        freeIt(l.statement);
    freeIt(deleteStatement.statement);
    freeIt(browse);
    inserts.clear();
    updates.clear();
    locates.clear();
    deleteStatement = WriteStatement();
}

// --- writing -----------------------------------------------------------------

void TIB_DatasetPrivate::PrepareWrite(WriteStatement &w, const QString &sql,
                                      const std::vector<std::pair<int, bool>> &params,
                                      const std::vector<int> &returning)
{
    ThrowStatus st;
    Firebird::IAttachment *att = RowAttachment();
    Firebird::ITransaction *tra = RowTransaction();
    w.statement.reset(att->prepare(&st, tra, 0, sql.toUtf8().constData(), 3, 0));

    // Parameter and returned messages are laid out like the row's columns,
    // so values move by plain copies.
    auto build = [&](const std::vector<int> &columns, Handle<Firebird::IMessageMetadata> &meta) {
        Handle<Firebird::IMetadataBuilder> builder(Master()->getMetadataBuilder(&st, unsigned(columns.size())));
        for (size_t i = 0; i < columns.size(); ++i) {
            const TIB_Column::Layout &l = fields->Column(columns[i])->MessageLayout();
            builder->setType(&st, unsigned(i), l.type | 1);
            builder->setSubType(&st, unsigned(i), l.subType);
            builder->setLength(&st, unsigned(i), l.length);
            builder->setScale(&st, unsigned(i), l.scale);
            builder->setCharSet(&st, unsigned(i), l.charSet);
        }
        meta.reset(builder->getMetadata(&st));
    };
    auto copies = [&](const std::vector<int> &columns, const std::vector<bool> &saved, Firebird::IMessageMetadata *meta,
                      bool intoRow) {
        std::vector<ValueCopy> list;
        for (size_t i = 0; i < columns.size(); ++i) {
            const TIB_Column::Layout &l = fields->Column(columns[i])->MessageLayout();
            const unsigned off = meta->getOffset(&st, unsigned(i));
            const unsigned nul = meta->getNullOffset(&st, unsigned(i));
            if (intoRow)
                list.push_back({off, nul, l.offset, l.nullOffset, ValueSize(l), false});
            else
                list.push_back({l.offset, l.nullOffset, off, nul, ValueSize(l), saved[i]});
        }
        return list;
    };

    std::vector<int> inColumns;
    std::vector<bool> fromSaved;
    for (const auto &[column, old] : params) {
        inColumns.push_back(column);
        fromSaved.push_back(old);
    }
    if (!inColumns.empty()) {
        build(inColumns, w.input);
        w.inBuffer.assign(w.input->getMessageLength(&st), 0);
        w.inCopies = copies(inColumns, fromSaved, w.input.get(), false);
    }
    if (!returning.empty()) {
        build(returning, w.output);
        w.outBuffer.assign(w.output->getMessageLength(&st), 0);
        w.outCopies = copies(returning, {}, w.output.get(), true);
    }
}

void TIB_DatasetPrivate::Execute(WriteStatement &w)
{
    const unsigned char *current = fields->BufferBytes().data();
    for (const ValueCopy &c : w.inCopies) {
        const unsigned char *from = c.fromSaved ? saved.data() : current;
        std::memcpy(w.inBuffer.data() + c.toOffset, from + c.fromOffset, c.size);
        std::memcpy(w.inBuffer.data() + c.toNull, from + c.fromNull, sizeof(int16_t));
    }
    ThrowStatus &st = status;
    Firebird::ITransaction *tra = RowTransaction();
    w.statement->execute(&st, tra, w.input.get(), w.inBuffer.empty() ? nullptr : w.inBuffer.data(),
                         w.output.get(), w.outBuffer.empty() ? nullptr : w.outBuffer.data());
    if (w.checkAffected && w.statement->getAffectedRecords(&st) == 0)
        throw EIB_Error(QStringLiteral("The row was not found in table %1: another transaction deleted it or changed its key").arg(table));
    unsigned char *row = fields->Buffer();
    for (const ValueCopy &c : w.outCopies) {
        std::memcpy(row + c.toOffset, w.outBuffer.data() + c.fromOffset, c.size);
        std::memcpy(row + c.toNull, w.outBuffer.data() + c.fromNull, sizeof(int16_t));
    }
}

QString TIB_DatasetPrivate::KeyCondition(std::vector<std::pair<int, bool>> &params, bool fromSaved) const
{
    QStringList conditions;
    for (size_t i = 0; i < keyColumns.size(); ++i) {
        const QString name = dbKey ? QStringLiteral("RDB$DB_KEY") : QuoteIdentifier(keyNames[int(i)]);
        conditions << name + QStringLiteral(" = ?");
        params.emplace_back(keyColumns[i], fromSaved);
    }
    return conditions.join(QStringLiteral(" AND "));
}

// The columns a statement writes are the columns set since the row was
// loaded, so defaults and identities apply to the rest; one statement is
// prepared per set of columns and reused.
WriteStatement &TIB_DatasetPrivate::InsertStatement()
{
    mask.fill('0', fields->AllColumnCount());
    for (int i = 0; i < fields->ColumnCount(); ++i)
        if (fields->Column(i)->IsModified())
            mask[i] = '1';
    auto it = inserts.find(mask);
    if (it != inserts.end())
        return it->second;

    std::vector<int> set;
    for (int i = 0; i < fields->ColumnCount(); ++i)
        if (mask[i] == '1')
            set.push_back(i);
    QStringList names, marks;
    std::vector<std::pair<int, bool>> params;
    for (int i : set) {
        names << QuoteIdentifier(fields->Column(i)->SQLName());
        marks << QStringLiteral("?");
        params.emplace_back(i, false);
    }
    QString sql = QStringLiteral("INSERT INTO %1 ").arg(QuoteIdentifier(table));
    sql += set.empty() ? QStringLiteral("DEFAULT VALUES")
                       : QStringLiteral("(%1) VALUES (%2)").arg(names.join(u','), marks.join(u','));
    // Keys the row does not carry yet (RDB$DB_KEY, generated keys) come back from the server.
    std::vector<int> returning;
    QStringList returned;
    for (size_t k = 0; k < keyColumns.size(); ++k) {
        const int column = keyColumns[k];
        if (mask[column] == '1')
            continue;
        returning.push_back(column);
        returned << (dbKey ? QStringLiteral("RDB$DB_KEY") : QuoteIdentifier(keyNames[int(k)]));
    }
    if (!returned.isEmpty())
        sql += QStringLiteral(" RETURNING ") + returned.join(u',');
    WriteStatement &w = inserts[mask];
    try {
        PrepareWrite(w, sql, params, returning);
    } catch (...) {
        inserts.erase(mask);
        throw;
    }
    return w;
}

WriteStatement &TIB_DatasetPrivate::UpdateStatement()
{
    mask.fill('0', fields->AllColumnCount());
    for (int i = 0; i < fields->ColumnCount(); ++i)
        if (fields->Column(i)->IsModified())
            mask[i] = '1';
    auto it = updates.find(mask);
    if (it != updates.end())
        return it->second;

    QStringList sets;
    std::vector<std::pair<int, bool>> params;
    for (int i = 0; i < fields->ColumnCount(); ++i)
        if (mask[i] == '1') {
            sets << QuoteIdentifier(fields->Column(i)->SQLName()) + QStringLiteral(" = ?");
            params.emplace_back(i, false);
        }
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(QuoteIdentifier(table), sets.join(QStringLiteral(", ")), KeyCondition(params, true));
    WriteStatement &w = updates[mask];
    w.checkAffected = true;
    try {
        PrepareWrite(w, sql, params, {});
    } catch (...) {
        updates.erase(mask);
        throw;
    }
    return w;
}

WriteStatement &TIB_DatasetPrivate::DeleteStatement()
{
    if (!deleteStatement.statement) {
        std::vector<std::pair<int, bool>> params;
        const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(QuoteIdentifier(table), KeyCondition(params, false));
        deleteStatement.checkAffected = true;
        PrepareWrite(deleteStatement, sql, params, {});
    }
    return deleteStatement;
}

void TIB_DatasetPrivate::BeginNewRow()
{
    CheckBrowseMode();
    CheckWritable();
    saved = fields->BufferBytes();
    fields->ClearValues();
    SetState(dssInsert);
}

// --- locating ----------------------------------------------------------------

LocateStatement &TIB_DatasetPrivate::LocateFor(const std::vector<int> &columns, const std::vector<bool> &nullValues,
                                               TIB_LocateOptions options, bool upper)
{
    QByteArray key = QByteArray::number(int(options)) + (upper ? "U" : "E");
    for (size_t i = 0; i < columns.size(); ++i)
        key += ':' + QByteArray::number(columns[i]) + (nullValues[i] ? "N" : "");
    auto it = locates.find(key);
    if (it != locates.end())
        return it->second;

    // The search runs over the dataset's own query as a derived table, so it
    // finds only rows the dataset shows; Firebird moves the conditions into
    // the query and uses the table's indexes.
    QStringList names;
    for (int i = 0; i < fields->AllColumnCount(); ++i)
        names << QStringLiteral("\"C%1\"").arg(i);
    auto col = [](int i) { return QStringLiteral("\"C%1\"").arg(i); };
    LocateStatement l;
    QString where;
    QString order;
    const bool partial = options.testFlag(lopPartialKey);
    if (options.testFlag(lopFindNearest)) {
        // The first row at or after the values in key order.
        QStringList alternatives;
        QStringList orderBy;
        for (size_t n = 0; n < columns.size(); ++n) {
            QStringList terms;
            for (size_t i = 0; i < n; ++i) {
                terms << col(columns[i]) + QStringLiteral(" = ?");
                l.paramValue.push_back(int(i));
            }
            terms << col(columns[n]) + (n + 1 == columns.size() ? QStringLiteral(" >= ?") : QStringLiteral(" > ?"));
            l.paramValue.push_back(int(n));
            alternatives << u'(' + terms.join(QStringLiteral(" AND ")) + u')';
            orderBy << col(columns[n]);
        }
        where = alternatives.join(QStringLiteral(" OR "));
        order = QStringLiteral(" ORDER BY ") + orderBy.join(u',');
        l.paramUpper.assign(l.paramValue.size(), false);
    } else {
        QStringList terms;
        for (size_t i = 0; i < columns.size(); ++i) {
            const TIB_Column *c = fields->Column(columns[i]);
            if (nullValues[i]) {
                terms << col(columns[i]) + QStringLiteral(" IS NULL");
                continue;
            }
            const bool text = c->IsText() || c->IsTextBlob();
            const bool ci = upper && text;
            const QString lhs = ci ? QStringLiteral("UPPER(%1)").arg(col(columns[i])) : col(columns[i]);
            terms << lhs + (partial && text ? QStringLiteral(" STARTING WITH ?") : QStringLiteral(" = ?"));
            l.paramValue.push_back(int(i));
            l.paramUpper.push_back(ci);
        }
        where = terms.join(QStringLiteral(" AND "));
    }
    const QString sql = QStringLiteral("SELECT * FROM (%1) \"IBO$LOCATE\" (%2) WHERE %3%4 ROWS 1")
                            .arg(browseSql, names.join(u','), where, order);
    ThrowStatus st;
    l.statement.reset(RowAttachment()->prepare(&st, RowTransaction(), 0, sql.toUtf8().constData(), 3,
                                               Firebird::IStatement::PREPARE_PREFETCH_METADATA));
    Handle<Firebird::IMessageMetadata> in(l.statement->getInputMetadata(&st));
    l.params = std::make_unique<TIB_Row>(&freeContext, in.get(), int(in->getCount(&st)));
    return locates.emplace(key, std::move(l)).first->second;
}

bool TIB_DatasetPrivate::RunLocate(LocateStatement &l, const QVariantList &values)
{
    freeContext = FreeRowContext(Connection(), Transaction());
    l.params->ClearValues();
    for (size_t p = 0; p < l.paramValue.size(); ++p) {
        const QVariant &v = values[l.paramValue[p]];
        TIB_Column *param = l.params->Column(int(p));
        if (l.paramUpper[p])
            param->SetAsString(v.toString().toUpper());
        else
            param->SetAsVariant(v);
    }
    ThrowStatus &st = status;
    Firebird::ITransaction *tra = RowTransaction();
    Handle<Firebird::IResultSet> rs(l.statement->openCursor(&st, tra, l.params->Metadata(), l.params->Buffer(),
                                                            fields->Metadata(), 0));
    const bool found = rs->fetchNext(&st, fetchBuffer.data()) == Firebird::IStatus::RESULT_OK;
    rs.Terminate([&](Firebird::IResultSet *r) { r->close(&st); });
    if (found) {
        fields->RestoreBuffer(fetchBuffer);
        hasRow = true;
        eof = false;
        bof = false;
    }
    return found;
}

bool TIB_DatasetPrivate::Locate(const QString &fieldNames, const QVariant &values, TIB_LocateOptions options)
{
    CheckBrowseMode();
    const QStringList names = fieldNames.split(u';');
    std::vector<int> columns;
    for (const QString &name : names) {
        TIB_Column *c = fields->FindColumn(name.trimmed());
        if (!c)
            throw EIB_Error(QStringLiteral("Column %1 not found").arg(name.trimmed()));
        if (c->Kind() == TIB_ColumnKind::Blob || c->Kind() == TIB_ColumnKind::Other)
            throw EIB_Error(QStringLiteral("Cannot locate by column %1").arg(c->FieldName()));
        columns.push_back(c->Index());
    }
    QVariantList list;
    if (columns.size() == 1)
        list << ((values.typeId() == QMetaType::QVariantList || values.typeId() == QMetaType::QStringList)
                         && values.toList().size() == 1
                     ? values.toList().first()
                     : values);
    else if (values.typeId() == QMetaType::QVariantList || values.typeId() == QMetaType::QStringList)
        list = values.toList();
    if (list.size() != qsizetype(columns.size()))
        throw EIB_Error(QStringLiteral("Locate needs %1 values for %2").arg(columns.size()).arg(fieldNames));
    std::vector<bool> nulls;
    bool anyText = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        nulls.push_back(!list[int(i)].isValid() || list[int(i)].isNull());
        const TIB_Column *c = fields->Column(columns[i]);
        anyText = anyText || (!nulls.back() && (c->IsText() || c->IsTextBlob()));
    }
    if (options.testFlag(lopFindNearest) && std::find(nulls.begin(), nulls.end(), true) != nulls.end())
        throw EIB_Error(QStringLiteral("Locate to the nearest row needs values for every field"));
    const bool ci = options.testFlag(lopCaseInsensitive) && anyText && !options.testFlag(lopFindNearest);
    // An exact match first: it uses the index; letter case is ignored only
    // when that finds nothing.
    if (!ci || !options.testFlag(lopPartialKey)) {
        if (RunLocate(LocateFor(columns, nulls, options, false), list))
            return true;
        if (!ci)
            return false;
    }
    return RunLocate(LocateFor(columns, nulls, options, true), list);
}

// --- TIB_Dataset ---------------------------------------------------------------

TIB_Dataset::TIB_Dataset(QObject *parent) : TDataSet(parent), d(std::make_unique<TIB_DatasetPrivate>(this)) {}

TIB_Dataset::~TIB_Dataset()
{
    d->CloseCursorQuietly();
    d->FreeStatementsQuietly();
}

TIB_Connection *TIB_Dataset::IB_Connection() const
{
    return d->connection;
}

void TIB_Dataset::SetIB_Connection(TIB_Connection *connection)
{
    if (connection == d->connection)
        return;
    Unprepare();
    d->connection = connection;
}

TIB_Transaction *TIB_Dataset::IB_Transaction() const
{
    return d->transaction;
}

void TIB_Dataset::SetIB_Transaction(TIB_Transaction *transaction)
{
    if (transaction == d->transaction)
        return;
    Unprepare();
    d->transaction = transaction;
}

QStringList TIB_Dataset::KeyLinks() const
{
    return d->keyLinks;
}

void TIB_Dataset::SetKeyLinks(const QStringList &value)
{
    if (value == d->keyLinks)
        return;
    Unprepare();
    d->keyLinks = value;
}

TIB_DatasetState TIB_Dataset::State() const
{
    return d->state;
}

bool TIB_Dataset::Prepared() const
{
    return d->state != dssInactive;
}

bool TIB_Dataset::Active() const
{
    return d->state >= dssBrowse;
}

void TIB_Dataset::SetActive(bool value)
{
    if (value)
        Open();
    else
        Close();
}

void TIB_Dataset::Prepare()
{
    if (Prepared())
        return;
    d->PrepareBrowse();
    d->SetState(dssPrepared);
}

void TIB_Dataset::Unprepare()
{
    if (!Prepared())
        return;
    Close();
    d->FreeStatementsQuietly();
    d->fields.reset();
    d->SetState(dssInactive);
}

void TIB_Dataset::SQLChanged()
{
    Unprepare();
}

void TIB_Dataset::Open()
{
    if (Active())
        return;
    Prepare();
    d->SetState(dssBrowse);
    try {
        First();
    } catch (...) {
        d->SetState(dssPrepared);
        throw;
    }
    d->NotifyDataChange();
}

void TIB_Dataset::Close()
{
    if (!Active())
        return;
    Cancel();
    d->CloseCursorQuietly();
    d->fields->ClearValues();
    d->hasRow = false;
    d->eof = d->bof = true;
    d->SetState(dssPrepared);
    d->NotifyDataChange();
}

void TIB_Dataset::First()
{
    d->CheckBrowseMode();
    d->OpenCursor();
    d->fields->ClearValues();
    d->hasRow = false;
    d->eof = false;
    d->bof = true;
    d->FetchNext();
}

void TIB_Dataset::Next()
{
    d->CheckBrowseMode();
    if (d->eof)
        return;
    d->bof = false;
    d->FetchNext();
}

bool TIB_Dataset::Eof() const
{
    return d->eof;
}

bool TIB_Dataset::Bof() const
{
    return d->bof;
}

TIB_Row *TIB_Dataset::Fields() const
{
    if (!d->fields)
        throw EIB_Error(QStringLiteral("Dataset is not prepared"));
    return d->fields.get();
}

int TIB_Dataset::FieldCount() const
{
    return d->fields ? d->fields->ColumnCount() : 0;
}

TIB_Column *TIB_Dataset::FindField(const QString &name) const
{
    return d->fields ? d->fields->FindColumn(name) : nullptr;
}

TIB_Column *TIB_Dataset::FieldByName(const QString &name) const
{
    return Fields()->ByName(name);
}

void TIB_Dataset::Append()
{
    d->BeginNewRow();
}

void TIB_Dataset::Insert()
{
    // Rows have no client-side order: an inserted row is written like an appended one.
    d->BeginNewRow();
}

void TIB_Dataset::Edit()
{
    d->CheckActive();
    if (d->state == dssEdit)
        return;
    d->CheckBrowseMode();
    d->CheckWritable();
    if (!d->hasRow)
        throw EIB_Error(QStringLiteral("Dataset has no current row to edit"));
    d->saved = d->fields->BufferBytes();
    d->fields->ClearModified();
    d->SetState(dssEdit);
}

void TIB_Dataset::Delete()
{
    d->CheckActive();
    if (d->state == dssInsert || d->state == dssEdit)
        Cancel();
    d->CheckWritable();
    if (!d->hasRow)
        throw EIB_Error(QStringLiteral("Dataset has no current row to delete"));
    d->Execute(d->DeleteStatement());
    d->hasRow = false;
    d->fields->ClearValues();
    d->FetchNext();
    d->NotifyDataChange();
}

void TIB_Dataset::Post()
{
    if (d->state != dssEdit && d->state != dssInsert)
        throw EIB_Error(QStringLiteral("Dataset is not in edit or insert state"));
    bool modified = false;
    for (int i = 0; i < d->fields->ColumnCount() && !modified; ++i)
        modified = d->fields->Column(i)->IsModified();
    if (d->state == dssInsert || modified) {
        // Blobs written by a failed statement are simply never referenced.
        d->fields->FlushBlobs();
        d->Execute(d->state == dssInsert ? d->InsertStatement() : d->UpdateStatement());
    }
    d->fields->ClearModified();
    d->hasRow = true;
    d->SetState(dssBrowse);
    d->NotifyDataChange();
}

void TIB_Dataset::Cancel()
{
    if (d->state != dssEdit && d->state != dssInsert)
        return;
    d->fields->RestoreBuffer(d->saved);
    d->SetState(dssBrowse);
}

void TIB_Dataset::DisableControls()
{
    ++d->disableCount;
}

void TIB_Dataset::EnableControls()
{
    if (d->disableCount == 0)
        return;
    if (--d->disableCount > 0)
        return;
    if (d->stateChangePending) {
        d->stateChangePending = false;
        emit StateChanged();
    }
    if (d->changePending) {
        d->changePending = false;
        emit DataChange();
    }
}

bool TIB_Dataset::ControlsDisabled() const
{
    return d->disableCount > 0;
}

QString TIB_Dataset::TableName() const
{
    return d->table;
}

QStringList TIB_Dataset::KeyFieldNames() const
{
    return d->keyNames;
}

bool TIB_Dataset::LocateRow(const QString &fieldNames, const QVariant &values, TIB_LocateOptions options)
{
    return d->Locate(fieldNames, values, options);
}
