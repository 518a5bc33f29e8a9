#include "xmlfile.h"

#include "exception.h"
#include "xmlscanner_p.h"

#include <QFile>
#include <QIODevice>

using namespace Qt::StringLiterals;

// Debug lines (one per loaded packet) only when asked for.
Q_LOGGING_CATEGORY(lcXml, "morvex.xml", QtInfoMsg)

namespace {

// A stream is read in pieces so that one longer than the packet limit is
// refused before it is held in memory.
constexpr qint64 kReadChunk = qint64(4) << 20;

[[noreturn]] void raiseTooLarge()
{
    throw Exception(u"The XML file is larger than %1 bytes"_s.arg(kMaxTextSize));
}

QByteArray readAll(QIODevice *device)
{
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        throw Exception(u"Cannot read the XML file: %1"_s.arg(device->errorString()));
    if (!device->isSequential()) {
        if (device->size() - device->pos() > kMaxTextSize)
            raiseTooLarge();
        return device->readAll();
    }
    QByteArray bytes;
    for (;;) {
        const QByteArray chunk = device->read(kReadChunk);
        if (chunk.isEmpty() && !device->waitForReadyRead(-1))
            break;
        if (chunk.size() > kMaxTextSize - bytes.size())
            raiseTooLarge();
        bytes += chunk;
    }
    return bytes;
}

TXMLTag *lastChild(const TXMLTagList &list, QLatin1StringView name)
{
    for (int i = list.Count() - 1; i >= 0; --i) {
        TXMLTag *tag = list.Items(i);
        if (tag->Name().compare(name, Qt::CaseInsensitive) == 0)
            return tag;
    }
    return nullptr;
}

TXMLTag *lastChild(const TXMLTag *tag, QLatin1StringView name)
{
    return tag && tag->ChildCount() > 0 ? lastChild(tag->Children(), name) : nullptr;
}

} // namespace

TXMLFile::TXMLFile() = default;

TXMLFile::~TXMLFile() = default;

void TXMLFile::Load(bool StopAtFields)
{
    if (m_fileName.isEmpty())
        throw Exception(u"File name is not defined"_s);
    QFile file(m_fileName);
    if (!file.exists())
        throw Exception(u"File %1 not found"_s.arg(m_fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(u"Cannot open file %1: %2"_s.arg(m_fileName, file.errorString()));
    Load(&file, StopAtFields);
}

void TXMLFile::Load(QIODevice *Device, bool StopAtFields)
{
    m_loaded = false;
    LoadFromBytes(readAll(Device), StopAtFields);
}

void TXMLFile::LoadFromBytes(const QByteArray &Bytes, bool StopAtFields)
{
    m_loaded = false;
    ParseXML(*this, Bytes, StopAtFields);
    m_loaded = true;
    qCDebug(lcXml) << "Loaded an XML packet of" << Bytes.size() << "bytes:" << GetFieldCount() << "fields,"
                   << GetRowCount() << "rows";
}

void TXMLFile::Clear()
{
    m_header.SetName(QString());
    m_header.SetAttributes(TStringList());
    m_header.Children().Clear();
    m_tags.Clear();
    m_texts.clear();
    m_loaded = false;
}

QByteArray TXMLFile::Text() const
{
    return m_texts.empty() ? QByteArray() : m_texts.back()->Bytes();
}

TXMLTagList *TXMLFile::GetFields() const
{
    TXMLTag *fields = lastChild(lastChild(lastChild(m_tags, "DATAPACKET"_L1), "METADATA"_L1), "FIELDS"_L1);
    return fields ? &fields->Children() : nullptr;
}

int TXMLFile::GetFieldCount() const
{
    const TXMLTagList *fields = m_loaded ? GetFields() : nullptr;
    return fields ? fields->Count() : 0;
}

TXMLTagList *TXMLFile::GetRows() const
{
    TXMLTag *rows = lastChild(lastChild(m_tags, "DATAPACKET"_L1), "ROWDATA"_L1);
    return rows ? &rows->Children() : nullptr;
}

int TXMLFile::GetRowCount() const
{
    const TXMLTagList *rows = m_loaded ? GetRows() : nullptr;
    return rows ? rows->Count() : 0;
}
