#pragma once

#include <QObject>

#include <cstdint>

// The engine's enumerations. Configuration files store their ordinals, so
// the order of the values is part of the file format.
namespace Morvex {
Q_NAMESPACE

// How a source row is written.
enum TMorvexMode { mxmInsertAll, mxmInsertNew, mxmUpdate, mxmUpdateOrInsert, mxmDelete, mxmDeleteOrInsert };
Q_ENUM_NS(TMorvexMode)

// Where a new dataset row goes: at the end, or at the current position.
enum TMorvexAddType { matAppend, matInsert };
Q_ENUM_NS(TMorvexAddType)

// The kind of import destination.
enum TMorvexDestination { mxdDataSet, mxdDBGrid, mxdListView, mxdStringGrid, mxdUserDefined };
Q_ENUM_NS(TMorvexDestination)

// The action taken for the current row.
enum TMorvexAction { mxaNone, mxaInsert, mxaUpdate, mxaDelete };
Q_ENUM_NS(TMorvexAction)

// Outcome of one row: written; skipped or failed, go on; stop the import.
enum TMorvexResult { mxrOk, mxrContinue, mxrBreak };
Q_ENUM_NS(TMorvexResult)

enum TQuoteAction { qaNone, qaAdd, qaRemove };
Q_ENUM_NS(TQuoteAction)

enum TMorvexCharCase { iccNone, iccUpper, iccLower, iccUpperFirst, iccUpperFirstWord };
Q_ENUM_NS(TMorvexCharCase)

enum TMorvexCharSet { icsNone, icsAnsi, icsOem };
Q_ENUM_NS(TMorvexCharSet)

// How a destination column takes a value.
enum TMorvexFieldType { iftUnknown, iftString, iftInteger, iftBoolean, iftDouble, iftCurrency, iftDateTime };
Q_ENUM_NS(TMorvexFieldType)

// A source kind the wizard offers.
enum TAllowedImport { aiXLS, aiDBF, aiXML, aiTXT, aiCSV, aiAccess };
Q_ENUM_NS(TAllowedImport)
} // namespace Morvex

using enum Morvex::TMorvexMode;
using enum Morvex::TMorvexAddType;
using enum Morvex::TMorvexDestination;
using enum Morvex::TMorvexAction;
using enum Morvex::TMorvexResult;
using enum Morvex::TQuoteAction;
using enum Morvex::TMorvexCharCase;
using enum Morvex::TMorvexCharSet;
using enum Morvex::TMorvexFieldType;
using enum Morvex::TAllowedImport;
using Morvex::TMorvexMode;
using Morvex::TMorvexAddType;
using Morvex::TMorvexDestination;
using Morvex::TMorvexAction;
using Morvex::TMorvexResult;
using Morvex::TQuoteAction;
using Morvex::TMorvexCharCase;
using Morvex::TMorvexCharSet;
using Morvex::TMorvexFieldType;
using Morvex::TAllowedImport;

// A set of source kinds, stored as one bit per ordinal.
class TAllowedImports
{
public:
    constexpr TAllowedImports() = default;
    constexpr TAllowedImports(std::initializer_list<TAllowedImport> kinds)
    {
        for (TAllowedImport kind : kinds)
            Include(kind);
    }

    constexpr bool Contains(TAllowedImport kind) const { return m_bits & bit(kind); }
    constexpr void Include(TAllowedImport kind) { m_bits |= bit(kind); }
    constexpr void Exclude(TAllowedImport kind) { m_bits &= ~bit(kind); }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr bool operator==(const TAllowedImports &) const = default;

private:
    static constexpr uint32_t bit(TAllowedImport kind) { return uint32_t(1) << unsigned(kind); }
    uint32_t m_bits = 0;
};
