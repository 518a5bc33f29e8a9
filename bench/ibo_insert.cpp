// Rows per second written through TIB_Query Append ... Post against a
// hand-written loop on the raw Firebird interface (one prepared INSERT, one
// input message) in the same transaction handling, each on a fresh database.
//
// Usage: ibo_insert [rows per round]   (default 1,000,000)

#include "raw_insert.h"
#include "tib_query.h"
#include "tib_row.h"


namespace {

double IboInsert(int rows)
{
    BenchDatabase db("ibo_insert");
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    TIB_Query query;
    query.SetIB_Transaction(&transaction);

    QElapsedTimer timer;
    timer.start();
    query.SetSQL(QStringLiteral("SELECT * FROM BENCH"));
    query.Open();
    query.DisableControls();
    TIB_Row *fields = query.Fields();
    for (int i = 1; i <= rows; ++i) {
        const BenchRow r = MakeRow(i);
        query.Append();
        fields->Columns(0)->SetAsInteger(r.id);
        fields->Columns(1)->SetAsString(r.name);
        fields->Columns(2)->SetAsString(r.city);
        fields->Columns(3)->SetAsCurrency(r.amount);
        fields->Columns(4)->SetAsDouble(r.rate);
        fields->Columns(5)->SetAsDateTime(r.day);
        fields->Columns(6)->SetAsDateTime(r.stamp);
        fields->Columns(7)->SetAsBoolean(r.flag);
        query.Post();
    }
    query.EnableControls();
    transaction.Commit();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    const int rows = RowCountArgument(argc, argv, 1, 1000000);
    std::printf("inserting %d rows of 8 columns, one transaction, fresh database each;\n"
                "rounds raw, dataset, dataset, raw so that drift of the machine cancels\n", rows);
    return RunBenchmark("ibo_insert", [rows] {
        double rawSeconds = RawInsertSeconds(rows);
        double iboSeconds = IboInsert(rows);
        iboSeconds += IboInsert(rows);
        rawSeconds += RawInsertSeconds(rows);
        const double raw = 2.0 * rows / rawSeconds;
        const double ibo = 2.0 * rows / iboSeconds;
        PrintBench("ibo_insert_raw", raw, "rows/s");
        PrintBench("ibo_insert_query", ibo, "rows/s");
        PrintRatio("ibo_insert_vs_raw", ibo / raw);
    });
}
