#include "xmloutline.h"
#include "xmltestutil.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTree = kDeclaration
    + "<DATAPACKET><ROWDATA><ROW A='1' B='&amp;'><SUB C='2'><LEAF D='3'/></SUB></ROW></ROWDATA></DATAPACKET>";

TEST(XmlTagTest, ParentsFollowTheLists)
{
    TXMLFile file;
    file.LoadFromBytes(kTree);
    TXMLTag *packet = file.Tags().GetItem(0);
    EXPECT_EQ(packet->Parent(), nullptr);
    EXPECT_EQ(file.Tags().OwnerTag(), nullptr);
    TXMLTag *row = file.GetRows()->GetItem(0);
    EXPECT_EQ(row->Parent()->Parent(), packet);
    EXPECT_EQ(file.GetRows()->OwnerTag(), row->Parent());
    TXMLTag *added = row->Children().Add();
    EXPECT_EQ(added->Parent(), row);
    EXPECT_EQ(row->ChildCount(), 2);
}

TEST(XmlTagTest, CopiesHoldTheirOwnAttributesAfterTheFileIsCleared)
{
    TXMLFile file;
    file.LoadFromBytes(kTree);
    TXMLTagList copy;
    copy.Assign(file.Tags());
    TXMLTag row;
    row.Assign(*file.GetRows()->GetItem(0));
    file.Clear();

    EXPECT_EQ(XMLOutline(file), u"<?xml?>\nfields 0, rows 0\n"_s);
    EXPECT_EQ(row.Attributes().Text(), u"A=1\nB=&\n"_s);
    EXPECT_EQ(row.AttributeValue(u"b"_s), u"&"_s);
    EXPECT_EQ(row.Children().GetItem(0)->Children().GetItem(0)->AttributeValue(u"D"_s), u"3"_s);
    TXMLTag *copiedRow = copy.GetItem(0)->Children().GetItem(0)->Children().GetItem(0);
    EXPECT_EQ(copiedRow->Name(), u"ROW"_s);
    EXPECT_EQ(copiedRow->AttributeValue(u"A"_s), u"1"_s);
    EXPECT_EQ(copiedRow->Children().GetItem(0)->Parent(), copiedRow);
}

TEST(XmlTagTest, SetAttributesAndSetChildrenReplaceByCopies)
{
    TXMLFile file;
    file.LoadFromBytes(kTree);
    TXMLTag *row = file.GetRows()->GetItem(0);

    TStringList attributes;
    attributes.Add(u"Name=x"_s);
    row->SetAttributes(attributes);
    attributes.Add(u"Other=y"_s);
    EXPECT_EQ(row->Attributes().Text(), u"Name=x\n"_s);
    EXPECT_EQ(row->AttributeValue(u"NAME"_s), u"x"_s);

    TXMLTagList children;
    children.Add()->SetName(u"ONE"_s);
    children.Add()->SetName(u"TWO"_s);
    row->SetChildren(children);
    children.GetItem(0)->SetName(u"CHANGED"_s);
    ASSERT_EQ(row->ChildCount(), 2);
    EXPECT_EQ(row->Children().GetItem(0)->Name(), u"ONE"_s);
    EXPECT_EQ(row->Children().GetItem(1)->Parent(), row);

    TXMLTag replacement;
    replacement.SetName(u"NEW"_s);
    file.GetRows()->SetItem(0, replacement);
    EXPECT_EQ(file.GetRows()->GetItem(0)->Name(), u"NEW"_s);
    EXPECT_EQ(file.GetRows()->GetItem(0)->ChildCount(), 0);
    EXPECT_EQ(file.GetRows()->GetItem(0)->Attributes().Count(), 0);
}

TEST(XmlTagTest, CopyingADescendantOverItsAncestorIsSafe)
{
    TXMLFile file;
    file.LoadFromBytes(kTree);
    // The source lies inside what the copy replaces.
    TXMLTag *packet = file.Tags().GetItem(0);
    packet->SetChildren(file.GetRows()->GetItem(0)->Children());
    EXPECT_EQ(XMLOutline(file).section(u'\n', 1), u"DATAPACKET\n  SUB C=\"2\"\n    LEAF D=\"3\"\nfields 0, rows 0\n"_s);

    file.Clear();
    file.LoadFromBytes(kTree);
    TXMLTag *row = file.GetRows()->GetItem(0);
    row->Assign(*row->Children().GetItem(0));
    EXPECT_EQ(row->Name(), u"SUB"_s);
    EXPECT_EQ(row->AttributeValue(u"C"_s), u"2"_s);
    EXPECT_EQ(row->Children().GetItem(0)->Name(), u"LEAF"_s);

    file.SetTags(file.Tags());
    file.SetHeader(file.Header());
    EXPECT_EQ(file.GetRowCount(), 1);
    file.SetTags(file.GetRows()->GetItem(0)->Children());
    EXPECT_EQ(XMLOutline(file).section(u'\n', 1), u"LEAF D=\"3\"\nfields 0, rows 0\n"_s);
}

} // namespace
