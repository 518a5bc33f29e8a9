#pragma once

#include "xmltag.h"
#include "xmltaglist.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class XmlText;

// An XML data packet loaded into a tree of tags: the declaration's attributes
// in the header, the elements below, and the field list and rows found in
// DATAPACKET / METADATA / FIELDS and DATAPACKET / ROWDATA (names of those
// three levels compared without regard to letter case).
//
// Loading adds to what an earlier load built; call Clear() before loading
// another packet into the same object. A failed load raises Exception and
// leaves the tree built up to the failure, with the loaded flag clear.
class TXMLFile
{
public:
    TXMLFile();
    ~TXMLFile();
    TXMLFile(const TXMLFile &) = delete;
    TXMLFile &operator=(const TXMLFile &) = delete;

    const QString &FileName() const { return m_fileName; }
    void SetFileName(const QString &FileName) { m_fileName = FileName; }

    // Reads the file named by FileName() whole and parses it. With
    // StopAtFields, parsing ends after the first closing FIELDS tag, so a
    // caller that only needs the field list skips the rows.
    void Load(bool StopAtFields = false);
    // The same for the rest of an open device (opened for reading when it is not open).
    void Load(QIODevice *Device, bool StopAtFields = false);
    void LoadFromBytes(const QByteArray &Bytes, bool StopAtFields = false);

    // Empties the header and the top-level tags and clears the loaded flag.
    void Clear();

    // The declaration: its attributes; its name stays empty.
    TXMLTag &Header() { return m_header; }
    const TXMLTag &Header() const { return m_header; }
    void SetHeader(const TXMLTag &Tag) { m_header.Assign(Tag); }

    TXMLTagList &Tags() { return m_tags; }
    const TXMLTagList &Tags() const { return m_tags; }
    void SetTags(const TXMLTagList &List) { m_tags.Assign(List); }

    bool Loaded() const { return m_loaded; }
    // The bytes of the packet loaded last.
    QByteArray Text() const;

    // The children of the last FIELDS of the last METADATA of the last
    // DATAPACKET; none when there is no such element.
    TXMLTagList *GetFields() const;
    // 0 when not loaded or without a field list.
    int GetFieldCount() const;
    // The children of the last ROWDATA of the last DATAPACKET; none when there is none.
    TXMLTagList *GetRows() const;
    // 0 when not loaded or without rows.
    int GetRowCount() const;

private:
    friend class XmlParser;

    // The text of every packet parsed since the last Clear(): parsed tags
    // read their attributes from it, so it is declared before them.
    std::vector<std::unique_ptr<XmlText>> m_texts;
    QString m_fileName;
    TXMLTag m_header;
    TXMLTagList m_tags;
    bool m_loaded = false;
};

// Parses Text, the bytes of an XML data packet, adding the declaration's
// attributes to the header of XMLFile and the elements to its tags. Raises
// Exception with the reader's messages.
void ParseXML(TXMLFile &XMLFile, const QByteArray &Text, bool StopAtFields);
