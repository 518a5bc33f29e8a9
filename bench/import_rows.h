#pragma once

// The benchmark rows as an import reads them: every value as text, in the
// process-wide default formats, so that the engine converts each one.

#include "bench_util.h"
#include "conversions.h"
#include "ib_morvex2.h"
#include "tib_query.h"

#include <QStringList>

inline QStringList RowTexts(int i)
{
    const BenchRow r = MakeRow(i);
    return {IntToStr(r.id), r.name, r.city, CurrToStr(r.amount), FloatToStr(r.rate),
            DateToStr(r.day), DateTimeToStr(r.stamp), r.flag ? QStringLiteral("True") : QStringLiteral("False")};
}

// The map of a component that fills the benchmark table from fields 1 to 8.
inline QStringList BenchMap()
{
    return {QStringLiteral("ID=1"), QStringLiteral("NAME=2"), QStringLiteral("CITY=3"), QStringLiteral("AMOUNT=4"),
            QStringLiteral("RATE=5"), QStringLiteral("ON_DATE=6"), QStringLiteral("STAMP=7"), QStringLiteral("FLAG=8")};
}

// Rows per second that an import component (its source already set up)
// writes into the benchmark table of a fresh database through the map,
// committing at the end.
inline double ImportRowsPerSecond(const char *name, TIB_Morvex2 &component, int rows, const QStringList &map = BenchMap())
{
    BenchDatabase db(name);
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    TIB_Query query;
    query.SetIB_Transaction(&transaction);
    query.SetSQL(QStringLiteral("SELECT * FROM BENCH"));

    QElapsedTimer timer;
    timer.start();
    query.Open();
    component.SetDataSet(&query);
    for (const QString &line : map)
        component.Map().Add(line);
    component.SetCommitRecCount(0);
    component.OnNeedCommit = [&](QObject *) { transaction.Commit(); };
    component.Execute();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (component.ImportedRecs() != rows)
        throw Exception(QStringLiteral("%1 wrote %2 of %3 rows")
                            .arg(QLatin1String(name)).arg(component.ImportedRecs()).arg(rows));
    return rows / seconds;
}
