#pragma once

#include <QObject>
#include <QPointer>

#include "tib_dataset.h"

// Links bound controls to a dataset and relays its notifications.
class TIB_DataSource : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TIB_Dataset *Dataset READ Dataset WRITE SetDataset)

public:
    explicit TIB_DataSource(QObject *parent = nullptr) : QObject(parent) {}

    TIB_Dataset *Dataset() const { return m_dataset; }
    void SetDataset(TIB_Dataset *dataset);

signals:
    // The dataset changed its rows, or another dataset (or none) is linked now.
    void DataChange();
    void StateChanged();

private:
    QPointer<TIB_Dataset> m_dataset;
};
