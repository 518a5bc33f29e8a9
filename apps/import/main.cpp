// morvex-import: runs one import component from a configuration file into a
// Firebird table or a CSV file, or shows what it sees in a source file.
#include "importjob.h"
#include "inspect.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

const char kDescription[] =
    "Imports a source file into a Firebird table (or a CSV file) with the settings of an\n"
    "import configuration file.\n"
    "\n"
    "  morvex-import --config FILE.ini --kind KIND --database DB --table NAME\n"
    "                [--user U --password P] [--create] [--ddl FILE.sql] [--set S.K=V]... [--json]\n"
    "  morvex-import --config FILE.ini --kind KIND --to-csv OUT.csv [--comma C] [--quote Q]\n"
    "  morvex-import --inspect FILE --kind KIND [--limit N] [--comma C] [--quote Q]\n"
    "  morvex-import --inspect FILE.mdb --kind access [--table T | --sql S] [--limit N]\n"
    "\n"
    "DB is a database file opened by the embedded engine, or host:path / host/port:path of a\n"
    "server. A relative FileName or ErrorLogFileName of the configuration file is taken\n"
    "relative to the configuration file. The engine asks for commits every CommitRecCount\n"
    "rows and at the end; whatever it did not ask to commit is rolled back (after Ctrl-C,\n"
    "after an error, or when the process is killed). With --to-csv every row is written\n"
    "(the import mode is Insert All).\n"
    "\n"
    "For the kind access the configuration's ACCESS_OPTIONS section names the table;\n"
    "--sql S reads the result of the SELECT statement S instead. --inspect of an Access\n"
    "database lists its tables, then the fields and rows of --table or --sql.\n"
    "\n"
    "Exit status: 0 success, 1 some rows failed, 2 the import could not run or was canceled.";

QChar singleChar(const QString &value, QChar fallback)
{
    if (value.isEmpty())
        return fallback;
    if (value == QLatin1String("tab") || value == QLatin1String("\\t"))
        return u'\t';
    if (value == QLatin1String("none"))
        return QChar();
    return value.at(0);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("morvex-import"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    const QCommandLineOption config(QStringLiteral("config"), QStringLiteral("Import configuration file."), QStringLiteral("FILE"));
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("Source kind: %1.").arg(ImportKinds().join(QStringLiteral(", "))), QStringLiteral("KIND"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("Firebird database."), QStringLiteral("DB"));
    const QCommandLineOption table(QStringLiteral("table"), QStringLiteral("Destination table (with --inspect: the Access table to show)."), QStringLiteral("NAME"));
    const QCommandLineOption sql(QStringLiteral("sql"), QStringLiteral("Access: read the result of this SELECT statement."), QStringLiteral("S"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("User name (default SYSDBA)."), QStringLiteral("U"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Password."), QStringLiteral("P"));
    const QCommandLineOption create(QStringLiteral("create"), QStringLiteral("Create the database file when it does not exist."));
    const QCommandLineOption ddl(QStringLiteral("ddl"), QStringLiteral("Run the statements of an SQL script before importing."), QStringLiteral("FILE.sql"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("Override a setting of the configuration file (repeatable)."), QStringLiteral("SECTION.KEY=VALUE"));
    const QCommandLineOption toCsv(QStringLiteral("to-csv"), QStringLiteral("Write the rows as delimited text instead of a table."), QStringLiteral("OUT.csv"));
    const QCommandLineOption comma(QStringLiteral("comma"), QStringLiteral("Separator for --to-csv and --inspect (default ','; 'tab' for a tab)."), QStringLiteral("C"));
    const QCommandLineOption quote(QStringLiteral("quote"), QStringLiteral("Quote for --to-csv and --inspect (default '\"'; 'none' for no quoting)."), QStringLiteral("Q"));
    const QCommandLineOption codePage(QStringLiteral("code-page"), QStringLiteral("Code page of a text file for --inspect."), QStringLiteral("NAME"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the summary as one JSON object."));
    const QCommandLineOption inspect(QStringLiteral("inspect"), QStringLiteral("Show what the importer sees in a source file, as JSON lines."), QStringLiteral("FILE"));
    const QCommandLineOption limit(QStringLiteral("limit"), QStringLiteral("Show at most N records with --inspect."), QStringLiteral("N"));
    parser.addOptions({config, kind, database, table, sql, user, password, create, ddl, set, toCsv, comma, quote,
                       codePage, json, inspect, limit});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(kind)) {
        err << "--kind is required; see --help\n";
        return StatusNotRun;
    }
    if (parser.isSet(inspect)) {
        InspectOptions options;
        options.file = parser.value(inspect);
        options.kind = parser.value(kind);
        options.limit = parser.value(limit).toInt();
        options.comma = singleChar(parser.value(comma), u',');
        options.quote = singleChar(parser.value(quote), u'"');
        options.codePage = parser.value(codePage);
        options.table = parser.value(table);
        options.sql = parser.value(sql);
        return RunInspect(options);
    }

    ImportOptions options;
    options.kind = parser.value(kind);
    options.config = parser.value(config);
    options.overrides = parser.values(set);
    options.database = parser.value(database);
    options.table = parser.value(table);
    options.user = parser.value(user);
    options.password = parser.value(password);
    options.create = parser.isSet(create);
    options.ddl = parser.value(ddl);
    options.toCsv = parser.value(toCsv);
    options.sql = parser.value(sql);
    options.comma = singleChar(parser.value(comma), u',');
    options.quote = singleChar(parser.value(quote), u'"');
    options.json = parser.isSet(json);
    if (options.config.isEmpty()) {
        err << "--config is required; see --help\n";
        return StatusNotRun;
    }
    if (options.toCsv.isEmpty() && (options.database.isEmpty() || options.table.isEmpty())) {
        err << "--database and --table are required unless --to-csv is given; see --help\n";
        return StatusNotRun;
    }
    return RunImport(options);
}
