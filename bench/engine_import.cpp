// Rows per second that the engine writes from a source held in memory (every
// value a text, converted by the destination column's type) against the raw
// prepared-insert loop on the same values, in the same run.
//
// Usage: engine_import [rows]   (default 1,000,000)

#include "import_rows.h"
#include "raw_insert.h"

#include <QTemporaryFile>

#include <vector>

namespace {

// Produces the benchmark rows as texts, one at a time.
class MemorySource : public TIB_Morvex2
{
public:
    explicit MemorySource(int rows) : m_rows(rows)
    {
        m_file.open();
        SetFileName(m_file.fileName());
    }

protected:
    void StartImport() override { m_row = 1; }
    bool CheckCondition() override { return m_row <= m_rows; }
    bool Skip() override { return false; }
    void FillImportRow() override
    {
        TMorvexRow *row = ImportRow();
        row->ClearValues();
        // As a file source does, the map is read again only when it changes.
        if (m_mapRevision != Map().Revision()) {
            m_mapRevision = Map().Revision();
            m_names.clear();
            m_fields.clear();
            for (int i = 0; i < Map().Count(); ++i) {
                m_names << Map().Names(i);
                m_fields.push_back(Map().ValueFromIndex(i).toInt() - 1);
            }
        }
        const QStringList texts = RowTexts(m_row);
        for (qsizetype i = 0; i < m_names.size(); ++i)
            row->SetValue(m_names.at(i), texts.value(m_fields[size_t(i)]));
        for (int i = 0; i < row->Count(); ++i)
            DoUserDataFormat(row->Items(i));
    }
    void ChangeCondition() override { ++m_row; }

private:
    QTemporaryFile m_file;
    int m_rows;
    int m_row = 1;
    std::uint64_t m_mapRevision = 0;
    QStringList m_names;
    std::vector<int> m_fields;
};

// Seconds the source alone takes to make the rows' texts: the part of the
// engine's run that a real source (a file reader) replaces with its own work.
double TextSeconds(int rows)
{
    QElapsedTimer timer;
    timer.start();
    qsizetype total = 0;
    for (int i = 1; i <= rows; ++i)
        total += RowTexts(i).size();
    if (total != qsizetype(rows) * 8)
        throw Exception(QStringLiteral("the rows lost texts"));
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    const int rows = RowCountArgument(argc, argv, 1, 1000000);
    std::printf("importing %d rows of 8 text values through the engine, fresh database each;\n"
                "rounds raw, engine, engine, raw so that drift of the machine cancels\n", rows);
    return RunBenchmark("engine_import", [rows] {
        const auto engineSeconds = [rows] {
            MemorySource source(rows);
            return rows / ImportRowsPerSecond("engine_import", source, rows);
        };
        double rawSeconds = RawInsertSeconds(rows);
        double seconds = engineSeconds();
        seconds += engineSeconds();
        rawSeconds += RawInsertSeconds(rows);
        const double raw = 2.0 * rows / rawSeconds;
        const double engine = 2.0 * rows / seconds;
        PrintBench("engine_import_raw", raw, "rows/s");
        PrintBench("engine_import_engine", engine, "rows/s");
        PrintRatio("engine_import_vs_raw", engine / raw);
        const double withoutTexts = rows / (rows / engine - TextSeconds(rows));
        PrintBench("engine_import_engine_without_source_texts", withoutTexts, "rows/s");
        PrintRatio("engine_import_without_source_texts_vs_raw", withoutTexts / raw);
    });
}
