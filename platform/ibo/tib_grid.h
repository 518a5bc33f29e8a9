#pragma once

#include <QPointer>
#include <QTableView>

class TIB_Column;
#include "tib_datasource.h"

class TIB_GridModel;

// A table view over the dataset of its data source. It reads rows through a
// cursor of its own as far as it is scrolled, and reads them again when the
// dataset reports a change (not while the dataset's controls are disabled).
class TIB_Grid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(TIB_DataSource *DataSource READ DataSource WRITE SetDataSource)

public:
    explicit TIB_Grid(QWidget *parent = nullptr);
    ~TIB_Grid() override;

    TIB_DataSource *DataSource() const { return m_dataSource; }
    void SetDataSource(TIB_DataSource *dataSource);

    // Columns shown, and the dataset column at displayed position Index
    // (following the header's visual order).
    int GridFieldCount() const;
    TIB_Column *GridFields(int Index) const;

private:
    void DatasetChanged();

    QPointer<TIB_DataSource> m_dataSource;
    TIB_GridModel *m_model;
};
