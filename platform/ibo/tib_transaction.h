#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace Firebird {
class ITransaction;
}

#include "tib_connection.h"

// A transaction on one connection: read committed, record versions, no wait
// on lock conflicts. Datasets start it on demand; only the application ends
// it. Destroying a transaction that is still running rolls it back.
class TIB_Transaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TIB_Connection *IB_Connection READ IB_Connection WRITE SetIB_Connection)
    Q_PROPERTY(bool InTransaction READ InTransaction STORED false)

public:
    explicit TIB_Transaction(QObject *parent = nullptr);
    ~TIB_Transaction() override;

    TIB_Connection *IB_Connection() const { return m_connection; }
    void SetIB_Connection(TIB_Connection *connection);

    bool InTransaction() const;
    void StartTransaction();
    void Commit();
    void CommitRetaining();
    void Rollback();
    void RollbackRetaining();

    // Runs one statement without parameters or result (DDL, bulk DML),
    // starting the transaction when needed.
    void ExecuteImmediate(const QString &sql);

    // Starts the transaction when it is not running and returns it. For the data-access layer.
    Firebird::ITransaction *Handle();

signals:
    // Emitted before a commit or rollback ends the transaction: open cursors
    // close now, because their rows end with it.
    void AboutToEnd();
    // Emitted after the transaction ended or retained its context.
    void Ended();

private:
    // Rolls back on a clean-up path (destruction, disconnection); never throws.
    void EndQuietly(bool notifyEnded);

    struct Private;
    std::unique_ptr<Private> d;
    QPointer<TIB_Connection> m_connection;
};
