#pragma once

#include <QString>

class TXMLFile;

// Walks everything a loaded packet holds and writes it as text: the
// declaration, one line per tag indented by its depth with its attributes
// as name="value" (backslash, quote and control characters escaped), and a
// last line with the counts of fields and rows. The tests compare packets by
// it, and the fuzz target drives every accessor of the tree through it.
QString XMLOutline(const TXMLFile &File);
