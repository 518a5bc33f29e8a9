#pragma once

#include <QHash>
#include <QString>
#include <QList>

#include <cstdint>
#include <utility>
#include <vector>

// How a sorted list treats a string it already holds.
enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an opaque object value, that also serves as a
// list of name=value lines. A copyable value type.
class TStringList
{
public:
    TStringList() = default;

    int Count() const { return int(m_items.size()); }
    // Returns the index the string was stored at; for a sorted list that
    // ignores duplicates, the index of the string already held.
    int Add(const QString &s);
    int AddObject(const QString &s, std::intptr_t object);
    void Insert(int index, const QString &s);
    void InsertObject(int index, const QString &s, std::intptr_t object);
    // Line `index` becomes s, without an object; index Count() appends. The
    // line's character storage is reused when no copy shares it, so a list
    // refilled line after line does not allocate. Not for sorted lists.
    void Put(int index, QStringView s);
    // Line `index` and s change places; the line's object stays. A caller
    // that hands the list's lines on this way gives back storage that Put
    // can reuse. Not for sorted lists.
    void SwapString(int index, QString &s);
    // Keeps the first `count` lines.
    void Truncate(int count);
    void Delete(int index);
    void Clear();
    void Assign(const TStringList &source);

    // Valid until the list changes.
    const QString &Strings(int index) const;
    void SetStrings(int index, const QString &s);
    const QString &operator[](int index) const { return Strings(index); }

    std::intptr_t Objects(int index) const;
    void SetObjects(int index, std::intptr_t object);

    // Lines joined with LF, each line ended; SetText accepts CR LF, LF and CR.
    QString Text() const;
    void SetText(const QString &text);

    // name=value lines: the name is the part before the first '='.
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    QString Values(const QString &name) const;
    // Replaces the value of the first line with that name, adds a line when
    // there is none, and deletes the line when the value is empty.
    void SetValues(const QString &name, const QString &value);
    int IndexOfName(const QString &name) const;

    int IndexOf(const QString &s) const;
    // Binary search of a sorted list; index is where s is or would be inserted.
    bool Find(const QString &s, int &index) const;
    void Sort();

    // Changes whenever the lines, their objects or the way they are compared
    // change; equal revisions mean equal lists, also across copies. Lets a
    // reader keep what it looked up in the list for as long as it holds.
    std::uint64_t Revision() const { return m_revision; }

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool caseSensitive);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }

private:
    struct Item
    {
        QString string;
        std::intptr_t object = 0;
    };

    void checkIndex(int index) const;
    // A place a line can be stored at by number: 0..Count(), unsorted lists only.
    void checkPlace(int index) const;
    void changed();
    int compareStrings(const QString &a, const QString &b) const;
    void insertItem(int index, const QString &s, std::intptr_t object);

    QList<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = dupIgnore;
    std::uint64_t m_revision = 0;
};

// Answers worked out from a string list, kept for as long as the list's
// revision stays: for readers that look the same names up row after row.
template<class V>
class TStringListCache
{
public:
    // The answer kept for `key` while `list` is unchanged; else compute(key), kept.
    template<class Compute>
    V Get(const TStringList &list, const QString &key, Compute compute)
    {
        if (m_revision != list.Revision()) {
            m_recent.clear();
            m_values.clear();
            m_revision = list.Revision();
        }
        // Readers pass the same name objects row after row. While a copy is
        // kept here, allocated characters are shared and so cannot change:
        // the same characters at the same address are the same name, found
        // without hashing it. Raw data that is not the string's own (it may
        // change under it) is never kept this way.
        for (const auto &[name, value] : m_recent)
            if (name.constData() == key.constData() && name.size() == key.size())
                return value;
        const auto known = m_values.constFind(key);
        const V value = known != m_values.constEnd() ? *known : compute(key);
        if (known == m_values.constEnd()) {
            // Readers ask for a handful of names; past that many nothing is kept.
            if (m_values.size() >= kMaxKeys)
                m_values.clear();
            // A copy of its own: a key over borrowed characters must not
            // change inside the table.
            m_values.insert(QString(key.constData(), key.size()), value);
        }
        if (m_recent.size() < kRecentKeys && key.data_ptr().isMutable())
            m_recent.emplace_back(key, value);
        return value;
    }

private:
    static constexpr qsizetype kMaxKeys = 4096;
    static constexpr size_t kRecentKeys = 32;
    std::vector<std::pair<QString, V>> m_recent;
    QHash<QString, V> m_values;
    std::uint64_t m_revision = 0;
};
