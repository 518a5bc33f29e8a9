// Feeds arbitrary bytes to the delimited-line splitter and, as a file, through
// a whole text import in both modes, into a row handler or as CSV text. The
// first two bytes choose the separator and the quote; the rest is the file.
#include "csvstringtostrings.h"
#include "stringlist.h"
#include "tib_morvex2ascii.h"

#include <QBuffer>
#include <QByteArray>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QChar comma = QChar(char16_t(data[0] % 4 == 0 ? 0 : data[0]));
    const QChar quote = QChar(char16_t(data[1] % 3 == 0 ? 0 : data[1]));
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    TStringList fields;
    CSVStringToStrings(QString::fromUtf8(bytes), quote, comma.isNull() ? QChar(u',') : comma, fields);

    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return 0;
    file.resize(0);
    file.seek(0);
    file.write(bytes);
    file.flush();

    TIB_Morvex2ASCII ascii;
    ascii.SetFileName(file.fileName());
    ascii.SetComma(comma);
    ascii.SetQuote(quote);
    ascii.SetSkipFirstRows(data[0] % 3);
    ascii.SetImportDestination(mxdUserDefined);
    if (comma.isNull()) {
        ascii.Map().Add(QStringLiteral("A=0;3"));
        ascii.Map().Add(QStringLiteral("B=2;1000"));
    } else {
        ascii.Map().Add(QStringLiteral("A=1"));
        ascii.Map().Add(QStringLiteral("B=3"));
        // A field that two columns take goes the way of the field list.
        if (data[1] % 2 == 0)
            ascii.Map().Add(QStringLiteral("C=1"));
    }
    qsizetype total = 0;
    ascii.OnUserDefinedImport = [&total](QObject *, TMorvexRow *row) {
        for (int i = 0; i < row->Count(); ++i)
            total += row->Items(i)->Value.size();
    };
    try {
        if (data[1] % 4 == 1) {
            // The CSV writer's quoting takes every character the reader gives.
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            ascii.ImportToCSV(&out, u';', quote.isNull() ? QChar(u'"') : quote);
        } else {
            ascii.Execute();
        }
    } catch (const Exception &) {
        // A file the importer refuses is a result, not a fault.
    }
    return 0;
}
