#pragma once

#include "morvextypes.h"

#include <QString>

class QTableWidget;
class QTreeWidget;
class TIB_Dataset;
class TIB_Grid;

// The destination functions shared by the engine, the wizard and the
// editors. Each takes the CSV-mode flag, the destination kind and the four
// destination references; in CSV mode the check passes, nothing is active or
// assigned, there are no columns and nothing is found.

// Raises EMorvexError when the reference of the chosen kind is missing.
void MorvexCheckDestination(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                            QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
bool MorvexIsDestinationActive(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                               QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
// Opens the destination dataset (the grid's dataset for a DB grid).
void MorvexIsDestinationOpen(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                             QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
void MorvexIsDestinationClose(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                              QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
bool MorvexDestinationAssigned(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                               QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
int MorvexDestinationColCount(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                              QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid);
QString MorvexDestinationColName(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                                 QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid,
                                 int Index, int CaptionRow);
// The index of the destination column of that name, or -1. A string grid
// finds a column by its number, or by the text of its caption-row cell.
int MorvexDestinationFindColumn(bool CSVMode, TMorvexDestination Kind, TIB_Dataset *DataSet,
                                QTableWidget *StringGrid, QTreeWidget *ListView, TIB_Grid *DBGrid,
                                const QString &Name, int CaptionRow);
