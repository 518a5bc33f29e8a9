#include "tib_connection.h"

#include "fbapi_p.h"
#include "tib_transaction.h"

#include <QStringList>

using namespace ibo;

namespace {

// Database page size for new databases: large pages keep index depth low for
// the wide import tables.
constexpr int NewDatabasePageSize = 16384;

} // namespace

struct TIB_Connection::Private
{
    Handle<Firebird::IAttachment> attachment;
};

TIB_Connection::TIB_Connection(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

TIB_Connection::~TIB_Connection()
{
    Detach(true);
}

void TIB_Connection::CheckDisconnected(const char *what) const
{
    if (Connected())
        throw EIB_Error(QStringLiteral("Cannot change %1 while connected").arg(QLatin1String(what)));
}

void TIB_Connection::SetDatabaseName(const QString &value)
{
    CheckDisconnected("DatabaseName");
    m_databaseName = value;
}

void TIB_Connection::SetUsername(const QString &value)
{
    CheckDisconnected("Username");
    m_username = value;
}

void TIB_Connection::SetPassword(const QString &value)
{
    CheckDisconnected("Password");
    m_password = value;
}

void TIB_Connection::SetCharSet(const QString &value)
{
    CheckDisconnected("CharSet");
    m_charSet = value;
}

bool TIB_Connection::Connected() const
{
    return bool(d->attachment);
}

void TIB_Connection::SetConnected(bool value)
{
    if (value)
        Connect();
    else
        Disconnect();
}

void TIB_Connection::Connect()
{
    if (!Connected())
        Attach(false);
}

void TIB_Connection::Disconnect()
{
    Detach(false);
}

void TIB_Connection::CreateDatabase()
{
    if (Connected())
        throw EIB_Error(QStringLiteral("Cannot create a database while connected"));
    Attach(true);
}

void TIB_Connection::DropDatabase()
{
    if (!Connected())
        throw EIB_Error(QStringLiteral("Not connected to a database"));
    emit AboutToDisconnect();
    ThrowStatus st;
    d->attachment.Terminate([&](Firebird::IAttachment *a) { a->dropDatabase(&st); });
}

TIB_Transaction *TIB_Connection::DefaultTransaction()
{
    if (!m_defaultTransaction) {
        m_defaultTransaction = new TIB_Transaction(this);
        m_defaultTransaction->SetIB_Connection(this);
    }
    return m_defaultTransaction;
}

Firebird::IAttachment *TIB_Connection::Attachment() const
{
    return d->attachment.get();
}

void TIB_Connection::Attach(bool create)
{
    if (m_databaseName.isEmpty())
        throw EIB_Error(QStringLiteral("DatabaseName is not set"));
    // Columns decode text as UTF-8, so only character sets that deliver it are accepted.
    static const QStringList textCharSets{QStringLiteral("UTF8"), QStringLiteral("UNICODE_FSS"), QStringLiteral("NONE")};
    if (!m_charSet.isEmpty() && !textCharSets.contains(m_charSet.toUpper()))
        throw EIB_Error(QStringLiteral("CharSet %1 is not supported; use UTF8").arg(m_charSet));
    ThrowStatus st;
    Firebird::IXpbBuilder *dpb = Util()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0);
    struct Disposer
    {
        Firebird::IXpbBuilder *b;
        ~Disposer() { b->dispose(); }
    } disposer{dpb};
    const QByteArray user = m_username.toUtf8();
    const QByteArray password = m_password.toUtf8();
    const QByteArray charSet = m_charSet.toUtf8();
    if (!user.isEmpty())
        dpb->insertString(&st, isc_dpb_user_name, user.constData());
    if (!password.isEmpty())
        dpb->insertString(&st, isc_dpb_password, password.constData());
    if (!charSet.isEmpty())
        dpb->insertString(&st, isc_dpb_lc_ctype, charSet.constData());
    if (create) {
        dpb->insertInt(&st, isc_dpb_page_size, NewDatabasePageSize);
        dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
        if (!charSet.isEmpty())
            dpb->insertString(&st, isc_dpb_set_db_charset, charSet.constData());
    }
    const QByteArray path = m_databaseName.toUtf8();
    Handle<Firebird::IProvider> provider(Master()->getDispatcher());
    Firebird::IAttachment *attachment = create
        ? provider->createDatabase(&st, path.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st))
        : provider->attachDatabase(&st, path.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    d->attachment.reset(attachment);
    qCDebug(lcIbo) << (create ? "created" : "attached") << m_databaseName;
}

void TIB_Connection::Detach(bool quietly)
{
    if (!Connected())
        return;
    emit AboutToDisconnect();
    if (quietly) {
        d->attachment.TerminateQuietly("detach", [](Firebird::IAttachment *a, QuietStatus *st) { a->detach(st); });
        return;
    }
    ThrowStatus st;
    d->attachment.Terminate([&](Firebird::IAttachment *a) { a->detach(&st); });
}
