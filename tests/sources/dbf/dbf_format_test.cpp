// Tables and memo files built byte by byte, for the layouts and damage that
// writers do not produce on request.
#include "bytereader.h"
#include "dbffile.h"
#include "dbfinspect.h"
#include "qtprinters.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

struct Field
{
    QByteArray name;
    char type;
    uint8_t length;
    uint8_t decimals = 0;
};

void putLe(QByteArray &bytes, qsizetype at, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray bigEndian(uint32_t value, int width)
{
    QByteArray bytes(width, '\0');
    for (int i = 0; i < width; ++i)
        bytes[width - 1 - i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A table file: header, descriptors, terminator, and the records as given
// (each starting with its deletion flag).
QByteArray table(const std::vector<Field> &fields, const QList<QByteArray> &records, uint8_t version = 0x83,
                 int headerLength = -1, uint8_t languageDriver = 0)
{
    QByteArray bytes(32, '\0');
    bytes[0] = char(version);
    putLe(bytes, 4, uint64_t(records.size()), 4);
    putLe(bytes, 8, uint64_t(headerLength >= 0 ? headerLength : 32 + 32 * int(fields.size()) + 1), 2);
    int recordLength = 1;
    for (const Field &f : fields)
        recordLength += f.length;
    putLe(bytes, 10, uint64_t(recordLength), 2);
    bytes[29] = char(languageDriver);
    for (const Field &f : fields) {
        QByteArray d(32, '\0');
        d.replace(0, std::min<qsizetype>(f.name.size(), 11), f.name.left(11));
        d[11] = f.type;
        d[16] = char(f.length);
        d[17] = char(f.decimals);
        bytes += d;
    }
    bytes += '\x0D';
    for (const QByteArray &r : records)
        bytes += r;
    bytes += '\x1A';
    return bytes;
}

// Reads a table held in memory, with an optional memo file.
struct MemoryTable
{
    MemoryTable(const QByteArray &tableBytes, const QByteArray &memoBytes = {}, TMemoType type = mtNone)
        : tableData(tableBytes), memoData(memoBytes)
    {
        tableBuffer.setBuffer(&tableData);
        tableBuffer.open(QIODevice::ReadOnly);
        memoBuffer.setBuffer(&memoData);
        memoBuffer.open(QIODevice::ReadOnly);
        reader = std::make_unique<TDBFRead>(&tableBuffer, type == mtNone ? nullptr : &memoBuffer, type);
    }

    QByteArray tableData;
    QByteArray memoData;
    QBuffer tableBuffer;
    QBuffer memoBuffer;
    std::unique_ptr<TDBFRead> reader;
};

// A .dbt file: the 512-byte header block, then the given blocks, each padded to 512 bytes.
QByteArray dbt(const QList<QByteArray> &blocks)
{
    QByteArray bytes(512, '\0');
    for (const QByteArray &b : blocks)
        bytes += b + QByteArray((512 - b.size() % 512) % 512, '\0');
    return bytes;
}

QByteArray fpt(uint16_t blockSize, qsizetype headerSize = 512)
{
    QByteArray bytes(headerSize, '\0');
    bytes.replace(6, 2, bigEndian(blockSize, 2));
    return bytes;
}

QByteArray fptBlock(uint32_t type, const QByteArray &data, int blockSize)
{
    QByteArray b = bigEndian(type, 4) + bigEndian(uint32_t(data.size()), 4) + data;
    return b + QByteArray((blockSize - b.size() % blockSize) % blockSize, '\0');
}

const std::vector<Field> kMemoFields = {{"NOTES", 'M', 10}};

QString memoOf(MemoryTable &t)
{
    return t.reader->GetData(0);
}

TEST(DbfHeaderTest, EmptyTableFileIsAClosedReaderWithoutRecords)
{
    MemoryTable t({});
    EXPECT_FALSE(t.reader->IsOpen());
    EXPECT_EQ(t.reader->ErrorCode(), 100);
    EXPECT_EQ(t.reader->GetFCount(), -1);
    EXPECT_EQ(t.reader->GetRCount(), 0);
    EXPECT_TRUE(t.reader->GetEOF());
    EXPECT_EQ(t.reader->GetData(0), QString());
    EXPECT_EQ(t.reader->GetFieldDec(0), -1);
    EXPECT_EQ(t.reader->GetNumField(u"X"_s), -1);
}

TEST(DbfHeaderTest, HeaderLengthGivesTheDescriptorCount)
{
    const std::vector<Field> three = {{"A", 'C', 1}, {"B", 'C', 1}, {"C", 'C', 1}};
    struct
    {
        int headerLength;
        int fields;
    } cases[] = {{32 + 32 * 3 + 1, 3}, {32 + 32 * 2 + 1, 2}, {63, 0}, {32, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.headerLength);
        MemoryTable t(table(three, {}, 0x03, c.headerLength));
        EXPECT_EQ(t.reader->GetFCount(), c.fields);
    }
}

TEST(DbfHeaderTest, NamesAreCutTrimmedAndMatchedInAnyCase)
{
    MemoryTable t(table({{"LONGFIELDNAME", 'c', 3}, {" pad ", 'n', 2, 1}}, {" abc12"}));
    EXPECT_EQ(t.reader->GetFieldName(0), u"LONGFIELDN"_s);
    EXPECT_EQ(t.reader->GetFieldName(1), u"PAD"_s);
    EXPECT_EQ(t.reader->GetFieldType(0), 'C');
    EXPECT_EQ(t.reader->GetNumField(u" longfieldn "_s), 0);
    EXPECT_EQ(t.reader->GetNumField(u"Pad"_s), 1);
    EXPECT_EQ(t.reader->GetNumField(u"LONGFIELDNAME"_s), -1);
    EXPECT_EQ(t.reader->GetNumField(QString()), -1);
    EXPECT_EQ(t.reader->GetDecName(u"pad"_s), 1);
    EXPECT_EQ(t.reader->GetType(u"nothing"_s), 0);
    EXPECT_EQ(t.reader->GetLength(u"nothing"_s), 0);
    EXPECT_EQ(t.reader->GetDisp(u"nothing"_s), 0);

    RDescriptor in;
    // The name ends at its first zero byte.
    std::memcpy(in.Name, " sm all\0zzz", 11);
    in.FieldType = 'n';
    in.Length = 12;
    in.Decimals = 3;
    in.IndexFlag = 1;
    const TDescriptor descriptor(in);
    EXPECT_EQ(descriptor.GetName(), u"SM ALL"_s);
    EXPECT_EQ(descriptor.GetType(), 'N');
    RDescriptor out;
    std::memset(out.Name, 'z', sizeof out.Name);
    descriptor.GetData(out);
    EXPECT_EQ(QByteArray(out.Name, 11), QByteArray(" sm all\0\0\0\0", 11));
    EXPECT_EQ(out.Length, 12);
    EXPECT_EQ(out.Decimals, 3);
    EXPECT_EQ(out.IndexFlag, 1);
}

TEST(DbfHeaderTest, IndexOutOfRange)
{
    MemoryTable t(table({{"A", 'C', 1}}, {" x"}));
    EXPECT_EQ(t.reader->GetFieldName(1), QString());
    EXPECT_EQ(t.reader->GetFieldType(-1), 0);
    EXPECT_EQ(t.reader->GetFieldLength(1), 0);
    try {
        t.reader->GetFieldDec(1);
        ADD_FAILURE() << "no error";
    } catch (const EDBFError &e) {
        EXPECT_EQ(e.Message(), u"Out of range!"_s);
        EXPECT_EQ(e.Code, 111);
    }
    EXPECT_THROW(t.reader->GetFieldDisp(-1), EDBFError);
    EXPECT_EQ(t.reader->GetData(5), QString());
}

TEST(DbfHeaderTest, ErrorTexts)
{
    const std::pair<int, const char *> texts[] = {
        {100, "File is empty!"},          {101, "File name not assigned!"},
        {102, "File not found!"},         {103, "File create error!"},
        {104, "File open error"},         {105, "File seek error!"},
        {106, "File read error!"},        {107, "File write error!"},
        {108, "Out of memory!"},          {109, "Table file is invalid!"},
        {110, "Error creating field descriptor list!"}, {111, "Out of range!"},
        {99, "Unknown error!"},
    };
    for (const auto &[code, text] : texts)
        EXPECT_EQ(TDBFRead::ErrorText(code), QLatin1String(text));
}

TEST(DbfHeaderTest, DescriptorsCutOffByTheEndOfTheFile)
{
    QByteArray bytes = table({{"A", 'C', 1}, {"B", 'C', 1}}, {});
    bytes.truncate(32 + 40);
    try {
        MemoryTable t(bytes);
        ADD_FAILURE() << "no error";
    } catch (const EDBFError &e) {
        EXPECT_EQ(e.Message(), u"File read error!"_s);
    }
}

TEST(DbfHeaderTest, AbsurdFieldCountStopsAtTheTerminator)
{
    // 2046 descriptors claimed, one present: the terminator ends the list.
    MemoryTable t(table({{"A", 'C', 2}}, {" ab"}, 0x03, 0xFFFF));
    EXPECT_EQ(t.reader->GetFCount(), 1);
    EXPECT_THROW(t.reader->GetData(0), EDBFError);
    EXPECT_TRUE(t.reader->GetEOF());
}

TEST(DbfHeaderTest, TableWithoutFieldsWritesNoRecords)
{
    MemoryTable t(table({}, {" ", " "}));
    EXPECT_EQ(t.reader->GetFCount(), 0);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteDBFInspection(*t.reader, &out);
    EXPECT_EQ(out.data(), "{\"version\":131,\"records\":2,\"fields\":[],\"memo\":\"none\"}\n");
}

TEST(DbfRecordTest, RecordsAreReadInSequenceWithTheirDeletionFlags)
{
    MemoryTable t(table({{"A", 'C', 2}, {"B", 'N', 3}}, {" ab  1", "*cd 22", " ef333"}));
    QStringList seen;
    QList<bool> deleted;
    while (!t.reader->GetEOF()) {
        const QString first = t.reader->GetData(0);
        seen << first + u'|' + t.reader->GetData(1);
        deleted << t.reader->GetDeleted();
    }
    EXPECT_EQ(seen, (QStringList{u"ab|  1"_s, u"cd| 22"_s, u"ef|333"_s}));
    EXPECT_EQ(deleted, (QList<bool>{false, true, false}));
    EXPECT_EQ(t.reader->GetRecNo(), 4);
    // Past the end nothing more is read.
    EXPECT_EQ(t.reader->GetData(0), QString());
}

TEST(DbfRecordTest, SingleAndMultiByteCodePages)
{
    MemoryTable t(table({{"A", 'C', 4}}, {QByteArray(" \x82\xA0\x8D\xE9", 5), QByteArray(" \x82\xA0\x8D\xE9", 5)}));
    t.reader->SetCodePage(u"Shift_JIS"_s);
    EXPECT_EQ(t.reader->GetData(0), u"\u3042\u57FC"_s);
    t.reader->SetCodePage(u"IBM866"_s);
    EXPECT_EQ(t.reader->GetData(0), u"\u0412\u0430\u041D\u0449"_s);
}

TEST(DbfRecordTest, CutOffRecordRaisesReadErrorAndEndsTheTable)
{
    QByteArray bytes = table({{"A", 'C', 4}}, {" abcd", " efgh"});
    bytes.chop(3);
    MemoryTable t(bytes);
    EXPECT_EQ(t.reader->GetData(0), u"abcd"_s);
    try {
        t.reader->GetData(0);
        ADD_FAILURE() << "no error";
    } catch (const EDBFError &e) {
        EXPECT_EQ(e.Message(), u"File read error!"_s);
        EXPECT_EQ(e.RecordNumber, 2);
    }
    EXPECT_TRUE(t.reader->GetEOF());
}

TEST(DbfMemoTest, DbtMemoOverTwoBlocksReadsWhole)
{
    const QByteArray text = QByteArray(700, 'm');
    MemoryTable t(table(kMemoFields, {"          1"}), dbt({text + "\x1A\x1A"}), mtDBT);
    EXPECT_EQ(memoOf(t), QString::fromLatin1(text));
}

TEST(DbfMemoTest, DbtTerminatorPairAcrossABlockBoundary)
{
    const QByteArray first = QByteArray(511, 'a') + '\x1A';
    const QByteArray second = "\x1A" + QByteArray(511, '\0');
    MemoryTable t(table(kMemoFields, {"          1", "          3"}), dbt({first, second, "next\x1A\x1A"}), mtDBT);
    EXPECT_EQ(t.reader->GetData(0), QString(511, u'a'));
    EXPECT_EQ(t.reader->GetData(0), u"next"_s);
}

TEST(DbfMemoTest, DbtSoftLineBreaksBecomeCarriageReturns)
{
    MemoryTable t(table(kMemoFields, {" 1         "}), dbt({"one\x8D\x0Atwo\x1A\x1A"}), mtDBT);
    EXPECT_EQ(memoOf(t), u"one\r\ntwo"_s);
}

TEST(DbfMemoTest, DbaseIvBlockReadsTheLengthItGives)
{
    QByteArray block = QByteArray("\xFF\xFF\x08\x00", 4);
    block += QByteArray(4, '\0');
    putLe(block, 4, 8 + 6, 4);
    block += "abc\x1A\x1A" "d";
    MemoryTable t(table(kMemoFields, {"          1"}, 0x8B), dbt({block}), mtDBT);
    EXPECT_EQ(memoOf(t), u"abc\x1a\x1a" "d"_s);

    QByteArray bad = block;
    putLe(bad, 4, 5000, 4);
    MemoryTable past(table(kMemoFields, {"          1"}, 0x8B), dbt({bad}), mtDBT);
    EXPECT_EQ(memoOf(past), u"ERROR!!!"_s);
}

TEST(DbfMemoTest, MemoFieldsWithoutABlockAreEmpty)
{
    MemoryTable t(table(kMemoFields, {"           ", "          0", "         -4", "        abc"}),
                  dbt({"never\x1A\x1A"}), mtDBT);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(t.reader->GetData(0), QString()) << i;
}

TEST(DbfMemoTest, FptPictureTextAndExactLength)
{
    QByteArray memo = fpt(64);
    memo += fptBlock(0, "GIF89a", 64);
    memo += fptBlock(1, QByteArray(300, 't') + "\x1A\x1A\x8D\x0A", 64);
    MemoryTable t(table(kMemoFields, {"          8", "          9"}, 0xF5), memo, mtFPT);
    EXPECT_EQ(t.reader->GetData(0), u"(Picture)"_s);
    // No terminator search and no soft-break replacement in .fpt memos.
    EXPECT_EQ(t.reader->GetData(0).toLatin1(), QByteArray(300, 't') + "\x1A\x1A\x8D\x0A");
}

TEST(DbfMemoTest, FptDamageGivesTheErrorText)
{
    QByteArray longer = fpt(64) + bigEndian(1, 4) + bigEndian(100000, 4) + QByteArray(56, 'x');
    MemoryTable t(table(kMemoFields, {"          8", "    9999999"}, 0xF5), longer, mtFPT);
    EXPECT_EQ(t.reader->GetData(0), u"Error!!!"_s);
    EXPECT_EQ(t.reader->GetData(0), u"Error!!!"_s);
    EXPECT_EQ(t.reader->GetMemoData(-1), u"Error!!!"_s);
}

TEST(DbfMemoTest, VisualFoxProMemoFieldsHoldBinaryBlockNumbers)
{
    QByteArray memo = fpt(64) + fptBlock(1, "binary pointer", 64);
    MemoryTable t(table({{"NOTES", 'M', 4}}, {QByteArray(" \x08\x00\x00\x00", 5), QByteArray(5, '\0')}, 0x30),
                  memo, mtFPT);
    EXPECT_EQ(t.reader->GetData(0), u"binary pointer"_s);
    EXPECT_EQ(t.reader->GetData(0), QString());
}

TEST(DbfMemoTest, ShortMemoHeaderRaisesTheReadError)
{
    EXPECT_THROW(MemoryTable(table(kMemoFields, {}), QByteArray(100, '\0'), mtDBT), EReadError);
    EXPECT_THROW(MemoryTable(table(kMemoFields, {}), QByteArray(7, '\0'), mtFPT), EReadError);
}

TEST(DbfFileTest, ExtensionBecomesDbfAndMemoFilesAreFoundInAnyCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(u"people.DBF"_s, table(kMemoFields, {"          1"}, 0x8B));
    write(u"PEOPLE.DBT"_s, dbt({"found\x1A\x1A"}));

    for (const QString &name : {u"people"_s, u"people.txt"_s, u"people.DBF"_s}) {
        SCOPED_TRACE(name.toStdString());
        TDBFRead reader(dir.filePath(name));
        EXPECT_EQ(reader.FileName(), dir.filePath(u"people.DBF"_s));
        // Version 0x8B looks for ".fpt" first and takes the ".dbt" beside it.
        EXPECT_EQ(reader.MemoType(), mtDBT);
        EXPECT_EQ(reader.GetData(0), u"found"_s);
    }

    write(u"both.dbf"_s, table(kMemoFields, {"          1"}, 0x8B));
    write(u"both.dbt"_s, dbt({"dbt\x1A\x1A"}));
    write(u"both.fpt"_s, fpt(64) + fptBlock(1, "fpt", 64));
    TDBFRead both(dir.filePath(u"both.dbf"_s));
    EXPECT_EQ(both.MemoType(), mtFPT);
}

TEST(DbfFileTest, MissingTableIsAnOpenError)
{
    try {
        TDBFRead reader(u"/nonexistent/folder/table"_s);
        ADD_FAILURE() << "no error";
    } catch (const EDBFError &e) {
        EXPECT_EQ(e.Message(), u"File open error"_s);
        EXPECT_EQ(e.Code, 104);
    }
}

TEST(DbfFunctionsTest, TypeNames)
{
    const std::pair<char, const char *> names[] = {{'C', "String"}, {'D', "Date"},   {'F', "Float"},
                                                   {'L', "Boolean"}, {'M', "Memo"}, {'N', "Number"},
                                                   {'I', "Unknown"}, {'c', "Unknown"}};
    for (const auto &[type, name] : names)
        EXPECT_EQ(DBFTypeToStr(type), QLatin1String(name)) << type;
}

TEST(DbfFunctionsTest, DateTexts)
{
    EXPECT_EQ(DBFStrToDateTime(u"20240229"_s), EncodeDate(2024, 2, 29));
    EXPECT_EQ(DBFStrToDateTime(u"18991230"_s), 0.0);
    EXPECT_EQ(DBFStrToDateTime(u"19000101"_s), 2.0);
    for (const QString &bad : {u"20230230"_s, u"20240001"_s, u"2024"_s, u""_s, u"abcdefgh"_s})
        EXPECT_EQ(DBFStrToDateTime(bad), 0.0) << bad.toStdString();
}

} // namespace
