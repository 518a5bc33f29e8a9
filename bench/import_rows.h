#pragma once

// The benchmark rows as an import reads them: every value as text, in the
// process-wide default formats, so that the engine converts each one.

#include "bench_util.h"
#include "conversions.h"

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
