#include "xmltag.h"

#include "xmlscanner_p.h"
#include "xmltaglist.h"

#include <QHash>
#include <QVarLengthArray>

namespace {

bool isAscii(const QString &s)
{
    for (const QChar c : s) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Builds the attribute list as name=value lines are set one after another:
// a later name (letter case ignored) replaces the earlier line, an empty
// value removes it. A hash of the names keeps a tag of many attributes linear.
class ListBuilder final : public AttributeSink
{
public:
    explicit ListBuilder(const XmlText &text) : m_text(text) {}

    void Attribute(qsizetype nameBegin, qsizetype nameEnd, qsizetype valueBegin, qsizetype valueEnd) override
    {
        QString name = m_text.Decode(nameBegin, nameEnd);
        QString value = DecodeValue(m_text, valueBegin, valueEnd);
        const QString key = name.toCaseFolded();
        const auto found = m_index.constFind(key);
        if (found != m_index.cend()) {
            Line &line = m_lines[*found];
            if (value.isEmpty()) {
                line.held = false;
                m_index.erase(found);
            } else {
                line.name = std::move(name);
                line.value = std::move(value);
            }
        } else if (!value.isEmpty()) {
            m_index.insert(key, m_lines.size());
            m_lines.append(Line{std::move(name), std::move(value), true});
        }
    }

    TStringList List() const
    {
        TStringList list;
        for (const Line &line : m_lines) {
            if (line.held)
                list.Add(line.name + QLatin1Char('=') + line.value);
        }
        return list;
    }

private:
    struct Line
    {
        QString name;
        QString value;
        bool held;
    };

    const XmlText &m_text;
    QList<Line> m_lines;
    QHash<QString, qsizetype> m_index;
};

char lowerAscii(char16_t c)
{
    return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

// Both ASCII: letter case folds as in ASCII.
bool sameAsciiName(const QString &name, const char *bytes, qsizetype length)
{
    if (name.size() != length)
        return false;
    const char16_t *chars = reinterpret_cast<const char16_t *>(name.constData());
    for (qsizetype i = 0; i < length; ++i) {
        if (lowerAscii(chars[i]) != lowerAscii(char16_t(uchar(bytes[i]))))
            return false;
    }
    return true;
}

// Finds the values the list would hold for some names: for each, that of the
// last attribute of that name, which is also empty when that value is empty.
// One pass over the attributes serves every name.
class ValueFinder final : public AttributeSink
{
public:
    ValueFinder(const XmlText &text, const QString *names, qsizetype count) : m_text(text), m_names(names)
    {
        m_wanted.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            m_wanted.append(Wanted{isAscii(names[i]), 0, -1});
    }

    void Attribute(qsizetype nameBegin, qsizetype nameEnd, qsizetype valueBegin, qsizetype valueEnd) override
    {
        const char *name = m_text.Data() + nameBegin;
        const qsizetype length = nameEnd - nameBegin;
        const bool asciiName = IsAscii(name, length);
        QString decoded;
        for (qsizetype i = 0; i < m_wanted.size(); ++i) {
            Wanted &wanted = m_wanted[i];
            bool same;
            if (asciiName && wanted.ascii) {
                // Names are nearly always ASCII; compare those without decoding them.
                same = sameAsciiName(m_names[i], name, length);
            } else {
                if (decoded.isNull())
                    decoded = m_text.Decode(nameBegin, nameEnd);
                same = QString::compare(m_names[i], decoded, Qt::CaseInsensitive) == 0;
            }
            if (same) {
                wanted.valueBegin = valueBegin;
                wanted.valueEnd = valueEnd;
            }
        }
    }

    QString Value(qsizetype i) const
    {
        const Wanted &wanted = m_wanted[i];
        return wanted.valueEnd < 0 ? QString() : DecodeValue(m_text, wanted.valueBegin, wanted.valueEnd);
    }

    QStringList Values() const
    {
        QStringList values;
        values.reserve(m_wanted.size());
        for (qsizetype i = 0; i < m_wanted.size(); ++i)
            values.append(Value(i));
        return values;
    }

private:
    struct Wanted
    {
        bool ascii;
        qsizetype valueBegin;
        qsizetype valueEnd;
    };

    const XmlText &m_text;
    const QString *m_names;
    // A row is asked for one value or for those of its fields.
    QVarLengthArray<Wanted, 16> m_wanted;
};

} // namespace

TXMLTag::TXMLTag() = default;

TXMLTag::~TXMLTag() = default;

TStringList TXMLTag::Attributes() const
{
    if (!m_text)
        return m_attributes ? *m_attributes : TStringList();
    ListBuilder builder(*m_text);
    ScanAttributes(*m_text, m_attributesBegin, m_attributesEnd, builder);
    return builder.List();
}

void TXMLTag::SetAttributes(const TStringList &Strings)
{
    m_attributes = std::make_unique<TStringList>(Strings);
    m_text = nullptr;
}

QString TXMLTag::AttributeValue(const QString &Name) const
{
    if (!m_text)
        return m_attributes ? m_attributes->Values(Name) : QString();
    ValueFinder finder(*m_text, &Name, 1);
    ScanAttributes(*m_text, m_attributesBegin, m_attributesEnd, finder);
    return finder.Value(0);
}

QStringList TXMLTag::AttributeValues(const QStringList &Names) const
{
    if (!m_text) {
        QStringList values;
        for (const QString &name : Names)
            values.append(m_attributes ? m_attributes->Values(name) : QString());
        return values;
    }
    ValueFinder finder(*m_text, Names.constData(), Names.size());
    ScanAttributes(*m_text, m_attributesBegin, m_attributesEnd, finder);
    return finder.Values();
}

void TXMLTag::referToText(const XmlText *text, qsizetype begin, qsizetype end)
{
    m_attributes.reset();
    m_text = begin < end ? text : nullptr;
    m_attributesBegin = quint32(begin);
    m_attributesEnd = quint32(end);
}

TXMLTagList &TXMLTag::childList() const
{
    if (!m_children)
        m_children = std::make_unique<TXMLTagList>(const_cast<TXMLTag *>(this));
    return *m_children;
}

TXMLTagList &TXMLTag::Children()
{
    return childList();
}

const TXMLTagList &TXMLTag::Children() const
{
    return childList();
}

int TXMLTag::ChildCount() const
{
    return m_children ? m_children->Count() : 0;
}

void TXMLTag::SetChildren(const TXMLTagList &List)
{
    Children().Assign(List);
}

TXMLTag *TXMLTag::Parent() const
{
    const auto *list = dynamic_cast<const TXMLTagList *>(Collection());
    return list ? list->OwnerTag() : nullptr;
}

void TXMLTag::Assign(const TPersistent &Source)
{
    const auto *source = dynamic_cast<const TXMLTag *>(&Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (source == this)
        return;
    // Read everything of the source first: it may be one of the children
    // that the copy replaces.
    QString name = source->m_name;
    TStringList attributes = source->Attributes();
    if (source->ChildCount() > 0)
        Children().Assign(source->Children());
    else if (m_children)
        m_children->Clear();
    m_name = std::move(name);
    SetAttributes(attributes);
}
