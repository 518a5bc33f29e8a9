// The README's example: import a CSV file and receive every row.
#include <tib_morvex2ascii.h>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TIB_Morvex2ASCII import;
    import.SetFileName(app.arguments().value(1));
    import.SetComma(u';');
    import.SetSkipFirstRows(1);
    import.Map().Add(QStringLiteral("ID=1"));
    import.Map().Add(QStringLiteral("NAME=2"));
    import.SetImportDestination(mxdUserDefined);
    QTextStream out(stdout);
    import.OnUserDefinedImport = [&](QObject *, TMorvexRow *row) {
        out << row->ColByName(QStringLiteral("ID"))->Value << ' ' << row->ColByName(QStringLiteral("NAME"))->Value << '\n';
    };
    import.Execute();
}
