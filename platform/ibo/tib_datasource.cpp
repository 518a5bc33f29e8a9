#include "tib_datasource.h"

#include "tib_dataset.h"

void TIB_DataSource::SetDataset(TIB_Dataset *dataset)
{
    if (dataset == m_dataset)
        return;
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (m_dataset) {
        connect(m_dataset, &TIB_Dataset::DataChange, this, &TIB_DataSource::DataChange);
        connect(m_dataset, &TIB_Dataset::StateChanged, this, &TIB_DataSource::StateChanged);
        // A destroyed dataset clears the pointer; bound controls show nothing then.
        connect(m_dataset, &QObject::destroyed, this, &TIB_DataSource::DataChange);
    }
    emit DataChange();
}
