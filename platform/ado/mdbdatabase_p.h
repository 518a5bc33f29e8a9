#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include "mdbtrialread_p.h"

#include <mdbtools.h>

Q_DECLARE_LOGGING_CATEGORY(lcAdo)

// A name from one of mdbtools' fixed-size buffers.
QString MdbObjectName(const char *name, size_t capacity);

// One Access database opened through mdbtools. Opening checks the file
// first, so that a missing file or a file of another kind raises EADOError
// and never reaches mdbtools. Values come out as mdbtools writes them with
// the formats set here: dates as "%Y-%m-%d %H:%M:%S", booleans as 1 and 0.
class MdbDatabase
{
public:
    // `tried`: the caller already runs inside a trial read (MdbTrialRead).
    explicit MdbDatabase(const QString &fileName, bool tried = false);
    ~MdbDatabase();
    MdbDatabase(const MdbDatabase &) = delete;
    MdbDatabase &operator=(const MdbDatabase &) = delete;

    MdbHandle *Handle() const { return m_handle; }
    QString FileName() const { return m_fileName; }
    // Names of the tables, in catalog order; system tables only when asked.
    QStringList TableNames(bool systemTables) const;
    // The catalog entry of a table, the name compared without regard to
    // letter case; null when there is none.
    MdbCatalogEntry *FindTable(const QString &name) const;
    // Reads the definition of every table, as a trial read does.
    void ReadTableDefinitions() const;

private:
    QString m_fileName;
    MdbHandle *m_handle = nullptr;
};

// Bytes each bound column may receive from mdbtools: a memo longer than this
// is cut by mdbtools. 256 KiB holds the longest memo Access lets a user type
// (65,535 characters) in UTF-8.
constexpr size_t kMdbBindSize = 256 * 1024;
