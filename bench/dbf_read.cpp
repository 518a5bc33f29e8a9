// The DBF reader and import on a dBase III table of the benchmark rows with a
// memo column (a memo on every other record, some longer than one block):
// - every field of every record read with TDBFRead, against python3-dbfread
//   iterating the same table, both in the same run;
// - the reader's peak memory for a table of N and of 4 × N records, each
//   measured in a child process of its own;
// - the import into Firebird, against the raw prepared-insert loop on the
//   same values.
//
// Usage: dbf_read [records]   (default 200,000)
//        dbf_read --rss TABLE   (the child: reads the table, prints its peak memory)

#include "import_rows.h"
#include "raw_insert.h"

#include "dbffile.h"
#include "tib_morvex2dbf.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

struct FieldLayout
{
    const char *name;
    char type;
    uint8_t length;
    uint8_t decimals;
};

constexpr FieldLayout kFields[] = {
    {"ID", 'N', 10, 0},      {"NAME", 'C', 40, 0},    {"CITY", 'C', 60, 0},
    {"AMOUNT", 'N', 15, 2},  {"RATE", 'N', 15, 2},    {"ON_DATE", 'D', 8, 0},
    {"STAMP", 'C', 24, 0},   {"FLAG", 'L', 1, 0},     {"NOTES", 'M', 10, 0},
};
constexpr int kMemoBlock = 512;

// Every other record has a memo; its length runs up to 1,200 bytes, so that
// some memos take three blocks. 0xE9 is é in the ANSI code page.
QByteArray MemoText(int i)
{
    if (i % 2 != 0)
        return QByteArray();
    QByteArray text = "Remarque \xE9" "crite pour l'enregistrement " + QByteArray::number(i) + ": ";
    while (text.size() < 40 + (i * 37) % 1160)
        text += "lorem ipsum dolor ";
    return text;
}

void Put(QByteArray &record, const QByteArray &value, int length, bool rightAligned)
{
    const QByteArray cut = value.left(length);
    const QByteArray pad(length - cut.size(), ' ');
    record += rightAligned ? pad + cut : cut + pad;
}

QByteArray Ansi(const QString &text)
{
    return text.toLatin1();
}

// Writes the table and its .dbt memo file as dBase III lays them out: the
// header, one descriptor per field and 0x0D, fixed-length records, 0x1A;
// memos in 512-byte blocks after a header block, each ending with 0x1A 0x1A.
void WriteTable(const QString &dbfPath, int records)
{
    QSaveFile dbf(dbfPath);
    QSaveFile dbt(QFileInfo(dbfPath).path() + u'/' + QFileInfo(dbfPath).completeBaseName() + QStringLiteral(".dbt"));
    if (!dbf.open(QIODevice::WriteOnly) || !dbt.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("cannot write the table %1").arg(dbfPath));

    constexpr int fieldCount = int(std::size(kFields));
    uint16_t recordLength = 1;
    for (const FieldLayout &f : kFields)
        recordLength = uint16_t(recordLength + f.length);
    const uint16_t headerLength = uint16_t(32 + 32 * fieldCount + 1);
    QByteArray header(32, '\0');
    header[0] = char(0x83); // dBase III with a memo file
    header[1] = char(126);  // last update: 2026-12-08
    header[2] = char(12);
    header[3] = char(8);
    const uint32_t count = uint32_t(records);
    std::memcpy(header.data() + 4, &count, 4);
    std::memcpy(header.data() + 8, &headerLength, 2);
    std::memcpy(header.data() + 10, &recordLength, 2);
    for (const FieldLayout &f : kFields) {
        QByteArray descriptor(32, '\0');
        std::memcpy(descriptor.data(), f.name, std::strlen(f.name));
        descriptor[11] = f.type;
        descriptor[16] = char(f.length);
        descriptor[17] = char(f.decimals);
        header += descriptor;
    }
    header += '\x0D';
    dbf.write(header);

    QByteArray memoFile(kMemoBlock, '\0');
    qint64 nextBlock = 1;
    QByteArray chunk;
    for (int i = 1; i <= records; ++i) {
        const BenchRow r = MakeRow(i);
        QByteArray memoRef;
        const QByteArray memo = MemoText(i);
        if (!memo.isEmpty()) {
            memoRef = QByteArray::number(nextBlock);
            QByteArray stored = memo + "\x1A\x1A";
            stored.append((kMemoBlock - stored.size() % kMemoBlock) % kMemoBlock, '\0');
            memoFile += stored;
            nextBlock += stored.size() / kMemoBlock;
        }
        chunk += ' ';
        Put(chunk, QByteArray::number(r.id), 10, true);
        Put(chunk, Ansi(r.name), 40, false);
        Put(chunk, Ansi(r.city), 60, false);
        Put(chunk, QByteArray::number(double(r.amount.Value) / 10000.0, 'f', 2), 15, true);
        Put(chunk, QByteArray::number(r.rate, 'f', 2), 15, true);
        Put(chunk, Ansi(FormatDateTime(QStringLiteral("yyyymmdd"), r.day)), 8, false);
        Put(chunk, Ansi(DateTimeToStr(r.stamp)), 24, false);
        chunk += r.flag ? 'T' : 'F';
        Put(chunk, memoRef, 10, true);
        if (chunk.size() > (1 << 20)) {
            dbf.write(chunk);
            chunk.clear();
        }
        if (memoFile.size() > (1 << 20)) {
            dbt.write(memoFile);
            memoFile.clear();
        }
    }
    chunk += '\x1A';
    dbf.write(chunk);
    dbt.write(memoFile);
    // The memo header: the next free block.
    const uint32_t next = uint32_t(nextBlock);
    if (!dbt.seek(0) || dbt.write(reinterpret_cast<const char *>(&next), 4) != 4 || !dbf.commit() || !dbt.commit())
        throw Exception(QStringLiteral("cannot write the table %1").arg(dbfPath));
}

struct ReadTotals
{
    qint64 records = 0;
    qint64 memoChars = 0;
    double seconds = 0;
};

// Reads every field of every record, as an import does.
ReadTotals ReadTable(const QString &dbfPath)
{
    QElapsedTimer timer;
    timer.start();
    ReadTotals totals;
    TDBFRead reader(dbfPath);
    const int fields = reader.GetFCount();
    const int memo = reader.GetNumField(QStringLiteral("NOTES"));
    qint64 chars = 0;
    while (!reader.GetEOF()) {
        for (int i = 0; i < fields; ++i) {
            const QString value = reader.GetData(i);
            chars += value.size();
            if (i == memo)
                totals.memoChars += value.size();
        }
        ++totals.records;
    }
    totals.seconds = timer.nsecsElapsed() / 1e9;
    if (chars == 0)
        throw Exception(QStringLiteral("the reader found no text"));
    return totals;
}

// dbfread turns every field into its Python value while it builds a record.
const char kDbfread[] = R"(
import sys, time, dbfread
t = time.perf_counter()
records = memo = 0
for record in dbfread.DBF(sys.argv[1], encoding='cp1252', load=False):
    for value in record.values():
        pass
    memo += len(record['NOTES'] or '')
    records += 1
print(time.perf_counter() - t, records, memo)
)";

ReadTotals Dbfread(const QString &dbfPath)
{
    const QList<QByteArray> out = RunPython(kDbfread, {dbfPath}).trimmed().split(' ');
    ReadTotals totals;
    totals.seconds = out.value(0).toDouble();
    totals.records = out.value(1).toLongLong();
    totals.memoChars = out.value(2).toLongLong();
    return totals;
}

QStringList DbfMap()
{
    QStringList map;
    for (const FieldLayout &f : kFields) {
        if (f.type != 'M')
            map << QStringLiteral("%1=%1").arg(QLatin1String(f.name));
    }
    return map;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--rss") == 0) {
        return RunBenchmark("dbf_read", [&] {
            ReadTable(QString::fromLocal8Bit(argv[2]));
            std::printf("%ld\n", PeakRssKb());
        });
    }
    const int records = RowCountArgument(argc, argv, 1, 200000);
    std::printf("a dBase III table of %d records of 9 fields, a memo on every other one\n", records);
    return RunBenchmark("dbf_read", [&] {
        QTemporaryDir dir;
        const QString table = dir.filePath(QStringLiteral("bench.dbf"));
        WriteTable(table, records);

        const ReadTotals ours = ReadTable(table);
        const ReadTotals python = Dbfread(table);
        if (ours.records != records || python.records != records || ours.memoChars != python.memoChars)
            throw Exception(QStringLiteral("the readers disagree: %1 records, %2 memo characters against dbfread's %3 and %4")
                                .arg(ours.records).arg(ours.memoChars).arg(python.records).arg(python.memoChars));
        PrintBench("dbf_read", records / ours.seconds, "records/s");
        PrintBench("dbf_read_dbfread", records / python.seconds, "records/s");
        PrintRatio("dbf_read_vs_dbfread", python.seconds / ours.seconds);

        const QString large = dir.filePath(QStringLiteral("large.dbf"));
        WriteTable(large, records * 4);
        const long smallRss = ChildPeakRssKb({QStringLiteral("--rss"), table});
        const long largeRss = ChildPeakRssKb({QStringLiteral("--rss"), large});
        QFile::remove(large);
        QFile::remove(dir.filePath(QStringLiteral("large.dbt")));
        PrintBench("dbf_read_peak_rss", smallRss / 1024.0, "MiB");
        PrintBench("dbf_read_peak_rss_4x", largeRss / 1024.0, "MiB");
        PrintRatio("dbf_read_rss_flatness", double(smallRss) / double(largeRss));

        const double raw = records / RawInsertSeconds(records);
        TIB_Morvex2DBF importer;
        importer.SetFileName(table);
        importer.Formats().BooleanTrue().Add(QStringLiteral("T"));
        importer.Formats().BooleanFalse().Add(QStringLiteral("F"));
        const double dbf = ImportRowsPerSecond("dbf_read", importer, records, DbfMap());
        PrintBench("dbf_import_raw", raw, "rows/s");
        PrintBench("dbf_import", dbf, "rows/s");
        PrintRatio("dbf_import_vs_raw", dbf / raw);
    });
}
