#include "morvexdestination.h"

#include "tib_column.h"
#include "tib_row.h"
#include "tib_dataset.h"
#include "tib_grid.h"
#include "messages.h"
#include "morvexerror.h"
#include "strutils.h"

#include <QTableWidget>
#include <QTreeWidget>

namespace {

TIB_Dataset *gridDataset(TIB_Grid *grid)
{
    if (!grid || !grid->DataSource())
        return nullptr;
    return grid->DataSource()->Dataset();
}

// The dataset that is written for a dataset or DB grid destination.
TIB_Dataset *destinationDataset(TMorvexDestination kind, TIB_Dataset *dataSet, TIB_Grid *grid)
{
    switch (kind) {
    case mxdDataSet:
        return dataSet;
    case mxdDBGrid:
        return gridDataset(grid);
    default:
        return nullptr;
    }
}

bool isDecimalNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

void MorvexCheckDestination(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                            QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return;
    switch (Kind) {
    case mxdDataSet:
        if (!DataSet)
            throw EMorvexError(MorvexText(MXE_NoDataSet));
        break;
    case mxdDBGrid:
        if (!DBGrid)
            throw EMorvexError(MorvexText(MXE_NoDBGrid));
        break;
    case mxdListView:
        if (!ListView)
            throw EMorvexError(MorvexText(MXE_NoListView));
        break;
    case mxdStringGrid:
        if (!StringGrid)
            throw EMorvexError(MorvexText(MXE_NoStringGrid));
        break;
    case mxdUserDefined:
        break;
    }
}

bool MorvexIsDestinationActive(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                               QTableWidget *, QTreeWidget *, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return false;
    switch (Kind) {
    case mxdDataSet:
        return DataSet && DataSet->Active();
    case mxdDBGrid: {
        TIB_Dataset *dataset = gridDataset(DBGrid);
        return dataset && dataset->Active();
    }
    default:
        return true;
    }
}

void MorvexIsDestinationOpen(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                             QTableWidget *, QTreeWidget *, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return;
    if (TIB_Dataset *dataset = destinationDataset(Kind, DataSet, DBGrid))
        dataset->Open();
}

void MorvexIsDestinationClose(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                              QTableWidget *, QTreeWidget *, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return;
    if (TIB_Dataset *dataset = destinationDataset(Kind, DataSet, DBGrid))
        dataset->Close();
}

bool MorvexDestinationAssigned(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                               QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return false;
    switch (Kind) {
    case mxdDataSet:
        return DataSet != nullptr;
    case mxdDBGrid:
        return DBGrid != nullptr;
    case mxdListView:
        return ListView != nullptr;
    case mxdStringGrid:
        return StringGrid != nullptr;
    case mxdUserDefined:
        return false;
    }
    return false;
}

int MorvexDestinationColCount(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                              QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid)
{
    if (CSVMode)
        return 0;
    switch (Kind) {
    case mxdDataSet:
        return DataSet ? DataSet->FieldCount() : 0;
    case mxdDBGrid:
        return DBGrid ? DBGrid->GridFieldCount() : 0;
    case mxdListView:
        return ListView ? ListView->columnCount() : 0;
    case mxdStringGrid:
        return StringGrid ? StringGrid->columnCount() : 0;
    case mxdUserDefined:
        return 0;
    }
    return 0;
}

static QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

QString MorvexDestinationColName(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                                 QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid,
                                 int Index, int CaptionRow)
{
    if (CSVMode)
        return QString();
    switch (Kind) {
    case mxdDataSet:
        if (DataSet && Index >= 0 && Index < DataSet->FieldCount())
            return DataSet->Fields()->Columns(Index)->FieldName();
        return QString();
    case mxdDBGrid:
        if (DBGrid && Index >= 0 && Index < DBGrid->GridFieldCount())
            return DBGrid->GridFields(Index)->DisplayLabel();
        return QString();
    case mxdListView:
        if (ListView && Index >= 0 && Index < ListView->columnCount())
            return ListView->headerItem()->text(Index);
        return QString();
    case mxdStringGrid:
        if (StringGrid && CaptionRow >= 0 && CaptionRow < StringGrid->rowCount())
            return cellText(StringGrid, CaptionRow, Index);
        return QString::number(Index);
    case mxdUserDefined:
        return QString();
    }
    return QString();
}

int MorvexDestinationFindColumn(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                                QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid,
                                const QString &Name, int CaptionRow)
{
    if (CSVMode)
        return -1;
    switch (Kind) {
    case mxdDataSet: {
        if (!DataSet)
            return -1;
        const TIB_Column *column = DataSet->FindField(Name);
        return column ? column->Index() : -1;
    }
    case mxdDBGrid:
        if (!DBGrid)
            return -1;
        for (int i = 0; i < DBGrid->GridFieldCount(); ++i) {
            if (AnsiSameText(DBGrid->GridFields(i)->DisplayLabel(), Name))
                return i;
        }
        return -1;
    case mxdListView:
        if (!ListView)
            return -1;
        for (int i = 0; i < ListView->columnCount(); ++i) {
            if (AnsiSameText(ListView->headerItem()->text(i), Name))
                return i;
        }
        return -1;
    case mxdStringGrid: {
        if (!StringGrid)
            return -1;
        if (isDecimalNumber(Name)) {
            bool ok = false;
            const int number = Name.toInt(&ok);
            return ok && number < StringGrid->columnCount() ? number : -1;
        }
        if (CaptionRow >= 0) {
            for (int i = 0; i < StringGrid->columnCount(); ++i) {
                if (cellText(StringGrid, CaptionRow, i) == Name)
                    return i;
            }
        }
        return -1;
    }
    case mxdUserDefined:
        return -1;
    }
    return -1;
}
