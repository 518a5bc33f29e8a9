#pragma once

#include "fbapi_p.h"
#include "tib_dataset_p.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QVariant>

#include <memory>
#include <vector>

// The rows a grid has shown so far, read in batches through a cursor of the
// grid's own over the dataset's query and transaction.
class TIB_GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TIB_GridModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    ~TIB_GridModel() override;

    void SetDataset(TIB_Dataset *dataset);
    TIB_Dataset *Dataset() const { return m_dataset; }
    // Forgets every row read; they are read again as the view asks for them.
    void Reset();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = {}) const override;
    void fetchMore(const QModelIndex &parent = {}) override;

private:
    void CloseCursor();
    void FreeStatement();
    void OpenCursor();

    QPointer<TIB_Dataset> m_dataset;
    QPointer<TIB_Transaction> m_cursorTransaction;
    QPointer<TIB_Connection> m_statementConnection;
    QString m_statementSql;
    ibo::Handle<Firebird::IStatement> m_statement;
    ibo::Handle<Firebird::IResultSet> m_cursor;
    FreeRowContext m_context{nullptr, nullptr};
    std::unique_ptr<TIB_Row> m_row;
    std::vector<std::vector<QVariant>> m_rows;
    bool m_atEnd = false;
};
