#pragma once

// The baseline every import benchmark measures itself against: the rows of
// MakeRow written by a hand-written loop on the raw Firebird interface, one
// prepared INSERT and one input message, on a fresh database.

#include "bench_util.h"
#include "run_benchmark.h"

#include <firebird/Interface.h>

#include <cstring>
#include <utility>
#include <vector>

// Firebird counts dates from 17 November 1858, TDateTime from 30 December 1899.
inline constexpr int DateOffset = 15018;

// Seconds for one round of the raw loop.
inline double RawInsertSeconds(int rows)
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

// Rows per second of the raw loop and of a component's run, in rounds raw,
// component, component, raw, so that drift of the machine cancels.
// componentSeconds runs the component once and returns its seconds.
template<class ComponentSeconds>
std::pair<double, double> RawAndComponentRowsPerSecond(int rows, ComponentSeconds componentSeconds)
{
    double rawSeconds = RawInsertSeconds(rows);
    double seconds = componentSeconds();
    seconds += componentSeconds();
    rawSeconds += RawInsertSeconds(rows);
    return {2.0 * rows / rawSeconds, 2.0 * rows / seconds};
}
