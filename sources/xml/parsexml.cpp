#include "xmlfile.h"

#include "exception.h"
#include "xmlscanner_p.h"

#include <QHash>
#include <QSet>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Names repeat on every row; sharing their text keeps a row small. The table
// is bounded so that a packet of ever new names cannot grow it without end.
constexpr qsizetype kMaxSharedNames = 1024;

// The declaration's attributes: version first, then only standalone and
// encoding, each at most once.
class DeclarationReader final : public AttributeSink
{
public:
    DeclarationReader(const XmlText &text, TXMLTag &header) : m_text(text), m_header(header) {}

    void Name(qsizetype begin, qsizetype end) override
    {
        const QString name = m_text.Decode(begin, end);
        // The text is the reader's own, placeholder included.
        if (m_names == 0 && name != "version"_L1)
            throw Exception(u"Version attribute expected but $s found"_s);
        if (m_names > 0 && name != "standalone"_L1 && name != "encoding"_L1)
            throw Exception(u"Unexpected attriute name %1"_s.arg(name));
        if (m_stored.contains(name))
            throw Exception(u"Attribute %1 duplicates"_s.arg(name));
        ++m_names;
    }

    void Attribute(qsizetype nameBegin, qsizetype nameEnd, qsizetype valueBegin, qsizetype valueEnd) override
    {
        const QString name = m_text.Decode(nameBegin, nameEnd);
        const QString value = DecodeValue(m_text, valueBegin, valueEnd);
        TStringList attributes = m_header.Attributes();
        attributes.SetValues(name, value);
        m_header.SetAttributes(attributes);
        if (!value.isEmpty())
            m_stored.insert(name);
        if (name == "encoding"_L1)
            m_encoding = value;
    }

    const QString &Encoding() const { return m_encoding; }

private:
    const XmlText &m_text;
    TXMLTag &m_header;
    int m_names = 0;
    QSet<QString> m_stored;
    QString m_encoding;
};

// Checks the attributes of an ordinary tag and remembers where the last
// complete one ends, so that a tag that fails keeps those before the failure.
class AttributeChecker final : public AttributeSink
{
public:
    explicit AttributeChecker(qsizetype begin) : m_end(begin) {}

    void Attribute(qsizetype, qsizetype, qsizetype, qsizetype valueEnd) override { m_end = valueEnd + 1; }

    qsizetype End() const { return m_end; }

private:
    qsizetype m_end;
};

} // namespace

// The document-level state machine: whitespace and the declaration, then
// whitespace and tags, until the text ends or the field list has been read.
//
// Strict where data would be lost or misread: text outside tags, comments and
// other markup, bad names, unpaired close tags, malformed references, a packet
// that ends inside a tag or with elements open, and names, values or nesting
// beyond their caps all raise. Lenient where nothing is lost: anything after
// the name of a close tag, an attribute left without a value at the end of a
// tag (it is not stored), and any character but the closing quote in a value.
class XmlParser
{
public:
    XmlParser(const XmlParser &) = delete;
    XmlParser &operator=(const XmlParser &) = delete;

    // The file keeps the text for as long as its tags refer into it.
    static void Parse(TXMLFile &file, const QByteArray &bytes, bool stopAtFields)
    {
        file.m_texts.push_back(std::make_unique<XmlText>(bytes));
        XmlParser(file, *file.m_texts.back(), stopAtFields).run();
    }

private:
    XmlParser(TXMLFile &file, XmlText &text, bool stopAtFields)
        : m_file(file), m_text(text), m_data(text.Data()), m_stopAtFields(stopAtFields)
    {
    }

    void run()
    {
        enum class State { BeforeDeclaration, BetweenTags };
        State state = State::BeforeDeclaration;
        const qsizetype size = m_text.Size();
        qsizetype pos = 0;
        while (pos < size) {
            if (IsXmlWhitespace(m_data[pos])) {
                ++pos;
                continue;
            }
            if (m_data[pos] != '<')
                RaiseUnexpectedSymbol(m_text, 0, pos);
            const qsizetype begin = pos + 1;
            const qsizetype end = tagEnd(begin);
            // A packet cut off inside a tag has lost its end: report the
            // tag that never closes instead of loading part of the rows.
            if (end == size)
                RaiseUnexpectedSymbol(m_text, 0, pos);
            if (state == State::BeforeDeclaration) {
                declaration(begin, end);
                state = State::BetweenTags;
            } else if (!tag(pos, begin, end)) {
                return;
            }
            pos = end + 1;
        }
        // Likewise an element left open at the end of the text.
        if (!m_open.empty())
            throw Exception(u"%1 - corresponding tag not found"_s.arg(m_open.back().tag->Name()));
    }

    struct OpenElement
    {
        TXMLTag *tag;
        qsizetype nameBegin;
        qsizetype nameEnd;
    };

    // The '>' that ends the tag starting at begin, or the end of the text. A
    // '>' inside a quoted attribute value belongs to the value.
    qsizetype tagEnd(qsizetype begin) const
    {
        const qsizetype size = m_text.Size();
        for (qsizetype i = begin; i < size; ++i) {
            const char c = m_data[i];
            if (c == '>')
                return i;
            if (c == '"' || c == '\'') {
                const void *close = std::memchr(m_data + i + 1, c, size_t(size - i - 1));
                if (!close)
                    return size;
                i = static_cast<const char *>(close) - m_data;
            }
        }
        return size;
    }

    // "<?xml version=... ?>": the text between "?xml" and the final '?' holds
    // the attributes.
    void declaration(qsizetype begin, qsizetype end)
    {
        if (end - begin < 5 || std::memcmp(m_data + begin, "?xml", 4) != 0 || m_data[end - 1] != '?')
            throw Exception(u"XML header failed"_s);
        DeclarationReader reader(m_text, m_file.m_header);
        ScanAttributes(m_text, begin + 4, end - 1, reader);
        m_text.SetEncoding(reader.Encoding());
    }

    // One tag between '<' at lt and '>' at end. False when parsing stops.
    bool tag(qsizetype lt, qsizetype begin, qsizetype end)
    {
        if (begin == end)
            RaiseUnexpectedSymbol(m_text, begin, end);
        int length = 0;
        const bool closing = m_data[begin] == '/';
        if (!closing && !IsNameStartChar(m_text.CharAt(begin, length)))
            RaiseUnexpectedSymbol(m_text, begin, begin);
        qsizetype i = closing ? begin + 1 : begin + length;
        while (i < end) {
            const char c = m_data[i];
            // A slash that ends the tag ends the name as a blank would: <ROWDATA/>.
            if (IsXmlWhitespace(c) || (c == '/' && i == end - 1))
                break;
            if (i - begin >= kMaxNameLength || !IsNameChar(m_text.CharAt(i, length)))
                RaiseUnexpectedSymbol(m_text, begin, i);
            i += length;
        }
        const qsizetype nameEnd = i;

        if (closing) {
            const qsizetype nameLength = nameEnd - begin - 1;
            if (m_open.empty() || m_open.back().nameEnd - m_open.back().nameBegin != nameLength
                || std::memcmp(m_data + m_open.back().nameBegin, m_data + begin + 1, size_t(nameLength)) != 0)
                throw Exception(u"%1 - corresponding tag not found"_s.arg(m_text.Decode(begin, nameEnd)));
            m_open.pop_back();
            return !(m_stopAtFields && nameEnd - begin == 7 && qstrnicmp(m_data + begin, "/FIELDS", 7) == 0);
        }

        if (qsizetype(m_open.size()) >= kMaxNestingDepth) {
            qCWarning(lcXml) << "XML elements nest deeper than" << kMaxNestingDepth << "levels";
            RaiseUnexpectedSymbol(m_text, 0, lt);
        }
        TXMLTagList &list = m_open.empty() ? m_file.m_tags : m_open.back().tag->Children();
        TXMLTag *element = list.Add();
        element->SetName(sharedName(begin, nameEnd));
        const bool empty = m_data[end - 1] == '/';
        const qsizetype attributesEnd = empty ? end - 1 : end;
        AttributeChecker checker(nameEnd);
        try {
            ScanAttributes(m_text, nameEnd, attributesEnd, checker);
        } catch (const Exception &) {
            element->referToText(&m_text, nameEnd, checker.End());
            throw;
        }
        element->referToText(&m_text, nameEnd, attributesEnd);
        if (!empty)
            m_open.push_back(OpenElement{element, begin, nameEnd});
        return true;
    }

    QString sharedName(qsizetype begin, qsizetype end)
    {
        const QByteArray key = QByteArray::fromRawData(m_data + begin, end - begin);
        const auto found = m_names.constFind(key);
        if (found != m_names.cend())
            return *found;
        QString name = m_text.Decode(begin, end);
        if (m_names.size() < kMaxSharedNames)
            m_names.insert(QByteArray(m_data + begin, end - begin), name);
        return name;
    }

    TXMLFile &m_file;
    XmlText &m_text;
    const char *m_data;
    const bool m_stopAtFields;
    std::vector<OpenElement> m_open;
    QHash<QByteArray, QString> m_names;
};

void ParseXML(TXMLFile &XMLFile, const QByteArray &Text, bool StopAtFields)
{
    XmlParser::Parse(XMLFile, Text, StopAtFields);
}
