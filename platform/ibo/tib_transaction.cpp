#include "tib_transaction.h"

#include "fbapi_p.h"
#include "tib_connection.h"

using namespace ibo;

struct TIB_Transaction::Private
{
    ibo::Handle<Firebird::ITransaction> transaction;
};

TIB_Transaction::TIB_Transaction(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

TIB_Transaction::~TIB_Transaction()
{
    // Ended is not emitted here: nobody may start this transaction again.
    EndQuietly(false);
}

void TIB_Transaction::SetIB_Connection(TIB_Connection *connection)
{
    if (connection == m_connection)
        return;
    if (InTransaction())
        throw EIB_Error(QStringLiteral("Cannot change the connection of a running transaction"));
    if (m_connection)
        disconnect(m_connection, nullptr, this, nullptr);
    m_connection = connection;
    if (m_connection)
        connect(m_connection, &TIB_Connection::AboutToDisconnect, this, [this] { EndQuietly(true); });
}

bool TIB_Transaction::InTransaction() const
{
    return bool(d->transaction);
}

void TIB_Transaction::StartTransaction()
{
    if (InTransaction())
        throw EIB_Error(QStringLiteral("Transaction is already active"));
    if (!m_connection)
        throw EIB_Error(QStringLiteral("Transaction has no connection"));
    m_connection->Connect();
    ThrowStatus st;
    Firebird::IXpbBuilder *tpb = Util()->getXpbBuilder(&st, Firebird::IXpbBuilder::TPB, nullptr, 0);
    struct Disposer
    {
        Firebird::IXpbBuilder *b;
        ~Disposer() { b->dispose(); }
    } disposer{tpb};
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    tpb->insertTag(&st, isc_tpb_write);
    d->transaction.reset(m_connection->Attachment()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st)));
}

Firebird::ITransaction *TIB_Transaction::Handle()
{
    if (!InTransaction())
        StartTransaction();
    return d->transaction.get();
}

void TIB_Transaction::Commit()
{
    if (!InTransaction())
        throw EIB_Error(QStringLiteral("Transaction is not active"));
    emit AboutToEnd();
    ThrowStatus st;
    d->transaction.Terminate([&](Firebird::ITransaction *t) { t->commit(&st); });
    emit Ended();
}

void TIB_Transaction::CommitRetaining()
{
    if (!InTransaction())
        throw EIB_Error(QStringLiteral("Transaction is not active"));
    ThrowStatus st;
    d->transaction->commitRetaining(&st);
    emit Ended();
}

void TIB_Transaction::Rollback()
{
    if (!InTransaction())
        throw EIB_Error(QStringLiteral("Transaction is not active"));
    emit AboutToEnd();
    ThrowStatus st;
    d->transaction.Terminate([&](Firebird::ITransaction *t) { t->rollback(&st); });
    emit Ended();
}

void TIB_Transaction::RollbackRetaining()
{
    if (!InTransaction())
        throw EIB_Error(QStringLiteral("Transaction is not active"));
    ThrowStatus st;
    d->transaction->rollbackRetaining(&st);
    emit Ended();
}

void TIB_Transaction::EndQuietly(bool notifyEnded)
{
    if (!InTransaction())
        return;
    emit AboutToEnd();
    d->transaction.TerminateQuietly("rollback", [](Firebird::ITransaction *t, QuietStatus *st) { t->rollback(st); });
    if (notifyEnded)
        emit Ended();
}

void TIB_Transaction::ExecuteImmediate(const QString &sql)
{
    Firebird::ITransaction *transaction = Handle();
    ThrowStatus st;
    m_connection->Attachment()->execute(&st, transaction, 0, sql.toUtf8().constData(), 3,
                                        nullptr, nullptr, nullptr, nullptr);
}
