#pragma once

#include "fbapi_p.h"
#include "tib_dataset.h"
#include "tib_row.h"

#include <QByteArray>

#include <map>
#include <vector>

// A row context for parameter and look-up messages: always writable, blobs in
// the given transaction.
class FreeRowContext : public TIB_RowContext
{
public:
    FreeRowContext(TIB_Connection *connection, TIB_Transaction *transaction)
        : m_connection(connection), m_transaction(transaction) {}
    Firebird::IAttachment *RowAttachment() override;
    Firebird::ITransaction *RowTransaction() override;
    void BeforeColumnWrite(const TIB_Column &) override {}

private:
    TIB_Connection *m_connection;
    TIB_Transaction *m_transaction;
};

// Copies one value with its null flag from a row message into a parameter
// message of the same type.
struct ValueCopy
{
    unsigned fromOffset, fromNull, toOffset, toNull, size;
    bool fromSaved; // from the row as it was loaded (old key values), not as edited
};

// One prepared INSERT, UPDATE or DELETE with its parameter message and, for
// INSERT ... RETURNING, the message that carries the returned key back.
struct WriteStatement
{
    ibo::Handle<Firebird::IStatement> statement;
    ibo::Handle<Firebird::IMessageMetadata> input;
    std::vector<unsigned char> inBuffer;
    std::vector<ValueCopy> inCopies;
    ibo::Handle<Firebird::IMessageMetadata> output;
    std::vector<unsigned char> outBuffer;
    std::vector<ValueCopy> outCopies; // from the output message into the row
    bool checkAffected = false;
};

// One prepared locate SELECT: its parameters are filled through a row of
// columns, each taking the value of one locate field.
struct LocateStatement
{
    ibo::Handle<Firebird::IStatement> statement;
    std::unique_ptr<TIB_Row> params;
    std::vector<int> paramValue;  // value index per parameter
    std::vector<bool> paramUpper; // the value is compared upper-cased
};

struct TIB_DatasetPrivate : public TIB_RowContext
{
    explicit TIB_DatasetPrivate(TIB_Dataset *q) : q(q), freeContext(nullptr, nullptr) {}

    Firebird::IAttachment *RowAttachment() override;
    Firebird::ITransaction *RowTransaction() override;
    void BeforeColumnWrite(const TIB_Column &column) override;

    TIB_Connection *Connection() const;
    TIB_Transaction *Transaction() const;
    void WatchTransaction();
    void CheckActive() const;
    void CheckWritable() const;
    void CheckBrowseMode();
    void SetState(TIB_DatasetState newState);
    void NotifyDataChange();

    void PrepareBrowse();
    QStringList QueryNames(const char *sql, const QString &relation);
    void OpenCursor();
    void CloseCursorQuietly();
    void FetchNext();
    void FreeStatementsQuietly();

    WriteStatement &InsertStatement();
    WriteStatement &UpdateStatement();
    WriteStatement &DeleteStatement();
    void PrepareWrite(WriteStatement &w, const QString &sql, const std::vector<std::pair<int, bool>> &params,
                      const std::vector<int> &returning);
    void Execute(WriteStatement &w);
    QString KeyCondition(std::vector<std::pair<int, bool>> &params, bool fromSaved) const;
    void BeginNewRow();

    bool Locate(const QString &fieldNames, const QVariant &values, TIB_LocateOptions options);
    LocateStatement &LocateFor(const std::vector<int> &columns, const std::vector<bool> &nullValues,
                               TIB_LocateOptions options, bool upper);
    bool RunLocate(LocateStatement &l, const QVariantList &values);

    TIB_Dataset *q;
    QPointer<TIB_Connection> connection;
    QPointer<TIB_Transaction> transaction;
    QPointer<TIB_Transaction> watchedTransaction;
    QPointer<TIB_Connection> watchedConnection;
    QStringList keyLinks;
    TIB_DatasetState state = dssInactive;
    int disableCount = 0;
    bool changePending = false;
    bool stateChangePending = false;

    // Reused by the calls made for every row.
    ibo::ThrowStatus status;
    QByteArray mask;

    QString browseSql;
    ibo::Handle<Firebird::IStatement> browse;
    ibo::Handle<Firebird::IResultSet> cursor;
    std::unique_ptr<TIB_Row> fields;
    std::vector<unsigned char> saved; // the current row before Append/Insert/Edit
    std::vector<unsigned char> fetchBuffer;
    bool eof = true;
    bool bof = true;
    bool hasRow = false;

    QString table;
    std::vector<int> keyColumns; // row column indexes of the key, hidden ones included
    QStringList keyNames;
    bool dbKey = false;

    std::map<QByteArray, WriteStatement> inserts, updates;
    WriteStatement deleteStatement;
    std::map<QByteArray, LocateStatement> locates;
    FreeRowContext freeContext;
};
