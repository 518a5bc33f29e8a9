#pragma once

#include "dataset.h"
#include "stringlist.h"

#include <QString>

#include <memory>
#include <vector>

class TADODataSet;

// What the command text of a TADODataSet is.
enum TCommandType {
    cmdText, // a SELECT statement
    cmdTable // the name of a table, read directly, never put into SQL text
};

// One field of an Access row.
class TADOField final : public TField
{
public:
    QString FieldName() const override { return m_name; }
    // Text and memo values as stored; whole numbers as digits; other numbers
    // with the process-wide decimal separator; dates in the process-wide
    // formats; Yes/No as 1 and 0; binary and OLE values as UTF-8 when they
    // are valid UTF-8, else in the ANSI code page.
    QString Text() const override;
    // Memo, OLE object and binary fields.
    bool IsBlob() const override;
    // The mdbtools column type (MDB_TEXT, MDB_MEMO, ...).
    int DataType() const { return m_type; }
    bool IsNull() const;

private:
    friend class TADODataSet;
    TADOField(const TADODataSet &owner, int index, const QString &name, int type)
        : m_owner(owner), m_index(index), m_name(name), m_type(type)
    {
    }

    const TADODataSet &m_owner;
    int m_index;
    QString m_name;
    int m_type;
};

// The rows of an Access table or of a SELECT statement, read forward
// through mdbtools. The connection string is an ADO one (TADOConnection).
// A statement is run whole when the dataset opens, so a statement mdbtools
// cannot run raises EADOError with mdbtools' text before any row is read.
class TADODataSet : public TDataSet
{
    Q_OBJECT

public:
    explicit TADODataSet(QObject *parent = nullptr);
    ~TADODataSet() override;

    QString ConnectionString() const { return m_connectionString; }
    void SetConnectionString(const QString &value);
    TCommandType CommandType() const { return m_commandType; }
    void SetCommandType(TCommandType value);
    QString CommandText() const { return m_commandText; }
    void SetCommandText(const QString &value);

    // Opens the database and reads the first row. Raises EADOError when the
    // file is missing or not an Access database, when the table does not
    // exist, and when the statement is not a SELECT or cannot be run.
    void Open();
    void Close();
    bool Active() const { return m_cursor != nullptr; }

    void DisableControls() override { ++m_disableCount; }
    void EnableControls() override;
    // Reads the rows again from the start.
    void First() override;
    void Next() override;
    bool Eof() const override;
    TADOField *FindField(const QString &name) const override;
    int FieldCount() const { return int(m_fields.size()); }
    TADOField *Fields(int index) const;
    // Fills List with the field names, in statement order.
    void GetFieldNames(TStringList &List) const;

private:
    friend class TADOField;
    struct Cursor;
    // The bytes of a field of the current row, and whether it has a value.
    QByteArray Value(int index) const;
    bool HasValue(int index) const;

    QString m_connectionString;
    TCommandType m_commandType = cmdText;
    QString m_commandText;
    int m_disableCount = 0;
    std::unique_ptr<Cursor> m_cursor;
    std::vector<std::unique_ptr<TADOField>> m_fields;
};
