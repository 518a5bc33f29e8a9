// The text import on a CSV file of the benchmark rows:
// - into Firebird, against the raw prepared-insert loop on the same values
//   (rounds raw, text, text, raw);
// - ImportToCSV, in MB/s, against python3's csv module reading and writing
//   the same file (each side's best of five rounds);
// - the peak memory of ImportToCSV for a file of N and of 4 × N rows, each
//   measured in a child process of its own.
//
// Usage: text_import [rows]   (default 1,000,000)
//        text_import --rss ROWS   (the child: prints its peak memory)

#include "import_rows.h"
#include "raw_insert.h"

#include "tib_morvex2ascii.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

QString WriteCsv(const QString &path, int rows)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(file.errorString());
    QByteArray chunk;
    for (int i = 1; i <= rows; ++i) {
        const QStringList texts = RowTexts(i);
        chunk += texts.join(u',').toUtf8();
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    if (!file.commit())
        throw Exception(file.errorString());
    return path;
}

// Seconds of one ImportToCSV of the file into another file.
double AsciiToCsv(const QString &csv, const QString &out)
{
    QElapsedTimer timer;
    timer.start();
    TIB_Morvex2ASCII ascii;
    ascii.SetFileName(csv);
    ascii.SetComma(u',');
    for (const QString &line : BenchMap())
        ascii.Map().Add(line);
    QFile target(out);
    if (!target.open(QIODevice::WriteOnly))
        throw Exception(target.errorString());
    ascii.ImportToCSV(&target, u',', u'"');
    target.close();
    return timer.nsecsElapsed() / 1e9;
}

double PythonCsv(const QString &csv, const QString &out)
{
    const QString script = QStringLiteral(
        "import csv, sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8') as f, open(sys.argv[2], 'w', newline='', encoding='utf-8') as g:\n"
        "    w = csv.writer(g, quoting=csv.QUOTE_ALL)\n"
        "    for row in csv.reader(f):\n"
        "        w.writerow(row)\n");
    QElapsedTimer timer;
    timer.start();
    RunChild(QStringLiteral("python3"), {QStringLiteral("-c"), script, csv, out});
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--rss") == 0) {
        return RunBenchmark("text_import", [&] {
            QTemporaryDir dir;
            const int rows = RowCountArgument(argc, argv, 2, 0);
            const QString csv = WriteCsv(dir.filePath(QStringLiteral("in.csv")), rows);
            AsciiToCsv(csv, dir.filePath(QStringLiteral("out.csv")));
            std::printf("%ld\n", PeakRssKb());
        });
    }
    const int rows = RowCountArgument(argc, argv, 1, 1000000);
    std::printf("a CSV file of %d rows of 8 columns\n", rows);
    return RunBenchmark("text_import", [&] {
        QTemporaryDir dir;
        const QString csv = WriteCsv(dir.filePath(QStringLiteral("in.csv")), rows);
        const double megabytes = QFileInfo(csv).size() / 1e6;

        const auto asciiSeconds = [&] {
            TIB_Morvex2ASCII importer;
            importer.SetFileName(csv);
            importer.SetComma(u',');
            return rows / ImportRowsPerSecond("text_import", importer, rows);
        };
        const auto [raw, ascii] = RawAndComponentRowsPerSecond(rows, asciiSeconds);
        PrintBench("text_import_raw", raw, "rows/s");
        PrintBench("text_import_ascii", ascii, "rows/s");
        PrintRatio("text_import_vs_raw", ascii / raw);

        // Each side's best of five rounds, taken in turns, so that a busy
        // moment of the machine does not decide the ratio. Every round
        // writes a new file: freeing the last round's file is the file
        // system's work, and it would land in whichever round came next.
        double csvSeconds = 0, pythonSeconds = 0;
        for (int round = 0; round < 5; ++round) {
            const double ours = AsciiToCsv(csv, dir.filePath(QStringLiteral("out%1.csv").arg(round)));
            const double theirs = PythonCsv(csv, dir.filePath(QStringLiteral("py%1.csv").arg(round)));
            csvSeconds = round == 0 ? ours : qMin(csvSeconds, ours);
            pythonSeconds = round == 0 ? theirs : qMin(pythonSeconds, theirs);
        }
        const double toCsv = megabytes / csvSeconds;
        const double python = megabytes / pythonSeconds;
        PrintBench("text_to_csv", toCsv, "MB/s");
        PrintBench("text_to_csv_python", python, "MB/s");
        PrintRatio("text_to_csv_vs_python", toCsv / python);

        const long small = ChildPeakRssKb({QStringLiteral("--rss"), QString::number(rows)});
        const long large = ChildPeakRssKb({QStringLiteral("--rss"), QString::number(rows * 4)});
        PrintBench("text_to_csv_peak_rss", small / 1024.0, "MiB");
        PrintBench("text_to_csv_peak_rss_4x", large / 1024.0, "MiB");
        PrintRatio("text_to_csv_rss_flatness", double(small) / double(large));
    });
}
