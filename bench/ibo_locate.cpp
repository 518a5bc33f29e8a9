// Locate by primary key, Edit, set two columns, Post through TIB_Query,
// against a raw prepared SELECT + UPDATE loop in the same run, on one table
// of many rows. The dataset must not read the table to the client: the peak
// memory before and after its loop is printed.
//
// Usage: ibo_locate [table rows] [updates]   (defaults 1,000,000 and 100,000)

#include "bench_util.h"
#include "run_benchmark.h"
#include "tib_query.h"
#include "tib_row.h"

#include <firebird/Interface.h>

#include <cstring>

namespace {

// A fixed pseudo-random walk over the keys, different per loop.
struct KeySequence
{
    uint64_t state;
    int rows;
    int Next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((state >> 33) % uint64_t(rows)) + 1;
    }
};

void Fill(BenchDatabase &db, int rows)
{
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    transaction.ExecuteImmediate(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
        "INSERT INTO BENCH VALUES (:I, 'Customer ' || :I, 'City ' || MOD(:I, 977), MOD(:I, 100000) + 12, "
        ":I * 0.25, DATE '2009-07-06' + MOD(:I, 10000), TIMESTAMP '2009-07-06 12:00:00', MOD(:I, 2) = 1); "
        "I = I + 1; END END").arg(rows));
    transaction.Commit();
}

// Seconds for one round of each kind; every round walks other keys.
double RawLoop(BenchDatabase &db, int rows, int updates, uint64_t seed)
{
    Firebird::IMaster *master = Firebird::fb_get_master_interface();
    Firebird::ThrowStatusWrapper st(master->getStatus());
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    Firebird::IAttachment *att = db.connection.Attachment();
    KeySequence keys{seed, rows};

    QElapsedTimer timer;
    timer.start();
    Firebird::IStatement *select = att->prepare(
        &st, transaction.Handle(), 0,
        "SELECT ID, NAME, CITY, AMOUNT, RATE, ON_DATE, STAMP, FLAG FROM BENCH WHERE ID = ?", 3,
        Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    Firebird::IStatement *update =
        att->prepare(&st, transaction.Handle(), 0, "UPDATE BENCH SET CITY = ?, RATE = ? WHERE ID = ?", 3, 0);
    Firebird::IMessageMetadata *selIn = select->getInputMetadata(&st);
    Firebird::IMessageMetadata *selOut = select->getOutputMetadata(&st);
    Firebird::IMessageMetadata *updIn = update->getInputMetadata(&st);
    std::vector<unsigned char> keyBuf(selIn->getMessageLength(&st), 0);
    std::vector<unsigned char> rowBuf(selOut->getMessageLength(&st), 0);
    std::vector<unsigned char> updBuf(updIn->getMessageLength(&st), 0);
    const unsigned keyOff = selIn->getOffset(&st, 0);
    unsigned updOff[3];
    for (unsigned i = 0; i < 3; ++i)
        updOff[i] = updIn->getOffset(&st, i);
    const unsigned idOff = selOut->getOffset(&st, 0);
    for (int n = 0; n < updates; ++n) {
        const int32_t key = keys.Next();
        std::memcpy(keyBuf.data() + keyOff, &key, 4);
        Firebird::IResultSet *rs = select->openCursor(&st, transaction.Handle(), selIn, keyBuf.data(), selOut, 0);
        const bool found = rs->fetchNext(&st, rowBuf.data()) == Firebird::IStatus::RESULT_OK;
        rs->close(&st);
        if (!found)
            continue;
        const QByteArray city = QStringLiteral("Moved %1").arg(n).toUtf8();
        const uint16_t len = uint16_t(city.size());
        std::memcpy(updBuf.data() + updOff[0], &len, 2);
        std::memcpy(updBuf.data() + updOff[0] + 2, city.constData(), len);
        const double rate = n * 0.5;
        std::memcpy(updBuf.data() + updOff[1], &rate, 8);
        std::memcpy(updBuf.data() + updOff[2], rowBuf.data() + idOff, 4);
        update->execute(&st, transaction.Handle(), updIn, updBuf.data(), nullptr, nullptr);
    }
    transaction.Commit();
    const double seconds = timer.nsecsElapsed() / 1e9;
    selIn->release();
    selOut->release();
    updIn->release();
    select->free(&st);
    update->free(&st);
    st.dispose();
    return seconds;
}

double IboLoop(BenchDatabase &db, int rows, int updates, uint64_t seed, long &rssBefore, long &rssAfter)
{
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    TIB_Query query;
    query.SetIB_Transaction(&transaction);
    KeySequence keys{seed, rows};

    rssBefore = PeakRssKb();
    QElapsedTimer timer;
    timer.start();
    query.SetSQL(QStringLiteral("SELECT * FROM BENCH"));
    query.Open();
    query.DisableControls();
    TIB_Row *fields = query.Fields();
    for (int n = 0; n < updates; ++n) {
        // The import passes key values as text.
        if (!query.Locate(QStringLiteral("ID"), QString::number(keys.Next()), lopCaseInsensitive))
            continue;
        query.Edit();
        fields->Columns(2)->SetAsString(QStringLiteral("Moved %1").arg(n));
        fields->Columns(4)->SetAsDouble(n * 0.5);
        query.Post();
    }
    query.EnableControls();
    transaction.Commit();
    const double seconds = timer.nsecsElapsed() / 1e9;
    rssAfter = PeakRssKb();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    const int rows = RowCountArgument(argc, argv, 1, 1000000);
    const int updates = RowCountArgument(argc, argv, 2, 100000);
    std::printf("%d x (locate by key, edit two columns, post) on a table of %d rows\n", updates, rows);
    return RunBenchmark("ibo_locate", [rows, updates] {
        BenchDatabase db("locate");
        Fill(db, rows);
        // Rounds raw, dataset, dataset, raw of half the updates each, after a
        // warm-up, so that the growing page cache favours neither side.
        RawLoop(db, rows, updates / 4, 1);
        const int half = updates / 2;
        long rssBefore = 0, rssAfter = 0, unused = 0;
        double rawSeconds = RawLoop(db, rows, half, 2);
        double iboSeconds = IboLoop(db, rows, half, 3, rssBefore, unused);
        iboSeconds += IboLoop(db, rows, half, 4, unused, rssAfter);
        rawSeconds += RawLoop(db, rows, half, 5);
        const double raw = 2.0 * half / rawSeconds;
        const double ibo = 2.0 * half / iboSeconds;
        std::printf("peak resident memory: %ld KB before the dataset rounds, %ld KB after\n", rssBefore, rssAfter);
        PrintBench("ibo_locate_raw", raw, "rows/s");
        PrintBench("ibo_locate_query", ibo, "rows/s");
        PrintBench("ibo_locate_peak_rss_growth", double(rssAfter - rssBefore), "KB");
        PrintRatio("ibo_locate_vs_raw", ibo / raw);
    });
}
