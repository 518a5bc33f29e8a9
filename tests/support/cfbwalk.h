#pragma once

// Walks everything a compound file holds: the directory and the content of
// every stream. Shared by the unit tests and the fuzz target, so that both
// drive the same read path. Returns the number of stream bytes read.

#include "compoundfile.h"

inline qsizetype WalkCompoundFile(const QByteArray &bytes)
{
    TCompoundFile cfb(bytes);
    qsizetype total = 0;
    for (const TCompoundEntry &e : cfb.Entries())
        if (e.Type == TCompoundEntry::etStream)
            total += cfb.ReadStream(e).size();
    for (const TCompoundEntry &e : cfb.RootEntries())
        (void)cfb.FindStream(e.Name);
    return total;
}
