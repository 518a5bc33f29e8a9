#include "morvexrow.h"

#include "exception.h"
#include "strutils.h"

#include <algorithm>

void TMorvexRow::checkIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(index));
}

TMorvexCol *TMorvexRow::Add(const QString &name)
{
    auto col = std::make_unique<TMorvexCol>();
    col->Name = Trim(name);
    m_cols.push_back(std::move(col));
    changed();
    return m_cols.back().get();
}

void TMorvexRow::SetItems(int index, std::unique_ptr<TMorvexCol> col)
{
    checkIndex(index, Count());
    m_cols[size_t(index)] = std::move(col);
    changed();
}

int TMorvexRow::IndexOf(const TMorvexCol *col) const
{
    const auto it = std::find_if(m_cols.begin(), m_cols.end(), [col](const auto &c) { return c.get() == col; });
    return it == m_cols.end() ? -1 : int(it - m_cols.begin());
}

void TMorvexRow::Insert(int index, std::unique_ptr<TMorvexCol> col)
{
    checkIndex(index, Count() + 1);
    m_cols.insert(m_cols.begin() + index, std::move(col));
    changed();
}

std::unique_ptr<TMorvexCol> TMorvexRow::Remove(TMorvexCol *col)
{
    const int index = IndexOf(col);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TMorvexCol> removed = std::move(m_cols[size_t(index)]);
    m_cols.erase(m_cols.begin() + index);
    changed();
    return removed;
}

void TMorvexRow::Delete(int index)
{
    checkIndex(index, Count());
    m_cols.erase(m_cols.begin() + index);
    changed();
}

void TMorvexRow::Clear()
{
    m_cols.clear();
    m_nameIndex.Clear();
    changed();
}

TMorvexCol *TMorvexRow::ColByName(const QString &name) const
{
    for (const auto &col : m_cols) {
        if (AnsiSameText(col->Name, name))
            return col.get();
    }
    return nullptr;
}

int TMorvexRow::PositionOf(const QString &name)
{
    return m_positions.Get(m_nameIndex, name, [this](const QString &key) {
        int found = -1;
        return m_nameIndex.Find(key, found) ? int(m_nameIndex.Objects(found)) : -1;
    });
}

void TMorvexRow::SetValue(const QString &name, const QString &value, bool verbatim)
{
    const int position = PositionOf(name);
    if (position < 0 || position >= Count())
        return;
    TMorvexCol *col = m_cols[size_t(position)].get();
    if (verbatim) {
        col->Value = value;
        col->Verbatim = true;
    } else {
        // A value with nothing to trim is shared, not copied.
        const QStringView trimmed = TrimmedView(value);
        if (trimmed.size() == value.size())
            col->Value = value;
        else
            col->Value = trimmed.toString();
    }
}

void TMorvexRow::ClearValues()
{
    for (const auto &col : m_cols)
        col->ClearValue();
}
