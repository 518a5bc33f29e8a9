#include "persistent.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

void TPersistent::Assign(const TPersistent &Source)
{
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent &Dest) const
{
    throw Exception(QStringLiteral("Cannot assign a %1 to a %2").arg(ClassName(), Dest.ClassName()));
}

QString TPersistent::ClassName() const
{
    const char *mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    // Only the class itself, without the namespaces around it.
    const qsizetype templateStart = name.indexOf(u'<');
    const qsizetype scope = name.lastIndexOf(QStringLiteral("::"), templateStart < 0 ? -1 : templateStart);
    if (scope >= 0)
        name.remove(0, scope + 2);
    return name;
}

int TCollectionItem::Index() const
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int value)
{
    if (m_collection)
        m_collection->Move(Index(), value);
}

QString TCollectionItem::GetDisplayName() const
{
    return ClassName();
}

void TCollectionBase::checkIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(index));
}

void TCollectionBase::Delete(int index)
{
    checkIndex(index, Count());
    m_items.erase(m_items.begin() + index);
}

void TCollectionBase::Clear()
{
    m_items.clear();
}

int TCollectionBase::IndexOf(const TCollectionItem *item) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

void TCollectionBase::Move(int fromIndex, int toIndex)
{
    checkIndex(fromIndex, Count());
    checkIndex(toIndex, Count());
    auto item = std::move(m_items[fromIndex]);
    m_items.erase(m_items.begin() + fromIndex);
    m_items.insert(m_items.begin() + toIndex, std::move(item));
}

TCollectionItem *TCollectionBase::ItemAt(int index) const
{
    checkIndex(index, Count());
    return m_items[index].get();
}

TCollectionItem *TCollectionBase::InsertItem(int index, std::unique_ptr<TCollectionItem> item)
{
    checkIndex(index, Count() + 1);
    item->m_collection = this;
    TCollectionItem *raw = item.get();
    m_items.insert(m_items.begin() + index, std::move(item));
    return raw;
}
