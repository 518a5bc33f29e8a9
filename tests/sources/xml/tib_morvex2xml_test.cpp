#include "tib_morvex2xml.h"

#include "inifile.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kPacket =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"ID\" fieldtype=\"i4\"/><FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>"
    "<ROW ID=\"1\" Name=\"one\"/><ROW ID=\"2\"/><ROW ID=\"3\" Name=\"Tom &amp; Jerry\"/>"
    "<ROW ID=\"4\" Name=\" four \"/><ROW ID=\"5\" Name=\"five\"/>"
    "</ROWDATA></DATAPACKET>";

class XmlImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = dir.filePath(QStringLiteral("packet.xml"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kPacket);
        file.close();
        xml.SetFileName(path);
        grid.setColumnCount(2);
        xml.SetImportDestination(mxdStringGrid);
        xml.SetStringGrid(&grid);
        xml.Map().Add(QStringLiteral("0=id"));
        xml.Map().Add(QStringLiteral("1=NAME"));
    }

    QStringList rows() const
    {
        QStringList texts;
        for (int r = 0; r < grid.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid.columnCount(); ++c)
                cells << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
            texts << cells.join(u'|');
        }
        return texts;
    }

    QTemporaryDir dir;
    QTableWidget grid;
    TIB_Morvex2XML xml;
};

TEST_F(XmlImportTest, AttributesByNameIgnoringCaseMissingOnesEmpty)
{
    xml.Execute();
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("1|one"), QStringLiteral("2|"), QStringLiteral("3|Tom & Jerry"),
                                   QStringLiteral("4|four"), QStringLiteral("5|five")}));
    EXPECT_EQ(xml.TotalRecCount(), 5);
}

TEST_F(XmlImportTest, SkipFirstRowsAndImportRecCount)
{
    xml.SetSkipFirstRows(2);
    xml.SetImportRecCount(2);
    xml.Execute();
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("3|Tom & Jerry"), QStringLiteral("4|four")}));
}

TEST_F(XmlImportTest, BrokenPacketFailsBeforeTheFirstRowAndKeepsNothingOpen)
{
    QFile file(xml.FileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kPacket.left(kPacket.size() / 2));
    file.close();
    EXPECT_THROW(xml.Execute(), Exception);
    EXPECT_EQ(grid.rowCount(), 0);
}

TEST_F(XmlImportTest, SkipLinesIsStoredInItsSection)
{
    const QString path = dir.filePath(QStringLiteral("cfg.ini"));
    xml.SetSkipFirstRows(4);
    xml.SaveConfiguration(path);
    TIB_Morvex2XML loaded;
    loaded.LoadConfiguration(path);
    EXPECT_EQ(loaded.SkipFirstRows(), 4);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("XML_OPTIONS"), QStringLiteral("SkipLines"), 0), 4);
}

} // namespace
