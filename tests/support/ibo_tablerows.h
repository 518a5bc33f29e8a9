#pragma once

// The rows a SELECT returns, as "value|value|…" texts in the columns'
// invariant forms, "<null>" for null.

#include "tib_column.h"
#include "tib_query.h"
#include "tib_row.h"

#include <QStringList>

inline QStringList TableRows(TIB_Connection &connection, TIB_Transaction &transaction, const QString &select)
{
    TIB_Query check;
    check.SetIB_Connection(&connection);
    check.SetIB_Transaction(&transaction);
    check.SetSQL(select);
    check.Open();
    QStringList rows;
    for (check.First(); !check.Eof(); check.Next()) {
        QStringList values;
        for (int i = 0; i < check.FieldCount(); ++i) {
            const TIB_Column *column = check.Fields()->Columns(i);
            values << (column->IsNull() ? QStringLiteral("<null>") : column->AsString());
        }
        rows << values.join(u'|');
    }
    return rows;
}
