#include "inspect.h"

#include "csvstringtostrings.h"
#include "dbffile.h"
#include "dbfinspect.h"
#include "exception.h"
#include "importjob.h"
#include "stringlist.h"
#include "tadoconnection.h"
#include "tadodataset.h"
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

// Workbooks: per worksheet its name and size, then every cell of its first
// rows (all rows without a limit): position (0-based, and by name as a range
// map writes it), type, text, value and number format.
QString cellTypeName(TbiffCellType type)
{
    switch (type) {
    case bctString:
        return QStringLiteral("string");
    case bctBoolean:
        return QStringLiteral("boolean");
    case bctNumeric:
        return QStringLiteral("numeric");
    case bctDateTime:
        return QStringLiteral("datetime");
    case bctUnknown:
        break;
    }
    return QStringLiteral("unknown");
}

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
                const TbiffCell *cell = sheet->GetCells(r, c);
                if (!cell)
                    continue;
                const TbiffCellType type = cell->GetCellType();
                QJsonObject line{{QStringLiteral("sheet"), s + 1},
                                 {QStringLiteral("row"), r},
                                 {QStringLiteral("col"), c},
                                 {QStringLiteral("cell"), cell->GetCellName()},
                                 {QStringLiteral("type"), cellTypeName(type)},
                                 {QStringLiteral("text"), cell->GetAsString()},
                                 {QStringLiteral("format"), cell->GetFormatList().GetFormat(cell->GetFormatIndex())},
                                 {QStringLiteral("formula"), cell->GetIsFormula()}};
                if (type == bctNumeric || type == bctDateTime)
                    line.insert(QStringLiteral("number"), cell->GetAsFloat());
                printLine(out, line);
            }
        }
    }
}

// Access databases: the user tables, then for the chosen table or statement
// its fields and one object per row.
void inspectAccess(const InspectOptions &options, QTextStream &out)
{
    const QString connectionString = AccessConnectionString(options.file);
    TADOConnection connection;
    connection.SetLoginPrompt(false);
    connection.SetConnectionString(connectionString);
    TStringList tables;
    connection.GetTableNames(tables);
    QJsonArray names;
    for (int i = 0; i < tables.Count(); ++i)
        names.append(tables[i]);
    printLine(out, QJsonObject{{QStringLiteral("tables"), names}});
    if (options.table.isEmpty() && options.sql.isEmpty())
        return;
    TADODataSet dataset;
    dataset.SetConnectionString(connectionString);
    dataset.SetCommandType(options.sql.isEmpty() ? cmdTable : cmdText);
    dataset.SetCommandText(options.sql.isEmpty() ? options.table : options.sql);
    dataset.Open();
    QJsonArray fields;
    for (int i = 0; i < dataset.FieldCount(); ++i)
        fields.append(QJsonObject{{QStringLiteral("name"), dataset.Fields(i)->FieldName()},
                                  {QStringLiteral("blob"), dataset.Fields(i)->IsBlob()}});
    printLine(out, QJsonObject{{QStringLiteral("fields"), fields}});
    for (int row = 1; !dataset.Eof() && (options.limit <= 0 || row <= options.limit); ++row, dataset.Next()) {
        QJsonObject values;
        for (int i = 0; i < dataset.FieldCount(); ++i)
            values.insert(dataset.Fields(i)->FieldName(), dataset.Fields(i)->Text());
        printLine(out, QJsonObject{{QStringLiteral("row"), row}, {QStringLiteral("values"), values}});
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
        } else if (options.kind == QLatin1String("access")) {
            inspectAccess(options, out);
        } else {
            QTextStream(stderr) << QStringLiteral("--inspect knows the kinds csv, txt, dbf, xls, xml, access") << '\n';
            return StatusNotRun;
        }
    } catch (const Exception &e) {
        out.flush();
        QTextStream(stderr) << e.Message() << '\n';
        return StatusNotRun;
    }
    return StatusOk;
}
