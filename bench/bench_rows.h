#pragma once

// The rows the benchmarks write and read: the same values whichever source
// or destination a benchmark measures.

#include "sysutils.h"

#include <QString>

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
