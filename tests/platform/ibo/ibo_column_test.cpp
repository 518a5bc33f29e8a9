#include "eib_error.h"
#include "ibo_testdb.h"
#include "qtprinters.h"
#include "tib_query.h"
#include "tib_row.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ColumnTest : public TIB_DatabaseTest
{
protected:
    void SetUp() override
    {
        TIB_DatabaseTest::SetUp();
        db->Execute({u"CREATE TABLE ALLTYPES ("
                     "ID INTEGER NOT NULL PRIMARY KEY, S SMALLINT, I INTEGER, B BIGINT, N0 NUMERIC(9,0),"
                     "N1 NUMERIC(9,1), N2 NUMERIC(15,2), N4 NUMERIC(18,4), N6 NUMERIC(18,6),"
                     "F FLOAT, D DOUBLE PRECISION, C CHAR(5), V VARCHAR(10), DT DATE, TM TIME, TS TIMESTAMP,"
                     "BO BOOLEAN, TB BLOB SUB_TYPE TEXT, BB BLOB SUB_TYPE BINARY, OC VARCHAR(4) CHARACTER SET OCTETS,"
                     "TWICE COMPUTED BY (I * 2))"_s});
        query.SetIB_Connection(&db->Connection());
        query.SetSQL(u"SELECT * FROM ALLTYPES ORDER BY ID"_s);
        query.Open();
    }

    void TearDown() override
    {
        query.Unprepare();
        TIB_DatabaseTest::TearDown();
    }

    TIB_Column *col(const char *name) { return query.FieldByName(QString::fromLatin1(name)); }

    // Posts the row being inserted and reads it back from the database.
    void PostAndReload(int id)
    {
        query.Post();
        query.Close();
        query.Open();
        ASSERT_TRUE(query.Locate(u"ID"_s, id));
    }

    TIB_Query query;
};

TEST_F(ColumnTest, KindsFollowTheFirebirdTypes)
{
    struct Case
    {
        const char *name;
        TIB_ColumnKind kind;
    };
    const Case cases[] = {
        {"S", TIB_ColumnKind::Integer},   {"I", TIB_ColumnKind::Integer},  {"B", TIB_ColumnKind::Integer},
        {"N0", TIB_ColumnKind::Integer},  {"N1", TIB_ColumnKind::Currency}, {"N2", TIB_ColumnKind::Currency},
        {"N4", TIB_ColumnKind::Currency}, {"N6", TIB_ColumnKind::Float},   {"F", TIB_ColumnKind::Float},
        {"D", TIB_ColumnKind::Float},     {"C", TIB_ColumnKind::Text},     {"V", TIB_ColumnKind::Text},
        {"DT", TIB_ColumnKind::Date},     {"TM", TIB_ColumnKind::Time},    {"TS", TIB_ColumnKind::DateTime},
        {"BO", TIB_ColumnKind::Boolean},  {"TB", TIB_ColumnKind::TextBlob}, {"BB", TIB_ColumnKind::Blob},
    };
    for (const Case &c : cases)
        EXPECT_EQ(col(c.name)->Kind(), c.kind) << c.name;

    EXPECT_TRUE(col("N2")->IsCurrency());
    EXPECT_TRUE(col("N2")->IsNumeric());
    EXPECT_TRUE(col("N6")->IsNumeric());
    EXPECT_FALSE(col("N6")->IsCurrency());
    EXPECT_TRUE(col("DT")->IsDateTime());
    EXPECT_TRUE(col("DT")->IsDateOnly());
    EXPECT_TRUE(col("TM")->IsTimeOnly());
    EXPECT_TRUE(col("TS")->IsDateTime());
    EXPECT_FALSE(col("TS")->IsDateOnly());
    EXPECT_TRUE(col("TB")->IsBlob());
    EXPECT_TRUE(col("BB")->IsBlob());
    EXPECT_FALSE(col("TB")->IsText());
    EXPECT_TRUE(col("BO")->IsBoolean());
    EXPECT_FALSE(col("BO")->IsNumeric());
    EXPECT_EQ(col("V")->CharLength(), 10);
    EXPECT_EQ(col("N2")->Scale(), 2);
    EXPECT_TRUE(col("TWICE")->ReadOnly());
    EXPECT_TRUE(col("TWICE")->Computed());
    EXPECT_FALSE(col("I")->ReadOnly());
    EXPECT_EQ(col("V")->Index(), 12);
    EXPECT_EQ(query.Fields()->Columns(12), col("V"));
    EXPECT_EQ(query.FindField(u"v"_s), col("V"));
    EXPECT_EQ(query.FindField(u"NOPE"_s), nullptr);
    EXPECT_THROW(query.FieldByName(u"NOPE"_s), EIB_Error);
    EXPECT_EQ(query.FieldCount(), 21);
}

TEST_F(ColumnTest, EveryTypeRoundTripsThroughTheDatabase)
{
    QByteArray binary(70 * 1024, '\0');
    for (qsizetype i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7 + i / 256) & 0xFF);
    QString longText;
    while (longText.size() < 70000)
        longText += u"Ärger über Привет мир — 日本語 "_s;

    query.Append();
    col("ID")->SetAsInteger(1);
    col("S")->SetAsInteger(-32768);
    col("I")->SetAsInteger(2147483647);
    col("B")->SetAsInt64(-9223372036854775807LL);
    col("N0")->SetAsInt64(123456789);
    col("N1")->SetAsCurrency(Currency{-12345}); // -1.2345 rounds to -1.2
    col("N2")->SetAsCurrency(Currency{1234567895}); // 123456.7895 rounds to 123456.79
    col("N4")->SetAsString(u"-98765.4321"_s);
    col("N6")->SetAsDouble(1.234567);
    col("F")->SetAsDouble(0.5);
    col("D")->SetAsDouble(-1.0e300);
    col("C")->SetAsString(u"ab"_s);
    col("V")->SetAsString(u"Привет мир"_s);
    col("DT")->SetAsDateTime(EncodeDate(2024, 2, 29));
    col("TM")->SetAsDateTime(EncodeTime(13, 45, 30, 250));
    col("TS")->SetAsDateTime(EncodeDate(1850, 1, 1) - EncodeTime(6, 0, 0, 0));
    col("BO")->SetAsBoolean(true);
    col("TB")->SetAsString(longText);
    col("BB")->SetAsBytes(binary);
    col("OC")->SetAsBytes(QByteArray("\x00\xff\x01\x80", 4));
    PostAndReload(1);

    EXPECT_EQ(col("S")->AsInteger(), -32768);
    EXPECT_EQ(col("I")->AsInt64(), 2147483647);
    EXPECT_EQ(col("B")->AsInt64(), -9223372036854775807LL);
    EXPECT_EQ(col("N0")->AsInt64(), 123456789);
    EXPECT_EQ(col("N1")->AsCurrency().Value, -12000);
    EXPECT_EQ(col("N1")->AsString(), u"-1.2"_s);
    EXPECT_EQ(col("N2")->AsCurrency().Value, 1234567900);
    EXPECT_EQ(col("N2")->AsString(), u"123456.79"_s);
    EXPECT_EQ(col("N4")->AsCurrency().Value, -987654321);
    EXPECT_DOUBLE_EQ(col("N6")->AsDouble(), 1.234567);
    EXPECT_EQ(col("N6")->AsString(), u"1.234567"_s);
    EXPECT_DOUBLE_EQ(col("F")->AsDouble(), 0.5);
    EXPECT_DOUBLE_EQ(col("D")->AsDouble(), -1.0e300);
    EXPECT_EQ(col("C")->AsString(), u"ab"_s);
    EXPECT_EQ(col("V")->AsString(), u"Привет мир"_s);
    EXPECT_EQ(col("V")->AsVariant(), QVariant(u"Привет мир"_s));
    EXPECT_DOUBLE_EQ(col("DT")->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(col("DT")->AsVariant(), QVariant(QDate(2024, 2, 29)));
    EXPECT_EQ(col("DT")->AsString(), u"2024-02-29"_s);
    EXPECT_NEAR(col("TM")->AsDateTime(), EncodeTime(13, 45, 30, 250), 1e-9);
    EXPECT_EQ(col("TM")->AsVariant(), QVariant(QTime(13, 45, 30, 250)));
    EXPECT_NEAR(col("TS")->AsDateTime(), EncodeDate(1850, 1, 1) - EncodeTime(6, 0, 0, 0), 1e-9);
    EXPECT_EQ(col("TS")->AsVariant().toDateTime(), QDateTime(QDate(1850, 1, 1), QTime(6, 0), Qt::UTC));
    EXPECT_TRUE(col("BO")->AsBoolean());
    EXPECT_EQ(col("BO")->AsVariant(), QVariant(true));
    EXPECT_EQ(col("TB")->AsString(), longText);
    EXPECT_EQ(col("BB")->AsBytes(), binary);
    EXPECT_EQ(col("BB")->AsVariant(), QVariant(binary));
    EXPECT_EQ(col("OC")->AsBytes(), QByteArray("\x00\xff\x01\x80", 4));
    EXPECT_EQ(col("TWICE")->AsInt64(), 4294967294LL);
}

TEST_F(ColumnTest, NullsRoundTripAndReadAsEmptyValues)
{
    query.Append();
    col("ID")->SetAsInteger(2);
    col("V")->SetAsString(u"x"_s);
    col("V")->Clear();
    col("TB")->SetAsVariant(QVariant());
    PostAndReload(2);
    for (int i = 1; i < query.FieldCount(); ++i) {
        TIB_Column *c = query.Fields()->Columns(i);
        EXPECT_TRUE(c->IsNull()) << c->FieldName().toStdString();
        EXPECT_FALSE(c->AsVariant().isValid()) << c->FieldName().toStdString();
        EXPECT_EQ(c->AsString(), QString()) << c->FieldName().toStdString();
    }
    EXPECT_EQ(col("I")->AsInt64(), 0);
    EXPECT_EQ(col("N2")->AsCurrency().Value, 0);
    EXPECT_FALSE(col("BO")->AsBoolean());
}

TEST_F(ColumnTest, EmptyTextAndEmptyBlobAreNotNull)
{
    query.Append();
    col("ID")->SetAsInteger(3);
    col("V")->SetAsString(QString());
    col("TB")->SetAsString(QString());
    PostAndReload(3);
    EXPECT_FALSE(col("V")->IsNull());
    EXPECT_FALSE(col("TB")->IsNull());
    EXPECT_EQ(col("TB")->AsString(), QString());
}

TEST_F(ColumnTest, SettersRefuseWhatTheColumnCannotHold)
{
    query.Append();
    try {
        col("V")->SetAsString(u"ÄÖÜäöüßÄÖÜx"_s); // 11 characters into VARCHAR(10)
        FAIL() << "no exception";
    } catch (const EIB_Error &e) {
        EXPECT_TRUE(e.Message().contains(u"V"_s));
        EXPECT_TRUE(e.Message().contains(u"11"_s));
        EXPECT_TRUE(e.Message().contains(u"10"_s));
    }
    EXPECT_TRUE(col("V")->IsNull());
    col("V")->SetAsString(u"ÄÖÜäöüßÄÖÜ"_s); // exactly 10 characters, 20 bytes
    EXPECT_EQ(col("V")->AsString(), u"ÄÖÜäöüßÄÖÜ"_s);
    EXPECT_THROW(col("C")->SetAsString(u"123456"_s), EIB_Error);
    EXPECT_THROW(col("S")->SetAsInteger(40000), EIB_Error);
    EXPECT_THROW(col("N2")->SetAsInt64(9223372036854775LL * 1000), EIB_Error);
    EXPECT_THROW(col("I")->SetAsString(u"12x"_s), EConvertError);
    EXPECT_THROW(col("DT")->SetAsString(u"2024-13-01"_s), EConvertError);
    EXPECT_THROW(col("BO")->SetAsString(u"maybe"_s), EConvertError);
    EXPECT_THROW(col("D")->SetAsDouble(std::numeric_limits<double>::infinity()), EIB_Error);
    EXPECT_THROW(col("TWICE")->SetAsInteger(1), EIB_Error);
    EXPECT_TRUE(col("S")->IsNull());
    query.Cancel();
    // Columns of a browsing dataset are not writable.
    EXPECT_THROW(col("I")->SetAsInteger(1), EIB_Error);
}

TEST_F(ColumnTest, AsInt64RaisesUnlessTheColumnIsOfAnIntegerKind)
{
    query.Append();
    col("D")->SetAsDouble(3.0);
    col("N0")->SetAsInteger(7);
    EXPECT_EQ(col("N0")->AsInt64(), 7);
    EXPECT_THROW(col("D")->AsInt64(), EConvertError);
    EXPECT_THROW(col("N2")->AsInt64(), EConvertError);
    EXPECT_THROW(col("V")->AsInt64(), EConvertError);
    EXPECT_EQ(col("I")->AsInt64(), 0); // null integer
}

TEST_F(ColumnTest, ConversionsBetweenKinds)
{
    query.Append();
    col("I")->SetAsDouble(-2.5); // rounds half away from zero
    EXPECT_EQ(col("I")->AsInteger(), -3);
    col("N2")->SetAsDouble(0.125);
    EXPECT_EQ(col("N2")->AsString(), u"0.13"_s);
    col("N2")->SetAsString(u"-0.005"_s);
    EXPECT_EQ(col("N2")->AsString(), u"-0.01"_s);
    col("N2")->SetAsInteger(42);
    EXPECT_EQ(col("N2")->AsCurrency().Value, 420000);
    col("V")->SetAsInteger(-17);
    EXPECT_EQ(col("V")->AsString(), u"-17"_s);
    col("V")->SetAsBoolean(false);
    EXPECT_EQ(col("V")->AsString(), u"False"_s);
    col("BO")->SetAsString(u"TRUE"_s);
    EXPECT_TRUE(col("BO")->AsBoolean());
    col("I")->SetAsBoolean(true);
    EXPECT_EQ(col("I")->AsInteger(), 1);
    col("TS")->SetAsString(u"2001-02-03 04:05:06"_s);
    EXPECT_EQ(col("TS")->AsString(), u"2001-02-03 04:05:06.000"_s);
    col("TS")->SetAsVariant(QDate(2020, 1, 2));
    EXPECT_DOUBLE_EQ(col("TS")->AsDateTime(), EncodeDate(2020, 1, 2));
    col("DT")->SetAsVariant(QDateTime(QDate(2020, 5, 6), QTime(7, 8), Qt::UTC));
    EXPECT_EQ(col("DT")->AsVariant(), QVariant(QDate(2020, 5, 6)));
    EXPECT_THROW(col("V")->SetAsDateTime(EncodeDate(1999, 12, 31)), EIB_Error); // 23 characters
    col("TB")->SetAsDateTime(EncodeDate(1999, 12, 31));
    EXPECT_EQ(col("TB")->AsString(), u"1999-12-31 00:00:00.000"_s);
    col("B")->SetAsVariant(QVariant(qulonglong(5)));
    EXPECT_EQ(col("B")->AsInt64(), 5);
    EXPECT_THROW(col("B")->SetAsVariant(QVariant(qulonglong(1) << 63)), EIB_Error);
}

} // namespace
