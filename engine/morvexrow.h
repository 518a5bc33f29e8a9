#pragma once

#include "stringlist.h"

#include <QString>

#include <memory>
#include <vector>

class TIB_Morvex2;

// One column of the current source row, named after its destination column.
struct TMorvexCol
{
    QString Value;
    QString Name;
    // The value is stored exactly as read, not trimmed; once set it stays set
    // for the run.
    bool Verbatim = false;
    // Index of the destination column, or -1.
    int ColumnIndex = -1;

    // Empties Value; a value nobody else holds keeps its storage for the
    // next row.
    void ClearValue()
    {
        if (Value.isDetached())
            Value.resize(0);
        else
            Value.clear();
    }
};

// The values of one source row as text, by destination column name. The row
// owns its columns; the name index maps each map entry's name to its
// position, which is also the position of its column.
class TMorvexRow
{
public:
    explicit TMorvexRow(TIB_Morvex2 *owner = nullptr) : m_owner(owner) {}
    TMorvexRow(const TMorvexRow &) = delete;
    TMorvexRow &operator=(const TMorvexRow &) = delete;

    TIB_Morvex2 *Owner() const { return m_owner; }

    // Appends a column named Trim(name).
    TMorvexCol *Add(const QString &name);
    int Count() const { return int(m_cols.size()); }
    TMorvexCol *Items(int index) const
    {
        // Read for every value of every row: only a bad index leaves the line.
        if (size_t(index) >= m_cols.size())
            checkIndex(index, Count());
        return m_cols[size_t(index)].get();
    }
    void SetItems(int index, std::unique_ptr<TMorvexCol> col);
    TMorvexCol *First() const { return Items(0); }
    TMorvexCol *Last() const { return Items(Count() - 1); }
    int IndexOf(const TMorvexCol *col) const;
    void Insert(int index, std::unique_ptr<TMorvexCol> col);
    // Removes the column from the row and hands it back; nullptr when it is not in the row.
    std::unique_ptr<TMorvexCol> Remove(TMorvexCol *col);
    void Delete(int index);
    // Frees every column and empties the name index.
    void Clear();

    // The first column whose name equals name, ignoring case.
    TMorvexCol *ColByName(const QString &name) const;
    // Stores the value into the column of that map name: unchanged when
    // verbatim (and the column stays verbatim), else trimmed. An unknown
    // name changes nothing.
    void SetValue(const QString &name, const QString &value, bool verbatim = false);
    // The position of the column SetValue stores a value of that name in;
    // -1 when there is none.
    int PositionOf(const QString &name);
    // Empties every value; a value nobody else holds keeps its storage for
    // the next row. Verbatim keeps its state.
    void ClearValues();

    // Changes whenever columns are added, inserted, removed or replaced: a
    // reader that keeps pointers to the row's columns checks it.
    std::uint64_t Revision() const { return m_revision; }

    // The map names with their map positions, sorted ignoring case.
    TStringList &NameIndex() { return m_nameIndex; }
    const TStringList &NameIndex() const { return m_nameIndex; }

private:
    void checkIndex(int index, int count) const;
    void changed() { ++m_revision; }

    TIB_Morvex2 *m_owner;
    std::vector<std::unique_ptr<TMorvexCol>> m_cols;
    std::uint64_t m_revision = 0;
    TStringList m_nameIndex;
    // Positions looked up in the name index: a source sets the same names row after row.
    TStringListCache<int> m_positions;
};
