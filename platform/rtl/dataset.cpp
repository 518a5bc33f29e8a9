#include "dataset.h"

TDataSet::TDataSet(QObject *parent) : QObject(parent) {}
