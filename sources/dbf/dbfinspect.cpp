#include "dbfinspect.h"

#include "dbffile.h"

#include <QIODevice>

namespace {

void appendJsonString(QByteArray &out, const QString &text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (uint8_t(c) < 0x20)
                out += "\\u00" + QByteArray::number(uint8_t(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
}

const char *memoName(TMemoType type)
{
    switch (type) {
    case mtDBT: return "dbt";
    case mtFPT: return "fpt";
    case mtNone: break;
    }
    return "none";
}

} // namespace

void WriteDBFInspection(TDBFRead &reader, QIODevice *out)
{
    const int fieldCount = reader.GetFCount();
    QByteArray line = "{\"version\":" + QByteArray::number(reader.GetVersion()) + ",\"records\":"
        + QByteArray::number(reader.GetRCount()) + ",\"fields\":[";
    for (int i = 0; i < fieldCount; ++i) {
        if (i > 0)
            line += ',';
        line += "{\"name\":";
        appendJsonString(line, reader.GetFieldName(i));
        line += ",\"type\":";
        const char type = reader.GetFieldType(i);
        appendJsonString(line, QString::fromLatin1(&type, type ? 1 : 0));
        line += ",\"length\":" + QByteArray::number(reader.GetFieldLength(i)) + ",\"decimals\":"
            + QByteArray::number(reader.GetFieldDec(i)) + '}';
    }
    line += "],\"memo\":\"" + QByteArray(memoName(reader.MemoType())) + "\"}\n";
    out->write(line);

    // Records move on only when field 0 is read, so a table without fields has none to show.
    if (fieldCount <= 0)
        return;
    while (!reader.GetEOF()) {
        const qint64 number = reader.GetRecNo();
        QByteArray values;
        for (int i = 0; i < fieldCount; ++i) {
            const QString value = reader.GetData(i);
            if (i > 0)
                values += ',';
            appendJsonString(values, reader.GetFieldName(i));
            values += ':';
            appendJsonString(values, value);
        }
        line = "{\"record\":" + QByteArray::number(number) + ",\"deleted\":"
            + (reader.GetDeleted() ? "true" : "false") + ",\"values\":{" + values + "}}\n";
        out->write(line);
    }
}
