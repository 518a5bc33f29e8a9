#pragma once

// A throwaway embedded Firebird database in a temporary folder, for tests
// that need a real destination table.

#include "tib_connection.h"
#include "tib_transaction.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class TIB_TestDatabase
{
public:
    TIB_TestDatabase()
    {
        m_connection.SetDatabaseName(m_dir.filePath(QStringLiteral("test.fdb")));
        m_connection.CreateDatabase();
    }

    ~TIB_TestDatabase()
    {
        try {
            m_connection.Connect();
            m_connection.DropDatabase();
        } catch (const std::exception &e) {
            ADD_FAILURE() << "dropping the test database failed: " << e.what();
        }
    }

    TIB_Connection &Connection() { return m_connection; }
    QString Path() const { return m_connection.DatabaseName(); }
    QString FilePath(const QString &name) const { return m_dir.filePath(name); }

    // Runs and commits each statement in turn (Firebird applies DDL at commit).
    void Execute(const QStringList &statements)
    {
        TIB_Transaction transaction;
        transaction.SetIB_Connection(&m_connection);
        for (const QString &sql : statements) {
            transaction.ExecuteImmediate(sql);
            transaction.CommitRetaining();
        }
        transaction.Commit();
    }

private:
    QTemporaryDir m_dir;
    TIB_Connection m_connection;
};

// GoogleTest fixture owning one test database per test.
class TIB_DatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { db = std::make_unique<TIB_TestDatabase>(); }
    void TearDown() override { db.reset(); }

    std::unique_ptr<TIB_TestDatabase> db;
};
