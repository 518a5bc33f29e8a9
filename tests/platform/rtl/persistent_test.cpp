#include "persistent.h"

#include <QObject>

#include "qtprinters.h"

#include <gtest/gtest.h>

namespace {

class TNamedItem : public TCollectionItem
{
public:
    QString Name;

    void Assign(const TPersistent &Source) override
    {
        if (const auto *other = dynamic_cast<const TNamedItem *>(&Source)) {
            Name = other->Name;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    QString GetDisplayName() const override { return Name.isEmpty() ? TCollectionItem::GetDisplayName() : Name; }
};

class TOtherItem : public TCollectionItem
{
};

QStringList names(const TCollection<TNamedItem> &c)
{
    QStringList result;
    for (int i = 0; i < c.Count(); ++i)
        result << c.Items(i)->Name;
    return result;
}

} // namespace

TEST(Persistent, UnsupportedAssignNamesBothClasses)
{
    TNamedItem named;
    TOtherItem other;
    try {
        named.Assign(other);
        FAIL() << "expected an exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TOtherItem to a TNamedItem"));
    }
}

TEST(Persistent, CollectionOwnsAndIndexesItems)
{
    QObject owner;
    TCollection<TNamedItem> c(&owner);
    EXPECT_EQ(c.Owner(), &owner);
    c.Add()->Name = QStringLiteral("b");
    c.Insert(0)->Name = QStringLiteral("a");
    c.Add()->Name = QStringLiteral("c");
    EXPECT_EQ(names(c), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(c.Items(2)->Index(), 2);
    EXPECT_EQ(c.Items(1)->Collection(), &c);

    c.Items(0)->SetIndex(2);
    EXPECT_EQ(names(c), (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    c.Delete(1);
    EXPECT_EQ(names(c), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_THROW(c.Delete(2), Exception);
    EXPECT_THROW(c.Items(-1), Exception);
    EXPECT_THROW(c.Insert(3), Exception);
    EXPECT_EQ(c.Items(1)->GetDisplayName(), QStringLiteral("a"));
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
}

TEST(Persistent, CollectionAssignCopiesItemsNotPointers)
{
    TCollection<TNamedItem> source;
    source.Add()->Name = QStringLiteral("x");
    source.Add()->Name = QStringLiteral("y");
    TCollection<TNamedItem> copy;
    copy.Add()->Name = QStringLiteral("old");
    copy.Assign(source);
    EXPECT_EQ(names(copy), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_NE(copy.Items(0), source.Items(0));
    source.Items(0)->Name = QStringLiteral("changed");
    EXPECT_EQ(copy.Items(0)->Name, QStringLiteral("x"));
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 2);

    TCollection<TOtherItem> other;
    EXPECT_THROW(copy.Assign(other), Exception);
}

TEST(Persistent, OwnerIsClearedWhenDestroyed)
{
    auto owner = std::make_unique<QObject>();
    TCollection<TNamedItem> c(owner.get());
    owner.reset();
    EXPECT_EQ(c.Owner(), nullptr);
}
