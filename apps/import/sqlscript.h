#pragma once

#include <QString>
#include <QStringList>

// Splits an SQL script into its statements: each ends with a semicolon
// outside quotes and comments; "--" and "/* */" comments are dropped.
QStringList SplitSqlScript(const QString &script);
