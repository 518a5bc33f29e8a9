#pragma once

#include "exception.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

// A persistent object: its content can be copied from another of a kind it knows.
class TPersistent
{
public:
    virtual ~TPersistent() = default;

    // Copies Source into this object. An unsupported source raises
    // "Cannot assign a <source class> to a <this class>".
    virtual void Assign(const TPersistent &Source);

    // The class name of the most derived type, as the error messages show it.
    QString ClassName() const;

protected:
    TPersistent() = default;
    TPersistent(const TPersistent &) = default;
    TPersistent &operator=(const TPersistent &) = default;

    // Called by Assign when this object does not know Source: Source may know
    // how to copy itself into Dest. The default raises the assignment error.
    virtual void AssignTo(TPersistent &Dest) const;
};

class TCollectionBase;

// An item owned by a collection.
class TCollectionItem : public TPersistent
{
public:
    TCollectionItem() = default;
    TCollectionItem(const TCollectionItem &) = delete;
    TCollectionItem &operator=(const TCollectionItem &) = delete;

    TCollectionBase *Collection() const { return m_collection; }
    // Position in the owning collection, -1 when the item belongs to none.
    int Index() const;
    // Moves the item to another position of its collection.
    void SetIndex(int value);
    // The text a list of items shows; by default the class name.
    virtual QString GetDisplayName() const;
    QString DisplayName() const { return GetDisplayName(); }

private:
    friend class TCollectionBase;
    TCollectionBase *m_collection = nullptr;
};

// The untyped part of TCollection: owned items in order, and their owner.
class TCollectionBase : public TPersistent
{
public:
    explicit TCollectionBase(QObject *owner = nullptr) : m_owner(owner) {}
    TCollectionBase(const TCollectionBase &) = delete;
    TCollectionBase &operator=(const TCollectionBase &) = delete;

    QObject *Owner() const { return m_owner; }
    int Count() const { return static_cast<int>(m_items.size()); }
    void Delete(int index);
    void Clear();
    int IndexOf(const TCollectionItem *item) const;
    void Move(int fromIndex, int toIndex);

protected:
    TCollectionItem *ItemAt(int index) const;
    TCollectionItem *InsertItem(int index, std::unique_ptr<TCollectionItem> item);

private:
    void checkIndex(int index, int count) const;

    QPointer<QObject> m_owner;
    std::vector<std::unique_ptr<TCollectionItem>> m_items;
};

// An owned, ordered collection of items of type T (a TCollectionItem).
// Assign copies the items of another collection of the same item type.
template<class T>
class TCollection : public TCollectionBase
{
public:
    using TCollectionBase::TCollectionBase;

    T *Add() { return Insert(Count()); }
    T *Insert(int index) { return static_cast<T *>(InsertItem(index, std::make_unique<T>())); }
    T *Items(int index) const { return static_cast<T *>(ItemAt(index)); }
    // Writing an item copies the content of value into the item held.
    void SetItems(int index, const T &value) { Items(index)->Assign(value); }

    void Assign(const TPersistent &Source) override
    {
        const auto *other = dynamic_cast<const TCollection<T> *>(&Source);
        if (!other) {
            TCollectionBase::Assign(Source);
            return;
        }
        if (other == this)
            return;
        Clear();
        for (int i = 0; i < other->Count(); ++i)
            Add()->Assign(*other->Items(i));
    }
};
