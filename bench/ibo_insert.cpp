// Rows per second written through TIB_Query Append ... Post against a
// hand-written loop on the raw Firebird interface (one prepared INSERT, one
// input message) in the same transaction handling, each on a fresh database.
//
// Usage: ibo_insert [rows per round]   (default 1,000,000)

#include "bench_util.h"
#include "tib_query.h"
#include "tib_row.h"

#include <firebird/Interface.h>

#include <cstring>

namespace {

// Firebird counts dates from 17 November 1858, TDateTime from 30 December 1899.
constexpr int DateOffset = 15018;

// Seconds for one round of each kind.
double RawInsert(int rows)
{
    BenchDatabase db("raw_insert");
    Firebird::IMaster *master = Firebird::fb_get_master_interface();
    Firebird::ThrowStatusWrapper st(master->getStatus());
    TIB_Transaction transaction;
    transaction.SetIB_Connection(&db.connection);
    Firebird::IAttachment *att = db.connection.Attachment();

    QElapsedTimer timer;
    timer.start();
    Firebird::IStatement *stmt = att->prepare(
        &st, transaction.Handle(), 0,
        "INSERT INTO BENCH (ID, NAME, CITY, AMOUNT, RATE, ON_DATE, STAMP, FLAG) VALUES (?, ?, ?, ?, ?, ?, ?, ?)", 3, 0);
    Firebird::IMessageMetadata *meta = stmt->getInputMetadata(&st);
    std::vector<unsigned char> buffer(meta->getMessageLength(&st), 0);
    unsigned off[8], nul[8];
    for (unsigned i = 0; i < 8; ++i) {
        off[i] = meta->getOffset(&st, i);
        nul[i] = meta->getNullOffset(&st, i);
        std::memset(buffer.data() + nul[i], 0, 2);
    }
    auto put = [&](unsigned i, const void *p, size_t n) { std::memcpy(buffer.data() + off[i], p, n); };
    auto putText = [&](unsigned i, const QString &s) {
        const QByteArray bytes = s.toUtf8();
        const uint16_t n = uint16_t(bytes.size());
        put(i, &n, 2);
        std::memcpy(buffer.data() + off[i] + 2, bytes.constData(), size_t(n));
    };
    for (int i = 1; i <= rows; ++i) {
        const BenchRow r = MakeRow(i);
        const int32_t id = r.id;
        put(0, &id, 4);
        putText(1, r.name);
        putText(2, r.city);
        const int64_t cents = r.amount.Value / 100;
        put(3, &cents, 8);
        put(4, &r.rate, 8);
        const int32_t day = int32_t(r.day) + DateOffset;
        put(5, &day, 4);
        const int32_t stampDay = int32_t(r.stamp) + DateOffset;
        const uint32_t stampTime = uint32_t((r.stamp - int32_t(r.stamp)) * 864000000.0 + 0.5);
        put(6, &stampDay, 4);
        std::memcpy(buffer.data() + off[6] + 4, &stampTime, 4);
        const unsigned char flag = r.flag ? 1 : 0;
        put(7, &flag, 1);
        stmt->execute(&st, transaction.Handle(), meta, buffer.data(), nullptr, nullptr);
    }
    transaction.Commit();
    const double seconds = timer.nsecsElapsed() / 1e9;
    meta->release();
    stmt->free(&st);
    st.dispose();
    return seconds;
}

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
    try {
        double rawSeconds = RawInsert(rows);
        double iboSeconds = IboInsert(rows);
        iboSeconds += IboInsert(rows);
        rawSeconds += RawInsert(rows);
        const double raw = 2.0 * rows / rawSeconds;
        const double ibo = 2.0 * rows / iboSeconds;
        PrintBench("ibo_insert_raw", raw, "rows/s");
        PrintBench("ibo_insert_query", ibo, "rows/s");
        PrintRatio("ibo_insert_vs_raw", ibo / raw);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "ibo_insert: %s\n", e.what());
        return 1;
    } catch (const Firebird::FbException &e) {
        char text[1024];
        Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
        std::fprintf(stderr, "ibo_insert: %s\n", text);
        return 1;
    }
    return 0;
}
