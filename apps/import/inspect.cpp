#include "inspect.h"

#include "csvstringtostrings.h"
#include "dbffile.h"
#include "dbfinspect.h"
#include "exception.h"
#include "importjob.h"
#include "stringlist.h"
#include "textfilereader.h"
#include "xlsfile.h"
#include "xmlfile.h"
#include "xmltag.h"
#include "xmltaglist.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

void printLine(QTextStream &out, const QJsonObject &object)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

// Text files: for csv the fields of each line as the splitter sees them,
// for txt the raw lines.
void inspectText(const InspectOptions &options, QTextStream &out)
{
    QFile file(options.file);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(options.file, file.errorString()));
    TTextFileReader reader(&file, options.codePage);
    const bool delimited = options.kind == QLatin1String("csv");
    QString line;
    QString terminator;
    TStringList fields;
    while ((options.limit <= 0 || reader.LineNumber() < options.limit) && reader.ReadLine(line, terminator)) {
        QJsonObject object{{QStringLiteral("line"), reader.LineNumber()}};
        if (delimited) {
            CSVStringToStrings(line, options.quote, options.comma, fields);
            QJsonArray values;
            for (int i = 0; i < fields.Count(); ++i)
                values.append(fields[i]);
            object.insert(QStringLiteral("fields"), values);
        } else {
            object.insert(QStringLiteral("text"), line);
        }
        printLine(out, object);
    }
}

QJsonObject attributesOf(const TXMLTag &tag)
{
    QJsonObject object;
    const TStringList attributes = tag.Attributes();
    for (int i = 0; i < attributes.Count(); ++i)
        object.insert(attributes.Names(i), attributes.ValueFromIndex(i));
    return object;
}

// XML data packets: the field list, then one object per row element.
void inspectXml(const InspectOptions &options, QTextStream &out)
{
    TXMLFile packet;
    packet.SetFileName(options.file);
    packet.Load();
    QJsonArray fields;
    if (const TXMLTagList *list = packet.GetFields()) {
        for (int i = 0; i < list->Count(); ++i)
            fields.append(attributesOf(*list->Items(i)));
    }
    printLine(out, QJsonObject{{QStringLiteral("fields"), fields}});
    const TXMLTagList *rows = packet.GetRows();
    for (int i = 0; rows && i < rows->Count() && (options.limit <= 0 || i < options.limit); ++i)
        printLine(out, QJsonObject{{QStringLiteral("row"), i + 1}, {QStringLiteral("values"), attributesOf(*rows->Items(i))}});
}

// Workbooks: per worksheet its name and size, then the text of every cell
// of its first rows (all rows without a limit), by cell name, as a range map
// reads it.
void inspectXls(const InspectOptions &options, QTextStream &out)
{
    TxlsFile file(options.file);
    file.Load();
    TxlsWorkSheetList &sheets = file.Workbook().WorkSheets();
    for (int s = 0; s < sheets.Count(); ++s) {
        TxlsWorkSheet *sheet = sheets.Items(s);
        printLine(out, QJsonObject{{QStringLiteral("sheet"), s + 1},
                                   {QStringLiteral("name"), sheet->GetName()},
                                   {QStringLiteral("rows"), sheet->GetRowCount()},
                                   {QStringLiteral("cols"), sheet->GetColCount()}});
        const int rows = options.limit > 0 ? qMin(options.limit, sheet->GetRowCount()) : sheet->GetRowCount();
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < sheet->GetColCount(); ++c) {
                if (const TbiffCell *cell = sheet->GetCells(r, c))
                    printLine(out, QJsonObject{{QStringLiteral("sheet"), s + 1},
                                               {QStringLiteral("cell"), cell->GetCellName()},
                                               {QStringLiteral("value"), cell->GetAsString()}});
            }
        }
    }
}

} // namespace

int RunInspect(const InspectOptions &options)
{
    QTextStream out(stdout);
    try {
        if (options.kind == QLatin1String("csv") || options.kind == QLatin1String("txt")) {
            inspectText(options, out);
        } else if (options.kind == QLatin1String("dbf")) {
            TDBFRead reader(options.file);
            if (!options.codePage.isEmpty())
                reader.SetCodePage(options.codePage);
            QFile stdoutFile;
            stdoutFile.open(stdout, QIODevice::WriteOnly);
            WriteDBFInspection(reader, &stdoutFile);
        } else if (options.kind == QLatin1String("xml")) {
            inspectXml(options, out);
        } else if (options.kind == QLatin1String("xls")) {
            inspectXls(options, out);
        } else {
            QTextStream(stderr) << QStringLiteral("--inspect knows the kinds csv, txt, dbf, xls, xml") << '\n';
            return StatusNotRun;
        }
    } catch (const Exception &e) {
        out.flush();
        QTextStream(stderr) << e.Message() << '\n';
        return StatusNotRun;
    }
    return StatusOk;
}
