#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace Firebird {
class IAttachment;
}

class TIB_Transaction;

// A connection to one Firebird database. A DatabaseName without a host
// ("/data/stock.fdb") is opened by the embedded engine in this process;
// "host:path" or "host/port:path" reaches a server.
class TIB_Connection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(QString Username READ Username WRITE SetUsername)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword)
    Q_PROPERTY(QString CharSet READ CharSet WRITE SetCharSet)
    Q_PROPERTY(bool Connected READ Connected WRITE SetConnected STORED false)

public:
    explicit TIB_Connection(QObject *parent = nullptr);
    ~TIB_Connection() override;

    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString &value);
    QString Username() const { return m_username; }
    void SetUsername(const QString &value);
    QString Password() const { return m_password; }
    void SetPassword(const QString &value);
    QString CharSet() const { return m_charSet; }
    void SetCharSet(const QString &value);

    bool Connected() const;
    void SetConnected(bool value);
    void Connect();
    // Rolls back every transaction still running on this connection and
    // closes its datasets before detaching.
    void Disconnect();

    // Creates the database file (page size 16384, default character set
    // CharSet) and stays connected to it.
    void CreateDatabase();
    // Drops the connected database; the connection is closed afterwards.
    void DropDatabase();

    // The transaction that datasets without one of their own use; owned by the connection.
    TIB_Transaction *DefaultTransaction();

    // The attachment, or null while not connected. For the data-access layer.
    Firebird::IAttachment *Attachment() const;

signals:
    // Emitted before the attachment goes away: dependents free what they hold on it.
    void AboutToDisconnect();

private:
    void CheckDisconnected(const char *what) const;
    void Attach(bool create);
    void Detach(bool quietly);

    struct Private;
    std::unique_ptr<Private> d;
    QString m_databaseName;
    QString m_username = QStringLiteral("SYSDBA");
    QString m_password;
    QString m_charSet = QStringLiteral("UTF8");
    QPointer<TIB_Transaction> m_defaultTransaction;
};
