#pragma once

#include "tib_dataset.h"

// A dataset that can be positioned by value.
class TIB_BDataset : public TIB_Dataset
{
    Q_OBJECT

public:
    // FieldNames are joined by ";"; Values is one value, or a QVariantList
    // with one value per field. Runs a prepared, indexed SELECT ... WHERE on
    // the server over the dataset's own query and makes the first matching row
    // current; returns false, leaving the current row alone, when none matches.
    bool Locate(const QString &FieldNames, const QVariant &Values, TIB_LocateOptions Options = {});

protected:
    using TIB_Dataset::TIB_Dataset;
};
