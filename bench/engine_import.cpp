// Rows per second that the engine writes from a source that reads its rows
// from a list held in memory (every value a text, converted by the
// destination column's type) against the raw prepared-insert loop on the
// same values, in the same run. The list is made before the runs, as an
// application holds its rows before it imports them: what is timed is the
// engine and the destination, not the making of the texts.
//
// Usage: engine_import [rows]   (default 1,000,000)
#include "import_rows.h"
#include "raw_insert.h"

#include <QTemporaryFile>

#include <vector>

namespace {

// The benchmark rows as texts, eight to a row, one string each.
std::vector<QString> MakeTexts(int rows)
{
    std::vector<QString> texts;
    texts.reserve(size_t(rows) * 8);
    for (int i = 1; i <= rows; ++i) {
        for (QString &text : RowTexts(i))
            texts.push_back(std::move(text));
    }
    return texts;
}

// Reads the rows from the list, one row of eight texts after the other.
class ListSource : public TIB_Morvex2
{
public:
    explicit ListSource(const std::vector<QString> &texts) : m_texts(texts)
    {
        m_file.open();
        SetFileName(m_file.fileName());
    }

protected:
    void StartImport() override { m_row = 0; }
    bool CheckCondition() override { return (m_row + 1) * 8 <= m_texts.size(); }
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
        static const QString noText;
        const QString *texts = m_texts.data() + m_row * 8;
        for (qsizetype i = 0; i < m_names.size(); ++i) {
            const int field = m_fields[size_t(i)];
            row->SetValue(m_names.at(i), field >= 0 && field < 8 ? texts[field] : noText);
        }
        for (int i = 0; i < row->Count(); ++i)
            DoUserDataFormat(row->Items(i));
    }
    void ChangeCondition() override { ++m_row; }

private:
    QTemporaryFile m_file;
    const std::vector<QString> &m_texts;
    size_t m_row = 0;
    std::uint64_t m_mapRevision = 0;
    QStringList m_names;
    std::vector<int> m_fields;
};

} // namespace

int main(int argc, char **argv)
{
    const int rows = RowCountArgument(argc, argv, 1, 1000000);
    std::printf("importing %d rows of 8 text values through the engine, fresh database each;\n"
                "rounds raw, engine, engine, raw so that drift of the machine cancels\n", rows);
    return RunBenchmark("engine_import", [rows] {
        const std::vector<QString> texts = MakeTexts(rows);
        const auto engineSeconds = [rows, &texts] {
            ListSource source(texts);
            return rows / ImportRowsPerSecond("engine_import", source, rows);
        };
        const auto [raw, engine] = RawAndComponentRowsPerSecond(rows, engineSeconds);
        PrintBench("engine_import_raw", raw, "rows/s");
        PrintBench("engine_import_engine", engine, "rows/s");
        PrintRatio("engine_import_vs_raw", engine / raw);
    });
}
