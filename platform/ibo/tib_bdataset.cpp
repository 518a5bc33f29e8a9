#include "tib_bdataset.h"

bool TIB_BDataset::Locate(const QString &FieldNames, const QVariant &Values, TIB_LocateOptions Options)
{
    return LocateRow(FieldNames, Values, Options);
}
