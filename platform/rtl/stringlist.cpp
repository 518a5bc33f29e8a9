#include "stringlist.h"

#include "exception.h"
#include "strutils.h"

#include <algorithm>
#include <atomic>

void TStringList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(index));
}

void TStringList::checkPlace(int index) const
{
    // Storing at a chosen place would break the order a sorted list keeps.
    if (m_sorted)
        throw Exception(QStringLiteral("Operation not allowed on sorted list"));
    if (index < 0 || index > Count())
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(index));
}

void TStringList::changed()
{
    // One counter for every list: a revision names one state of one list's
    // content, and a copy takes the state together with its revision.
    // Each thread takes the numbers in blocks, so a change costs no atomic
    // operation, and no two threads hand out the same number.
    // The block lives in the initial thread-local storage block: a list
    // changes once per line stored, and the general model would call the
    // runtime's lookup each time. The 16 bytes fit the room the loader keeps
    // for libraries that are opened later, as a Designer plug-in is.
    constexpr std::uint64_t kBlock = 1 << 16;
    static std::atomic<std::uint64_t> nextBlock{0};
    struct Block
    {
        std::uint64_t last = 0;
        std::uint64_t end = 0;
    };
    [[gnu::tls_model("initial-exec")]] thread_local Block block;
    if (block.last == block.end) {
        block.last = nextBlock.fetch_add(kBlock);
        block.end = block.last + kBlock;
    }
    m_revision = ++block.last;
}

int TStringList::compareStrings(const QString &a, const QString &b) const
{
    return m_caseSensitive ? QString::compare(a, b, Qt::CaseSensitive) : CompareTextIgnoringCase(a, b);
}

void TStringList::insertItem(int index, const QString &s, std::intptr_t object)
{
    m_items.insert(index, Item{s, object});
    changed();
}

int TStringList::Add(const QString &s)
{
    return AddObject(s, 0);
}

int TStringList::AddObject(const QString &s, std::intptr_t object)
{
    if (!m_sorted) {
        insertItem(Count(), s, object);
        return Count() - 1;
    }
    int index = 0;
    if (Find(s, index)) {
        switch (m_duplicates) {
        case dupIgnore:
            return index;
        case dupError:
            throw Exception(QStringLiteral("String list does not allow duplicates"));
        case dupAccept:
            break;
        }
    }
    insertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const QString &s)
{
    InsertObject(index, s, 0);
}

void TStringList::InsertObject(int index, const QString &s, std::intptr_t object)
{
    checkPlace(index);
    insertItem(index, s, object);
}

void TStringList::Put(int index, QStringView s)
{
    checkPlace(index);
    if (index == Count()) {
        insertItem(index, s.toString(), 0);
        return;
    }
    Item &item = m_items[index];
    AssignReusingStorage(item.string, s);
    item.object = 0;
    changed();
}

void TStringList::SwapString(int index, QString &s)
{
    checkPlace(index);
    checkIndex(index);
    m_items[index].string.swap(s);
    changed();
}

void TStringList::Truncate(int count)
{
    if (count < 0)
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(count));
    if (count < Count()) {
        m_items.resize(count);
        changed();
    }
}

void TStringList::Delete(int index)
{
    checkIndex(index);
    m_items.removeAt(index);
    changed();
}

void TStringList::Clear()
{
    m_items.clear();
    changed();
}

void TStringList::Assign(const TStringList &source)
{
    if (&source != this)
        *this = source;
}

const QString &TStringList::Strings(int index) const
{
    checkIndex(index);
    return m_items.at(index).string;
}

void TStringList::SetStrings(int index, const QString &s)
{
    checkIndex(index);
    if (m_sorted)
        throw Exception(QStringLiteral("Operation not allowed on sorted list"));
    m_items[index].string = s;
    changed();
}

std::intptr_t TStringList::Objects(int index) const
{
    checkIndex(index);
    return m_items.at(index).object;
}

void TStringList::SetObjects(int index, std::intptr_t object)
{
    checkIndex(index);
    m_items[index].object = object;
    changed();
}

QString TStringList::Text() const
{
    QString text;
    for (const Item &item : m_items) {
        text += item.string;
        text += QLatin1Char('\n');
    }
    return text;
}

void TStringList::SetText(const QString &text)
{
    Clear();
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        Add(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    // A last line without a line break still counts; a final break does not
    // start another, empty line.
    if (start < size)
        Add(text.mid(start));
}

QString TStringList::Names(int index) const
{
    const QString s = Strings(index);
    const qsizetype eq = s.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : s.left(eq);
}

QString TStringList::ValueFromIndex(int index) const
{
    const QString s = Strings(index);
    const qsizetype eq = s.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : s.mid(eq + 1);
}

int TStringList::IndexOfName(const QString &name) const
{
    // A line's name ends at its first '=', so a name with '=' in it names no line.
    const qsizetype size = name.size();
    if (name.contains(u'='))
        return -1;
    for (int i = 0; i < Count(); ++i) {
        const QString &s = m_items.at(i).string;
        if (s.size() > size && s.at(size) == u'=' && CompareTextIgnoringCase(QStringView(s).left(size), name) == 0)
            return i;
    }
    return -1;
}

QString TStringList::Values(const QString &name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? QString() : ValueFromIndex(index);
}

void TStringList::SetValues(const QString &name, const QString &value)
{
    const int index = IndexOfName(name);
    const QString line = name + QLatin1Char('=') + value;
    if (value.isEmpty()) {
        if (index >= 0)
            Delete(index);
    } else if (index < 0) {
        Add(line);
    } else if (m_sorted) {
        // The new text may belong elsewhere in the order.
        const std::intptr_t object = m_items.at(index).object;
        Delete(index);
        AddObject(line, object);
    } else {
        m_items[index].string = line;
        changed();
    }
}

int TStringList::IndexOf(const QString &s) const
{
    if (m_sorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (compareStrings(m_items.at(i).string, s) == 0)
            return i;
    }
    return -1;
}

bool TStringList::Find(const QString &s, int &index) const
{
    // Lower bound: with duplicates accepted, the first equal string is found.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (compareStrings(m_items.at(mid).string, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && compareStrings(m_items.at(low).string, s) == 0;
}

void TStringList::Sort()
{
    std::stable_sort(m_items.begin(), m_items.end(), [this](const Item &a, const Item &b) {
        return compareStrings(a.string, b.string) < 0;
    });
    changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
    changed();
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive == m_caseSensitive)
        return;
    m_caseSensitive = caseSensitive;
    changed();
    if (m_sorted)
        Sort();
}
