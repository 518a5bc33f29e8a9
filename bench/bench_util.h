#pragma once

// Shared pieces of the data-access benchmarks: a throwaway database, the
// rows they write, timing and the BENCH/RATIO lines.

#include "tib_connection.h"
#include "tib_transaction.h"
#include "sysutils.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

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

// One source row, as an import holds it before writing.
struct BenchRow
{
    int id;
    QString name;
    QString city;
    Currency amount;
    double rate;
    TDateTime day;
    TDateTime stamp;
    bool flag;
};

inline BenchRow MakeRow(int i)
{
    return BenchRow{i,
                    QStringLiteral("Customer %1").arg(i),
                    QStringLiteral("City of the row number %1").arg(i % 977),
                    Currency{int64_t(i % 100000) * 100 + 1200}, // whole cents
                    i * 0.25,
                    double(40000 + i % 10000),
                    40000.5 + (i % 86400) / 86400.0,
                    (i & 1) != 0};
}

inline int RowCountArgument(int argc, char **argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

inline long PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline void PrintBench(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

inline void PrintRatio(const char *name, double value)
{
    std::printf("RATIO %s %.3f\n", name, value);
    std::fflush(stdout);
}
