#include "exception.h"
#include "stringlist.h"

#include <set>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(StringListTest, AddInsertDeleteAndBounds)
{
    TStringList list;
    EXPECT_EQ(list.Add(u"a"_s), 0);
    EXPECT_EQ(list.Add(u"c"_s), 1);
    list.Insert(1, u"b"_s);
    EXPECT_EQ(list.Text(), u"a\nb\nc\n"_s);
    list.Delete(0);
    EXPECT_EQ(list[0], u"b"_s);
    try {
        (void)list.Strings(2);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"List index (2) out of bounds"_s);
    }
    EXPECT_THROW(list.Delete(-1), Exception);
    EXPECT_THROW(list.Insert(3, u"x"_s), Exception);
}

TEST(StringListTest, SetTextAcceptsEveryLineBreak)
{
    TStringList list;
    list.SetText(u"one\r\ntwo\nthree\rfour"_s);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], u"four"_s);
    list.SetText(u"a\n\nb\n"_s);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1], QString());
}

TEST(StringListTest, ValuesSetReplaceAndDelete)
{
    TStringList list;
    list.Add(u"plain line"_s);
    list.SetValues(u"Key"_s, u"1"_s);
    list.SetValues(u"Other"_s, u"a=b"_s);
    EXPECT_EQ(list.Count(), 3);
    list.SetValues(u"KEY"_s, u"2"_s);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1], u"KEY=2"_s);
    EXPECT_EQ(list.Values(u"other"_s), u"a=b"_s);
    EXPECT_EQ(list.Names(2), u"Other"_s);
    EXPECT_EQ(list.Names(0), QString());
    EXPECT_EQ(list.IndexOfName(u"plain line"_s), -1);
    // The name ends at the first '=': a longer or a shorter prefix names nothing.
    EXPECT_EQ(list.IndexOfName(u"Other=a"_s), -1);
    EXPECT_EQ(list.IndexOfName(u"Othe"_s), -1);
    EXPECT_EQ(list.IndexOfName(u"OTHER"_s), 2);
    list.SetValues(u"key"_s, QString());
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOfName(u"Key"_s), -1);
}

TEST(StringListTest, SortedFindHonoursCaseSensitivity)
{
    TStringList list;
    list.Add(u"delta"_s);
    list.Add(u"Bravo"_s);
    list.Add(u"alpha"_s);
    list.SetSorted(true);
    EXPECT_EQ(list.Text(), u"alpha\nBravo\ndelta\n"_s);
    int index = -1;
    EXPECT_TRUE(list.Find(u"BRAVO"_s, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find(u"charlie"_s, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.Add(u"Charlie"_s), 2);

    list.SetCaseSensitive(true);
    EXPECT_FALSE(list.Find(u"BRAVO"_s, index));
    EXPECT_TRUE(list.Find(u"Bravo"_s, index));
    EXPECT_EQ(list.IndexOf(u"bravo"_s), -1);
    EXPECT_THROW(list.Insert(0, u"x"_s), Exception);
}

TEST(StringListTest, SortedDuplicates)
{
    TStringList list;
    list.SetSorted(true);
    list.Add(u"b"_s);
    EXPECT_EQ(list.Add(u"B"_s), 0);
    EXPECT_EQ(list.Count(), 1);

    list.SetDuplicates(dupAccept);
    list.Add(u"B"_s);
    EXPECT_EQ(list.Count(), 2);

    list.SetDuplicates(dupError);
    try {
        list.Add(u"b"_s);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"String list does not allow duplicates"_s);
    }
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListTest, CopiesAndObjectsAreIndependent)
{
    TStringList list;
    list.AddObject(u"x"_s, 42);
    TStringList copy;
    copy.Assign(list);
    copy.SetObjects(0, 7);
    copy.SetStrings(0, u"y"_s);
    EXPECT_EQ(list.Objects(0), 42);
    EXPECT_EQ(list[0], u"x"_s);
    EXPECT_EQ(copy.Objects(0), 7);
}

TEST(StringListTest, RevisionNamesOneStateOfTheContent)
{
    TStringList list;
    std::set<std::uint64_t> seen{list.Revision()};
    const auto changes = [&](const char *what) {
        EXPECT_TRUE(seen.insert(list.Revision()).second) << what;
    };
    list.Add(u"b=1"_s);
    changes("Add");
    list.Insert(0, u"a=2"_s);
    changes("Insert");
    list.SetStrings(0, u"c=3"_s);
    changes("SetStrings");
    list.SetObjects(0, 5);
    changes("SetObjects");
    list.SetValues(u"b"_s, u"4"_s);
    changes("SetValues");
    list.Sort();
    changes("Sort");
    list.SetCaseSensitive(true);
    changes("SetCaseSensitive");
    list.Delete(0);
    changes("Delete");
    list.SetText(u"x\ny"_s);
    changes("SetText");

    const std::uint64_t before = list.Revision();
    EXPECT_EQ(list.Values(u"x"_s), QString());
    int index = 0;
    list.Find(u"y"_s, index);
    EXPECT_EQ(list.Revision(), before) << "reading changes nothing";

    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Revision(), list.Revision());
    copy.Add(u"z"_s);
    EXPECT_NE(copy.Revision(), list.Revision());
    list.Clear();
    changes("Clear");
}

TEST(StringListTest, CacheAnswersPerNameUntilTheListChanges)
{
    TStringList list;
    list.Add(u"ID=1"_s);
    TStringListCache<int> cache;
    int computed = 0;
    const auto lookup = [&](const QString &key) {
        return cache.Get(list, key, [&](const QString &k) {
            ++computed;
            return list.Values(k).toInt();
        });
    };
    const QString id = u"ID"_s;
    EXPECT_EQ(lookup(id), 1);
    EXPECT_EQ(lookup(id), 1);
    EXPECT_EQ(lookup(QString(u"ID"_s)), 1) << "an equal name made anew";
    EXPECT_EQ(computed, 1);

    list.SetValues(u"ID"_s, u"2"_s);
    EXPECT_EQ(lookup(id), 2) << "a changed list is asked again";
    EXPECT_EQ(computed, 2);

    // A name over characters the caller owns may change in place: it is
    // looked up by what it says, not by where it is.
    list.Add(u"IE=3"_s);
    QChar raw[] = {u'I', u'D'};
    const QString borrowed = QString::fromRawData(raw, 2);
    EXPECT_EQ(lookup(borrowed), 2);
    raw[1] = u'E';
    EXPECT_EQ(lookup(borrowed), 3);
}

TEST(StringListTest, PutReusesALinesStorageUnlessItIsShared)
{
    TStringList list;
    list.Put(0, u"a long first line");
    list.Put(1, u"b");
    const QChar *storage = list[0].constData();
    std::uint64_t revision = list.Revision();
    list.Put(0, u"short");
    EXPECT_EQ(list[0], u"short"_s);
    EXPECT_EQ(list[0].constData(), storage) << "no new storage for a shorter text";
    EXPECT_NE(list.Revision(), revision);

    const QString copy = list[0];
    list.Put(0, u"other");
    EXPECT_EQ(copy, u"short"_s) << "a copy keeps its text";
    EXPECT_EQ(list[0], u"other"_s);

    // A part of the line itself, shifted by less than a block of copying.
    list.Put(1, u"0123456789abcdefghij");
    list.Put(1, QStringView(list[1]).mid(3));
    EXPECT_EQ(list[1], u"3456789abcdefghij"_s);
    list.Put(1, QStringView(list[1]).mid(1, 6));
    EXPECT_EQ(list[1], u"456789"_s);

    revision = list.Revision();
    list.Truncate(5);
    EXPECT_EQ(list.Revision(), revision) << "nothing to drop";
    list.Truncate(1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_NE(list.Revision(), revision);
    EXPECT_THROW(list.Put(3, u"x"), Exception);
    EXPECT_THROW(list.Truncate(-1), Exception);
    list.SetSorted(true);
    EXPECT_THROW(list.Put(0, u"x"), Exception);
}

TEST(StringListTest, SwapStringTradesALineForAStringAndCountsAsAChange)
{
    TStringList list;
    list.AddObject(u"line"_s, 7);
    QString other = u"outside"_s;
    const std::uint64_t revision = list.Revision();
    list.SwapString(0, other);
    EXPECT_EQ(list[0], u"outside"_s);
    EXPECT_EQ(list.Objects(0), 7);
    EXPECT_EQ(other, u"line"_s);
    EXPECT_NE(list.Revision(), revision);
    EXPECT_THROW(list.SwapString(1, other), Exception);
    list.SetSorted(true);
    EXPECT_THROW(list.SwapString(0, other), Exception);
}
