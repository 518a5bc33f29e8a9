// Reads arbitrary bytes as a dBase table, with the second half also serving as
// its memo file, through the same walk the tests use; the last byte picks the
// memo kind.
#include "dbffile.h"
#include "dbfinspect.h"
#include "exception.h"

#include <QBuffer>
#include <QByteArray>
#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QLoggingCategory::setFilterRules(QStringLiteral("morvex.dbf=false"));
    QByteArray table(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray memo = table.mid(table.size() / 2);
    const TMemoType memoType = size == 0 ? mtNone : TMemoType(data[size - 1] % 3);
    QBuffer tableDevice(&table);
    QBuffer memoDevice(&memo);
    tableDevice.open(QIODevice::ReadOnly);
    memoDevice.open(QIODevice::ReadOnly);
    QByteArray lines;
    QBuffer out(&lines);
    out.open(QIODevice::WriteOnly);
    try {
        TDBFRead reader(&tableDevice, &memoDevice, memoType);
        reader.SetCodePage(QStringLiteral("auto"));
        for (int i = 0; i < reader.GetFCount(); ++i) {
            (void)reader.GetNumField(reader.GetFieldName(i));
            (void)reader.GetDisp(reader.GetFieldName(i));
            (void)DBFTypeToStr(reader.GetFieldType(i));
        }
        WriteDBFInspection(reader, &out);
        (void)reader.GetMemoData(1);
    } catch (const Exception &) {
        // Documented errors of damaged input.
    }
    return 0;
}
