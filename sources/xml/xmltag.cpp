#include "xmltag.h"

#include "xmlscanner_p.h"
#include "xmltaglist.h"

#include <QHash>

namespace {

bool isAscii(const char *data, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        if (uchar(data[i]) >= 0x80)
            return false;
    }
    return true;
}

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

// Finds the value the list would hold for one name: that of the last
// attribute of that name, which is also empty when that value is empty.
class ValueFinder final : public AttributeSink
{
public:
    ValueFinder(const XmlText &text, const QString &name)
        : m_text(text), m_name(name), m_asciiName(isAscii(name))
    {
    }

    void Attribute(qsizetype nameBegin, qsizetype nameEnd, qsizetype valueBegin, qsizetype valueEnd) override
    {
        const char *name = m_text.Data() + nameBegin;
        const qsizetype length = nameEnd - nameBegin;
        // Names are nearly always ASCII; compare those without decoding them.
        const bool same = m_asciiName && isAscii(name, length)
            ? QString::compare(m_name, QLatin1StringView(name, length), Qt::CaseInsensitive) == 0
            : QString::compare(m_name, m_text.Decode(nameBegin, nameEnd), Qt::CaseInsensitive) == 0;
        if (same) {
            m_found = true;
            m_valueBegin = valueBegin;
            m_valueEnd = valueEnd;
        }
    }

    QString Value() const { return m_found ? DecodeValue(m_text, m_valueBegin, m_valueEnd) : QString(); }

private:
    const XmlText &m_text;
    const QString &m_name;
    const bool m_asciiName;
    bool m_found = false;
    qsizetype m_valueBegin = 0;
    qsizetype m_valueEnd = 0;
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
    ValueFinder finder(*m_text, Name);
    ScanAttributes(*m_text, m_attributesBegin, m_attributesEnd, finder);
    return finder.Value();
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
