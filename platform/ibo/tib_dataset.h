#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <memory>

#include "dataset.h"
#include "tib_column.h"
#include "tib_connection.h"
#include "tib_transaction.h"

class TIB_Row;
struct TIB_DatasetPrivate;

// States of a dataset; callers rely on edit being 4 and insert 5.
enum TIB_DatasetState { dssInactive = 0, dssPrepared = 1, dssBrowse = 2, dssSearch = 3, dssEdit = 4, dssInsert = 5 };

enum TIB_LocateOption {
    lopCaseInsensitive = 0x1, // text keys compare without regard to letter case
    lopPartialKey = 0x2,      // text keys match rows that start with the value
    lopFindNearest = 0x4      // the first row at or after the values in key order
};
Q_DECLARE_FLAGS(TIB_LocateOptions, TIB_LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIB_LocateOptions)

// A dataset over one SELECT statement. It reads rows forward through a
// server cursor and keeps only the current row, so an import never holds the
// table in memory. When the columns come from one table the dataset writes
// to it: Append/Insert + Post run a cached INSERT, Edit + Post a cached UPDATE
// by key, Delete a cached DELETE by key. The key is KeyLinks, else the
// table's primary key, else RDB$DB_KEY. Every statement is prepared once and
// reused; values always travel as parameters.
//
// The dataset runs in IB_Transaction, else in its connection's default
// transaction, and starts it when needed; it never commits. A commit or
// rollback ends the read cursor: the current row stays, Next then reports
// Eof and First reads again.
class TIB_Dataset : public TDataSet
{
    Q_OBJECT
    Q_PROPERTY(TIB_Connection *IB_Connection READ IB_Connection WRITE SetIB_Connection)
    Q_PROPERTY(TIB_Transaction *IB_Transaction READ IB_Transaction WRITE SetIB_Transaction)
    Q_PROPERTY(QStringList KeyLinks READ KeyLinks WRITE SetKeyLinks)
    Q_PROPERTY(bool Active READ Active WRITE SetActive STORED false)

public:
    ~TIB_Dataset() override;

    TIB_Connection *IB_Connection() const;
    void SetIB_Connection(TIB_Connection *connection);
    TIB_Transaction *IB_Transaction() const;
    void SetIB_Transaction(TIB_Transaction *transaction);
    // Key columns of the table, by name ("ID" or "TABLE.ID").
    QStringList KeyLinks() const;
    void SetKeyLinks(const QStringList &value);

    TIB_DatasetState State() const;
    bool Prepared() const;
    bool Active() const;
    void SetActive(bool value);
    void Prepare();
    void Unprepare();
    void Open();
    // Cancels a pending insert or edit and closes.
    void Close();

    void First() override;
    void Next() override;
    bool Eof() const override;
    bool Bof() const;

    // The current row; valid while prepared.
    TIB_Row *Fields() const;
    int FieldCount() const;
    TIB_Column *FindField(const QString &name) const override;
    // Raises EIB_Error when there is no such column.
    TIB_Column *FieldByName(const QString &name) const;

    // A pending insert or edit is posted first.
    void Append();
    void Insert();
    void Edit();
    // Removes the current row; the next row read becomes current.
    void Delete();
    // Only in edit or insert state; may raise, and then the dataset stays in
    // its state so that the row can be corrected or cancelled.
    void Post();
    void Cancel();

    // Bound controls stop refreshing until as many EnableControls calls followed.
    void DisableControls() override;
    void EnableControls() override;
    bool ControlsDisabled() const;

    // The table written to, empty when the dataset is read only; the key in use.
    QString TableName() const;
    QStringList KeyFieldNames() const;

signals:
    // The rows changed (open, close, post, delete, end of the transaction).
    void DataChange();
    void StateChanged();

protected:
    explicit TIB_Dataset(QObject *parent = nullptr);
    // The SELECT the dataset reads.
    virtual QString SelectSQL() const = 0;
    // Drops everything prepared when the SQL text changes.
    void SQLChanged();
    bool LocateRow(const QString &fieldNames, const QVariant &values, TIB_LocateOptions options);

private:
    friend struct TIB_DatasetPrivate;
    friend class TIB_GridModel;
    std::unique_ptr<TIB_DatasetPrivate> d;
};
