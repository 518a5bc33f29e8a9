// Loads an XML data packet of N rows of 8 fields, laid out as TBufDataset
// writes one, and reads every value of every row the way the import does
// (the fields' attributes of a row in one pass), against python3's xml.etree.ElementTree
// parsing the same file and reading every attribute of every row, both in the
// same run. The loader's peak memory is measured in a child process of its
// own and set against the file's size.
//
// Usage: xml_load [rows]   (default 200,000)
//        xml_load --rss PACKET   (the child: loads the packet, prints its peak memory)

#include "bench_report.h"
#include "bench_rows.h"
#include "run_benchmark.h"

#include "conversions.h"
#include "xmlfile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstring>

namespace {

struct FieldLayout
{
    const char *name;
    const char *type;
};

constexpr FieldLayout kFields[] = {
    {"ID", "i4"},    {"NAME", "string"}, {"CITY", "string"},   {"AMOUNT", "fixed"},
    {"RATE", "r8"},  {"ON_DATE", "date"}, {"STAMP", "datetime"}, {"FLAG", "boolean"},
};

QByteArray Escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Every tenth name holds an ampersand and non-ASCII text, so that the
// values the reader decodes include references and multi-byte characters.
void WritePacket(const QString &path, int rows)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(file.errorString());
    QByteArray chunk = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<DATAPACKET Version=\"2.0\">\n  <METADATA>\n    <FIELDS>\n";
    for (const FieldLayout &f : kFields)
        chunk += QByteArray("      <FIELD attrname=\"") + f.name + "\" fieldname=\"" + f.name + "\" fieldtype=\"" + f.type + "\"/>\n";
    chunk += "    </FIELDS>\n    <PARAMS/>\n  </METADATA>\n  <ROWDATA>\n";
    for (int i = 1; i <= rows; ++i) {
        const BenchRow r = MakeRow(i);
        const QString name = i % 10 == 0 ? r.name + QStringLiteral(" & Söhne") : r.name;
        const QByteArray values[] = {
            QByteArray::number(r.id),
            Escaped(name),
            Escaped(r.city),
            CurrToStr(r.amount).toLatin1(),
            FloatToStr(r.rate).toLatin1(),
            FormatDateTime(QStringLiteral("yyyy-mm-dd"), r.day).toLatin1(),
            FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), r.stamp).toLatin1(),
            r.flag ? QByteArray("True") : QByteArray("False"),
        };
        chunk += "    <ROW";
        for (size_t f = 0; f < std::size(kFields); ++f)
            chunk += QByteArray(" ") + kFields[f].name + "=\"" + values[f] + '"';
        chunk += " RowState=\"4\"/>\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    chunk += "  </ROWDATA>\n</DATAPACKET>\n";
    file.write(chunk);
    if (!file.commit())
        throw Exception(file.errorString());
}

struct LoadTotals
{
    qint64 rows = 0;
    qint64 chars = 0;
    double seconds = 0;
};

LoadTotals LoadPacket(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    LoadTotals totals;
    TXMLFile packet;
    packet.SetFileName(path);
    packet.Load();
    QStringList names;
    for (const FieldLayout &f : kFields)
        names << QLatin1String(f.name);
    const int count = packet.GetRowCount();
    const TXMLTagList *rows = packet.GetRows();
    for (int r = 0; r < count; ++r) {
        const TXMLTag *row = rows->Items(r);
        for (const QString &value : row->AttributeValues(names))
            totals.chars += value.size();
        ++totals.rows;
    }
    totals.seconds = timer.nsecsElapsed() / 1e9;
    return totals;
}

// The row state is not one of the fields and is left out of the count.
const char kElementTree[] = R"(
import sys, time, xml.etree.ElementTree as ET
t = time.perf_counter()
root = ET.parse(sys.argv[1]).getroot()
rows = chars = 0
for row in root.find('ROWDATA'):
    for name, value in row.attrib.items():
        if name != 'RowState':
            chars += len(value)
    rows += 1
print(time.perf_counter() - t, rows, chars)
)";

LoadTotals ElementTree(const QString &path)
{
    const QList<QByteArray> out = RunPython(kElementTree, {path}).trimmed().split(' ');
    LoadTotals totals;
    totals.seconds = out.value(0).toDouble();
    totals.rows = out.value(1).toLongLong();
    totals.chars = out.value(2).toLongLong();
    return totals;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--rss") == 0) {
        return RunBenchmark("xml_load", [&] {
            LoadPacket(QString::fromLocal8Bit(argv[2]));
            std::printf("%ld\n", PeakRssKb());
        });
    }
    const int rows = RowCountArgument(argc, argv, 1, 200000);
    std::printf("an XML data packet of %d rows of 8 fields\n", rows);
    return RunBenchmark("xml_load", [&] {
        QTemporaryDir dir;
        const QString packet = dir.filePath(QStringLiteral("bench.xml"));
        WritePacket(packet, rows);
        const double megabytes = QFileInfo(packet).size() / 1e6;

        const LoadTotals ours = LoadPacket(packet);
        const LoadTotals python = ElementTree(packet);
        if (ours.rows != rows || python.rows != rows || ours.chars != python.chars)
            throw Exception(QStringLiteral("the readers disagree: %1 rows, %2 characters against ElementTree's %3 and %4")
                                .arg(ours.rows).arg(ours.chars).arg(python.rows).arg(python.chars));
        PrintBench("xml_load", megabytes / ours.seconds, "MB/s");
        PrintBench("xml_load_elementtree", megabytes / python.seconds, "MB/s");
        PrintRatio("xml_load_vs_elementtree", python.seconds / ours.seconds);

        const long rss = ChildPeakRssKb({QStringLiteral("--rss"), packet});
        PrintBench("xml_load_file_size", megabytes * 1e6 / (1 << 20), "MiB");
        PrintBench("xml_load_peak_rss", rss / 1024.0, "MiB");
        // Higher is better, as for every ratio: 1/3 is the largest peak allowed.
        PrintRatio("xml_load_file_size_vs_peak_rss", megabytes * 1e6 / 1024.0 / double(rss));
    });
}
