#pragma once

#include "persistent.h"
#include "stringlist.h"

#include <QString>
#include <QStringList>

#include <memory>

class TXMLTagList;
class XmlText;

// One element of an XML data packet: its name, its attributes and its
// children. A tag built by the parser refers into the text of its packet and
// decodes attributes when they are asked for, so a packet of many rows costs
// little more than its text; a copy holds its own attributes.
class TXMLTag : public TCollectionItem
{
public:
    TXMLTag();
    ~TXMLTag() override;

    // The name as it stood in the tag.
    const QString &Name() const { return m_name; }
    void SetName(const QString &Name) { m_name = Name; }

    // The attributes as name=value lines in the order of first appearance,
    // entity and character references decoded. An attribute with an empty
    // value is not held; a later attribute of the same name (letter case
    // ignored) replaces the earlier one.
    TStringList Attributes() const;
    // Replaces the attributes by a copy of Strings.
    void SetAttributes(const TStringList &Strings);
    // The value of the attribute Name, letter case ignored; empty when the tag
    // has no such attribute. Reads one attribute without building the list.
    QString AttributeValue(const QString &Name) const;
    // The values of the attributes Names, in their order, read in one pass:
    // what a reader of rows asks for each row.
    QStringList AttributeValues(const QStringList &Names) const;

    TXMLTagList &Children();
    const TXMLTagList &Children() const;
    // The number of children, without creating an empty list for a leaf.
    int ChildCount() const;
    // Replaces the children by copies of the tags of List.
    void SetChildren(const TXMLTagList &List);

    // The tag that owns the list this tag belongs to; none at the top level.
    TXMLTag *Parent() const;

    // Copies the name, the attributes and, deeply, the children of a TXMLTag.
    void Assign(const TPersistent &Source) override;
    QString GetDisplayName() const override { return m_name; }

private:
    friend class XmlParser;
    // Lets the attributes be read from [begin, end) of text, which the
    // parser has already checked; text outlives the tag.
    void referToText(const XmlText *text, qsizetype begin, qsizetype end);
    TXMLTagList &childList() const;

    QString m_name;
    // Attributes of a tag built or changed by a caller.
    std::unique_ptr<TStringList> m_attributes;
    // Attributes of a parsed tag: the attribute text in the packet.
    const XmlText *m_text = nullptr;
    quint32 m_attributesBegin = 0;
    quint32 m_attributesEnd = 0;
    // Created on first use: most tags of a packet are rows without children.
    mutable std::unique_ptr<TXMLTagList> m_children;
};
