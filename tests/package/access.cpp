// An application of the Access runtime: every row of an Access table.
#include <tib_ado_morvex2access.h>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TIB_ADO_Morvex2Access import;
    import.SetFileName(app.arguments().value(1));
    import.SetTableName(QStringLiteral("Table1"));
    import.Map().Add(QStringLiteral("NAME=A"));
    import.Map().Add(QStringLiteral("AMOUNT=H"));
    import.SetImportDestination(mxdUserDefined);
    QTextStream out(stdout);
    import.OnUserDefinedImport = [&](QObject *, TMorvexRow *row) {
        out << row->ColByName(QStringLiteral("NAME"))->Value << ' ' << row->ColByName(QStringLiteral("AMOUNT"))->Value << '\n';
    };
    import.Execute();
}
