#pragma once

#include <QStringList>

// Turns a classic filter ("Text (*.txt;*.csv)|*.txt;*.csv|All files (*.*)|*.*") into Qt name
// filters ("Text (*.txt *.csv)", "All files (*)"). "*.*" becomes "*", because on this platform
// it would leave out files without an extension, which the classic pattern includes.
QStringList QtNameFilters(const QString &filter);
