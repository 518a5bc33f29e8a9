// Packets written by Free Pascal's TBufDataset, imported into a Firebird table.
#include "tib_morvex2xml.h"

#include "formatsettings.h"
#include "ibo_testdb.h"
#include "qtprinters.h"
#include "tib_column.h"
#include "tib_query.h"
#include "xmltestutil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class XmlDatabaseImportTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        ResetFormatSettings();
        db->Execute({QStringLiteral("CREATE TABLE PACKET (NAME VARCHAR(60), QTY INTEGER, PRICE DOUBLE PRECISION,"
                                    " BORN DATE, STAMP TIMESTAMP, OK BOOLEAN, NOTE BLOB SUB_TYPE TEXT, PIC BLOB)")});
        transaction.SetIB_Connection(&db->Connection());
        query.SetIB_Connection(&db->Connection());
        query.SetIB_Transaction(&transaction);
        query.SetSQL(QStringLiteral("SELECT * FROM PACKET"));
        query.Open();
        xml.SetDataSet(&query);
        for (const char *field : {"NAME", "QTY", "PRICE", "BORN", "STAMP", "OK", "NOTE", "PIC"})
            xml.Map().Add(QStringLiteral("%1=%1").arg(QLatin1String(field)));
        // The formats the fixture writer stored its dates and numbers in.
        xml.Formats().SetShortDateFormat(QStringLiteral("yyyy-mm-dd"));
        xml.Formats().SetDateSeparator(u'-');
        xml.Formats().SetLongTimeFormat(QStringLiteral("hh:nn:ss"));
        xml.Formats().SetDecimalSeparator(u'.');
        xml.OnNeedCommit = [this](QObject *) { transaction.CommitRetaining(); };
    }

    void TearDown() override
    {
        query.Close();
        if (transaction.InTransaction())
            transaction.Commit();
        TIB_DatabaseTest::TearDown();
    }

    void import(const char *fixture)
    {
        xml.SetFileName(fixturePath(fixture));
        xml.Execute();
    }

    // The table's rows in QTY order, a query of their own.
    std::unique_ptr<TIB_Query> stored()
    {
        auto check = std::make_unique<TIB_Query>();
        check->SetIB_Connection(&db->Connection());
        check->SetIB_Transaction(&transaction);
        check->SetSQL(QStringLiteral("SELECT NAME, QTY, PRICE, BORN, STAMP, OK, NOTE, PIC FROM PACKET ORDER BY QTY"));
        check->Open();
        check->First();
        return check;
    }

    TIB_Transaction transaction;
    TIB_Query query;
    TIB_Morvex2XML xml;
};

TEST_F(XmlDatabaseImportTest, EveryValueOfEveryKindArrives)
{
    import("types.xml");
    EXPECT_EQ(xml.ImportedRecs(), 3);
    EXPECT_EQ(xml.ErrorRecs(), 0);

    const std::unique_ptr<TIB_Query> rows = stored();
    const auto field = [&rows](const char *name) { return rows->FieldByName(QLatin1String(name)); };
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(field("NAME")->AsString(), QStringLiteral("Café & <Bar> \"Q\" 'A'"));
    EXPECT_EQ(field("QTY")->AsInteger(), -42);
    EXPECT_DOUBLE_EQ(field("PRICE")->AsDouble(), 3.25);
    EXPECT_DOUBLE_EQ(field("BORN")->AsDateTime(), EncodeDate(1999, 12, 31));
    EXPECT_NEAR(field("STAMP")->AsDateTime(), EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 7, 0), 1e-8);
    EXPECT_TRUE(field("OK")->AsBoolean());
    EXPECT_EQ(field("NOTE")->AsString(), QStringLiteral("line1\r\nline2\ttab"));
    // Blobs travel in the packet as base64 text, and reach the column as that text.
    EXPECT_EQ(field("PIC")->AsBytes(), QByteArray("AAECeHl6"));

    // The row the writer left all but QTY empty in has no other attributes:
    // text columns take the empty text, the others stay null.
    rows->Next();
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(field("QTY")->AsInteger(), 0);
    for (const char *name : {"NAME", "NOTE", "PIC"})
        EXPECT_TRUE(!field(name)->IsNull() && field(name)->AsBytes().isEmpty()) << name;
    for (const char *name : {"PRICE", "BORN", "STAMP", "OK"})
        EXPECT_TRUE(field(name)->IsNull()) << name;

    rows->Next();
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(field("NAME")->AsString(), QStringLiteral("Привет, 日本 €"));
    EXPECT_EQ(field("QTY")->AsInteger(), 2147483647);
    EXPECT_DOUBLE_EQ(field("PRICE")->AsDouble(), -1.5e-7);
    EXPECT_DOUBLE_EQ(field("BORN")->AsDateTime(), EncodeDate(1900, 1, 1));
    EXPECT_DOUBLE_EQ(field("STAMP")->AsDateTime(), EncodeDate(1970, 1, 1));
    EXPECT_FALSE(field("OK")->AsBoolean());
    EXPECT_EQ(field("NOTE")->AsString(), QStringLiteral("a > b && c < d"));
    EXPECT_EQ(field("PIC")->AsBytes(), QByteArray("YWJj"));

    rows->Next();
    EXPECT_TRUE(rows->Eof());
}

TEST_F(XmlDatabaseImportTest, EmptyPacketImportsNoRowAndFinishes)
{
    import("empty.xml");
    EXPECT_EQ(xml.ImportedRecs(), 0);
    EXPECT_EQ(xml.ErrorRecs(), 0);
    EXPECT_TRUE(stored()->Eof());
}

// The same name stored in each encoding the packets declare (or, for the
// ANSI packet, do not declare).
struct EncodedPacket
{
    const char *label;
    const char *fixture;
    const char *name;
};

class XmlDatabaseEncodingTest : public XmlDatabaseImportTest, public ::testing::WithParamInterface<EncodedPacket>
{
};

TEST_P(XmlDatabaseEncodingTest, NonAsciiNameArrivesAsWritten)
{
    import(GetParam().fixture);
    EXPECT_EQ(xml.ImportedRecs(), 1);
    const std::unique_ptr<TIB_Query> rows = stored();
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(rows->FieldByName(QStringLiteral("NAME"))->AsString(), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Packets, XmlDatabaseEncodingTest,
                         ::testing::Values(EncodedPacket{"Latin1", "latin1_encoding.xml", "Ærø Çà Ñoño ÿ"},
                                           EncodedPacket{"Windows1251", "windows1251_encoding.xml",
                                                         "Съешь же ещё этих булок"},
                                           EncodedPacket{"AnsiWithoutEncoding", "ansi_without_encoding.xml",
                                                         "Ærø Çà Ñoño ÿ"}),
                         [](const ::testing::TestParamInfo<EncodedPacket> &info) { return std::string(info.param.label); });

} // namespace
