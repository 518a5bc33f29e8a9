// Tables written by python3-dbf and Free Pascal's TDbf, read back as
// python3-dbfread reads them (see tests/data/dbf/make_fixtures.sh).
#include "dbffile.h"
#include "dbfinspect.h"
#include "qtprinters.h"
#include "strutils.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/dbf/") + QLatin1String(name);
}

struct Record
{
    bool deleted;
    QStringList values;
};

// Every field of every record, trimmed as the import trims them.
std::vector<Record> readAll(TDBFRead &reader)
{
    std::vector<Record> records;
    while (!reader.GetEOF()) {
        Record record{false, {}};
        for (int i = 0; i < reader.GetFCount(); ++i)
            record.values << Trim(reader.GetData(i));
        record.deleted = reader.GetDeleted();
        records.push_back(record);
    }
    return records;
}

struct FixtureCase
{
    const char *name;
    const char *file;
    uint8_t version;
    TMemoType memo;
    std::vector<Record> records;
};

const QStringList kFields = {u"NAME"_s, u"BORN"_s, u"AMOUNT"_s, u"ACTIVE"_s, u"NOTES"_s};

std::vector<Record> pythonRecords()
{
    return {
        {false, {u"Zo\u00eb"_s, u"20240229"_s, u"12.50"_s, u"T"_s, u"short memo"_s}},
        {false, {u"Bob"_s, QString(), u"-3.25"_s, u"F"_s, QString(700, u'y')}},
        {true, {u"Del"_s, u"19991231"_s, u"0.00"_s, u"?"_s, QString()}},
        {false, {u"Edge"_s, u"20000101"_s, u"1.00"_s, u"T"_s, QString(511, u'e')}},
        {false, {u"Tail"_s, u"20000102"_s, u"2.00"_s, u"F"_s, u"after edge"_s}},
    };
}

std::vector<Record> tdbfRecords()
{
    return {
        {false, {u"Alice"_s, u"19900517"_s, u"12.50000000"_s, u"T"_s, u"short memo"_s}},
        {false, {u"Bob"_s, QString(), u"-0.75000000"_s, u"F"_s, QString(700, u'x')}},
        {true, {u"Gone"_s, u"20010131"_s, QString(), QString(), QString()}},
        {false, {u"Carol"_s, u"20240229"_s, u"1000.00000000"_s, QString(), QString()}},
    };
}

class FixtureTest : public testing::TestWithParam<FixtureCase>
{
};

TEST_P(FixtureTest, ReadsEveryRecordAsWritten)
{
    const FixtureCase &c = GetParam();
    TDBFRead reader(fixture(c.file));
    EXPECT_EQ(reader.GetVersion(), c.version);
    EXPECT_EQ(reader.MemoType(), c.memo);
    ASSERT_EQ(reader.GetFCount(), kFields.size());
    for (int i = 0; i < reader.GetFCount(); ++i)
        EXPECT_EQ(reader.GetFieldName(i), kFields[i]);
    EXPECT_EQ(reader.GetType(u"born"_s), 'D');
    EXPECT_EQ(reader.GetType(u"Notes"_s), 'M');
    EXPECT_EQ(reader.GetLength(u"name"_s), 20);
    EXPECT_EQ(reader.GetRCount(), qint64(c.records.size()));

    const std::vector<Record> records = readAll(reader);
    ASSERT_EQ(records.size(), c.records.size());
    for (size_t r = 0; r < records.size(); ++r) {
        SCOPED_TRACE(testing::Message() << "record " << r + 1);
        EXPECT_EQ(records[r].deleted, c.records[r].deleted);
        EXPECT_EQ(records[r].values, c.records[r].values);
    }
    EXPECT_TRUE(reader.GetEOF());
}

INSTANTIATE_TEST_SUITE_P(
    Writers, FixtureTest,
    testing::Values(FixtureCase{"PythonDbase3", "py_db3.dbf", 0x83, mtDBT, pythonRecords()},
                    FixtureCase{"PythonFoxPro", "py_fp.dbf", 0xF5, mtFPT, pythonRecords()},
                    FixtureCase{"PythonVisualFoxPro", "py_vfp.dbf", 0x30, mtFPT, pythonRecords()},
                    FixtureCase{"TDbfLevel3", "tdbf_level3.dbf", 0x83, mtDBT, tdbfRecords()},
                    FixtureCase{"TDbfLevel4", "tdbf_level4.dbf", 0x8B, mtDBT, tdbfRecords()},
                    FixtureCase{"TDbfLevel7", "tdbf_level7.dbf", 0x8C, mtDBT, tdbfRecords()},
                    FixtureCase{"TDbfLevel25", "tdbf_level25.dbf", 0xF5, mtFPT, tdbfRecords()}),
    [](const testing::TestParamInfo<FixtureCase> &info) { return std::string(info.param.name); });

TEST(DbfFixtureTest, FieldsKeepTheirBlanksAndDescriptorsTheirLayout)
{
    TDBFRead reader(fixture("tdbf_level3.dbf"));
    EXPECT_EQ(reader.GetData(0), u"Alice"_s + QString(15, u' '));
    EXPECT_EQ(reader.GetData(1), u"19900517"_s);
    EXPECT_EQ(reader.GetData(2), u"       12.50000000"_s);
    EXPECT_EQ(reader.GetFieldDisp(0), 1);
    EXPECT_EQ(reader.GetFieldDisp(1), 21);
    EXPECT_EQ(reader.GetDisp(u"amount"_s), 29);
    EXPECT_EQ(reader.GetFieldDec(2), 8);
    EXPECT_EQ(reader.GetDecName(u"AMOUNT"_s), 8);
    EXPECT_EQ(reader.GetFieldLength(4), 10);
}

TEST(DbfFixtureTest, VisualFoxProDatabaseLinkAreaIsNoField)
{
    // The header of a Visual FoxPro table holds 263 bytes after the descriptors.
    TDBFRead reader(fixture("py_vfp.dbf"));
    EXPECT_EQ(reader.GetFCount(), 5);
    EXPECT_EQ(reader.GetFieldLength(4), 4);
}

TEST(DbfFixtureTest, CodePagesDecodeCyrillicTablesAndMemos)
{
    struct
    {
        const char *file;
        const char *codePage;
        const char *autoCodePage;
    } cases[] = {{"py_cp866.dbf", "IBM866", "IBM866"}, {"py_cp1251.dbf", "windows-1251", "windows-1251"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        for (const char *codePage : {c.codePage, "auto"}) {
            TDBFRead reader(fixture(c.file));
            reader.SetCodePage(QLatin1String(codePage));
            EXPECT_EQ(reader.EffectiveCodePage(), QLatin1String(c.autoCodePage));
            EXPECT_EQ(Trim(reader.GetData(0)), u"Привет"_s);
            // U+041D is byte 0x8D in IBM866: a letter, not a soft line break.
            EXPECT_EQ(reader.GetData(1), u"Новый ГОРОД"_s);
        }
    }
}

TEST(DbfFixtureTest, DefaultCodePageIsTheProcessAnsiCodePage)
{
    TDBFRead reader(fixture("py_cp1251.dbf"));
    EXPECT_EQ(reader.CodePage(), u"windows-1252"_s);
    EXPECT_EQ(Trim(reader.GetData(0)), u"Ïðèâåò"_s);
}

TEST(DbfFixtureTest, AutoFallsBackToAnsiForAnUnknownLanguageDriver)
{
    TDBFRead reader(fixture("tdbf_level3.dbf"));
    ASSERT_EQ(reader.GetLanguageDriver(), 0);
    reader.SetCodePage(u"AUTO"_s);
    EXPECT_EQ(reader.CodePage(), u"AUTO"_s);
    EXPECT_EQ(reader.EffectiveCodePage(), u"windows-1252"_s);
    EXPECT_THROW(reader.SetCodePage(u"no-such-code-page"_s), Exception);
    EXPECT_EQ(reader.CodePage(), u"AUTO"_s);
}

TEST(DbfFixtureTest, MissingMemoFileGivesEmptyMemos)
{
    TDBFRead reader(fixture("memo_missing.dbf"));
    EXPECT_EQ(reader.MemoType(), mtNone);
    const std::vector<Record> records = readAll(reader);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].values[0], u"Zo\u00eb"_s);
    for (const Record &record : records)
        EXPECT_EQ(record.values[4], QString());
}

TEST(DbfFixtureTest, MemoPointerPastTheMemoFileGivesTheErrorText)
{
    TDBFRead dbt(fixture("memo_past_end_dbt.dbf"));
    EXPECT_EQ(readAll(dbt)[0].values[4], u"ERROR!!!"_s);
    TDBFRead fpt(fixture("memo_past_end_fpt.dbf"));
    const std::vector<Record> records = readAll(fpt);
    EXPECT_EQ(records[0].values[4], u"Error!!!"_s);
    EXPECT_EQ(records[1].values[4], QString(700, u'y'));
}

TEST(DbfFixtureTest, FptBlockSizeZeroGivesTheErrorText)
{
    TDBFRead reader(fixture("fpt_block_size_zero.dbf"));
    const std::vector<Record> records = readAll(reader);
    ASSERT_EQ(records.size(), 5u);
    for (const Record &record : records)
        EXPECT_EQ(record.values[4], u"Error!!!"_s);
}

TEST(DbfFixtureTest, DbtMemoWithoutTerminatorRunsToTheEndOfTheFile)
{
    TDBFRead reader(fixture("dbt_no_terminator.dbf"));
    const QString last = readAll(reader)[4].values[4];
    EXPECT_TRUE(last.startsWith(u"after edge"_s));
}

// Damaged tables end with the reader's documented error, after the records before the damage.
TEST(DbfFixtureTest, DamagedTablesGiveTheDocumentedErrors)
{
    struct
    {
        const char *file;
        const char *error;
        int linesBefore;
    } cases[] = {
        {"truncated_header.dbf", "Table file is invalid!", -1},
        {"truncated_record.dbf", "File read error!", 5},
        {"count_past_end.dbf", "File read error!", 6},
        {"header_past_end.dbf", "File read error!", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        try {
            TDBFRead reader(fixture(c.file));
            WriteDBFInspection(reader, &out);
            ADD_FAILURE() << "no error";
        } catch (const EDBFError &e) {
            EXPECT_EQ(e.Message(), QLatin1String(c.error));
        }
        EXPECT_EQ(out.data().count('\n'), std::max(c.linesBefore, 0));
    }
}

TEST(DbfFixtureTest, RecordLengthZeroInTheHeaderStillReadsByTheFields)
{
    TDBFRead reader(fixture("record_length_zero.dbf"));
    EXPECT_EQ(readAll(reader).size(), 5u);
}

TEST(DbfFixtureTest, InspectionWritesHeaderAndRecordLines)
{
    TDBFRead reader(fixture("tdbf_level25.dbf"));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteDBFInspection(reader, &out);
    const QList<QByteArray> lines = out.data().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0],
              "{\"version\":245,\"records\":4,\"fields\":[{\"name\":\"NAME\",\"type\":\"C\",\"length\":20,"
              "\"decimals\":0},{\"name\":\"BORN\",\"type\":\"D\",\"length\":8,\"decimals\":0},{\"name\":"
              "\"AMOUNT\",\"type\":\"N\",\"length\":18,\"decimals\":8},{\"name\":\"ACTIVE\",\"type\":\"L\","
              "\"length\":1,\"decimals\":0},{\"name\":\"NOTES\",\"type\":\"M\",\"length\":10,\"decimals\":0}],"
              "\"memo\":\"fpt\"}");
    EXPECT_EQ(lines[3],
              "{\"record\":3,\"deleted\":true,\"values\":{\"NAME\":\"Gone                \",\"BORN\":\"20010131\","
              "\"AMOUNT\":\"                  \",\"ACTIVE\":\" \",\"NOTES\":\"\"}}");
    EXPECT_TRUE(lines[5].isEmpty());
}

} // namespace
