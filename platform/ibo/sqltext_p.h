#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ibo {

// Where a plain SELECT keeps its select list and which name qualifies the
// columns of its first table.
struct SelectShape
{
    qsizetype listStart = 0; // first character of the select list
    qsizetype fromStart = 0; // the top-level FROM that ends it
    bool listIsStar = false; // the select list is a lone "*"
    qsizetype starPos = -1;
    QString qualifier;       // the first table's alias, else its name, as written
};

// Reads the shape of "SELECT [FIRST n] [SKIP n] [DISTINCT|ALL] list FROM table
// [AS] [alias] ..."; nullopt for anything else (CTEs, unions before FROM, ...).
std::optional<SelectShape> AnalyzeSelect(const QString &sql);

// Adds columns, qualified by the first table, to the end of the select list.
// nullopt when the statement has not the plain shape AnalyzeSelect reads.
std::optional<QString> AddSelectColumns(const QString &sql, const QStringList &columnExpressions);

} // namespace ibo
