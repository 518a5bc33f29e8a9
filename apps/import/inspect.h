#pragma once

#include <QString>

// What --inspect was asked to show.
struct InspectOptions
{
    QString file;
    QString kind;
    int limit = 0; // 0: everything
    QChar comma = u',';
    QChar quote = u'"';
    QString codePage;
    QString table; // Access: the table to show
    QString sql;   // Access: the statement to show
};

// Prints what the importer sees in a source file, one JSON object per line;
// returns the exit status.
int RunInspect(const InspectOptions &options);
