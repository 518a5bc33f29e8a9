#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TIB_Morvex2;

// What one run of the importer was asked to do.
struct ImportOptions
{
    QString kind;
    QString config;
    QStringList overrides; // SECTION.KEY=VALUE
    QString database;
    QString table;
    QString user;
    QString password;
    bool create = false;
    QString ddl;
    QString toCsv;
    QString sql; // an Access import reads this statement instead of its table
    QChar comma = u',';
    QChar quote = u'"';
    bool json = false;
};

// Exit statuses of the importer.
enum ImportStatus { StatusOk = 0, StatusRowsFailed = 1, StatusNotRun = 2 };

// The import component of a kind ("csv", "txt", …), or null for a kind this
// build does not know.
std::unique_ptr<TIB_Morvex2> CreateImportComponent(const QString &kind);
// The kinds CreateImportComponent knows, for the help text.
QStringList ImportKinds();

// Runs the import and prints the summary; returns the exit status.
int RunImport(const ImportOptions &options);
