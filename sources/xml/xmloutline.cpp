#include "xmloutline.h"

#include "xmlfile.h"

using namespace Qt::StringLiterals;

namespace {

void appendEscaped(QString &out, const QString &value)
{
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += "\\\\"_L1; break;
        case '"': out += "\\\""_L1; break;
        case '\n': out += "\\n"_L1; break;
        case '\r': out += "\\r"_L1; break;
        case '\t': out += "\\t"_L1; break;
        default:
            if (c.unicode() < 0x20)
                out += u"\\x%1"_s.arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
}

void appendAttributes(QString &out, const TXMLTag &tag)
{
    const TStringList attributes = tag.Attributes();
    for (int i = 0; i < attributes.Count(); ++i) {
        out += QLatin1Char(' ') + attributes.Names(i) + "=\""_L1;
        appendEscaped(out, attributes.ValueFromIndex(i));
        out += QLatin1Char('"');
    }
}

void appendTag(QString &out, const TXMLTag &tag, int depth)
{
    out += QString(2 * depth, QLatin1Char(' ')) + tag.Name();
    appendAttributes(out, tag);
    out += QLatin1Char('\n');
    for (int i = 0; i < tag.ChildCount(); ++i)
        appendTag(out, *tag.Children().GetItem(i), depth + 1);
}

} // namespace

QString XMLOutline(const TXMLFile &File)
{
    QString out = u"<?xml"_s;
    appendAttributes(out, File.Header());
    out += "?>\n"_L1;
    for (int i = 0; i < File.Tags().Count(); ++i)
        appendTag(out, *File.Tags().GetItem(i), 0);
    out += u"fields %1, rows %2\n"_s.arg(File.GetFieldCount()).arg(File.GetRowCount());
    return out;
}
