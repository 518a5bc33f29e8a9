#pragma once

// The throwaway database of the data-access benchmarks and the table they fill.

#include "bench_report.h"
#include "bench_rows.h"
#include "tib_connection.h"
#include "tib_transaction.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

class BenchDatabase
{
public:
    explicit BenchDatabase(const char *name)
    {
        connection.SetDatabaseName(dir.filePath(QString::fromLatin1(name) + QStringLiteral(".fdb")));
        connection.CreateDatabase();
        TIB_Transaction ddl;
        ddl.SetIB_Connection(&connection);
        ddl.ExecuteImmediate(QStringLiteral(
            "CREATE TABLE BENCH (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40), CITY VARCHAR(60),"
            " AMOUNT NUMERIC(15,2), RATE DOUBLE PRECISION, ON_DATE DATE, STAMP TIMESTAMP, FLAG BOOLEAN)"));
        ddl.Commit();
    }
    ~BenchDatabase() { connection.DropDatabase(); }

    QTemporaryDir dir;
    TIB_Connection connection;
};

