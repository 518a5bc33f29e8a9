#include "listsource.h"

#include "exception.h"
#include "formatsettings.h"
#include "messages.h"
#include "morvexerror.h"
#include "qtapplication.h"
#include "qtprinters.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A string grid with the captions ID, NAME, AMOUNT in row 0.
class DriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetFormatSettings();
        grid.setColumnCount(3);
        grid.setRowCount(1);
        const QStringList captions{QStringLiteral("ID"), QStringLiteral("NAME"), QStringLiteral("AMOUNT")};
        for (int c = 0; c < 3; ++c)
            grid.setItem(0, c, new QTableWidgetItem(captions[c]));
        source.SetImportDestination(mxdStringGrid);
        source.SetStringGrid(&grid);
        source.SetGridCaptionRow(0);
        source.SetGridStartRow(1);
        source.Map().Add(QStringLiteral("ID=1"));
        source.Map().Add(QStringLiteral("NAME=2"));
        // Constant time stamps make the log comparable byte for byte.
        source.Formats().SetShortDateFormat(QStringLiteral("\"D\""));
        source.Formats().SetShortTimeFormat(QStringLiteral("\"T\""));
    }

    void addRows(int count)
    {
        for (int i = 1; i <= count; ++i)
            source.Rows.append({QString::number(i), QStringLiteral("name %1").arg(i)});
    }

    // Makes the rows with these 1-based numbers fail while being written.
    void failRows(QList<int> rows)
    {
        source.OnBeforePost = [rows](QObject *, TMorvexRow *row, bool &) {
            const int id = row->ColByName(QStringLiteral("ID"))->Value.toInt();
            if (rows.contains(id))
                throw Exception(QStringLiteral("row %1 refused").arg(id));
        };
    }

    QString cell(int row, int col) const
    {
        const QTableWidgetItem *item = grid.item(row, col);
        return item ? item->text() : QString();
    }

    QTableWidget grid;
    TListSource source;
};

TEST_F(DriverTest, WritesEveryRowAndCountsIt)
{
    addRows(3);
    int records = 0;
    source.OnImportRecord = [&](QObject *) { ++records; };
    EXPECT_TRUE(source.Execute());
    EXPECT_EQ(source.ImportedRecs(), 3);
    EXPECT_EQ(records, 3);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(cell(3, 0), QStringLiteral("3"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("name 3"));
    EXPECT_EQ(source.Steps, (QStringList{QStringLiteral("StartImport"), QStringLiteral("FinishImport")}));
}

TEST_F(DriverTest, ImportRecCountCountsFailedRowsOnlyWithTheErrorLog)
{
    addRows(20);
    failRows({2, 5, 7});
    source.SetImportRecCount(10);
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 10);
    EXPECT_EQ(grid.rowCount(), 1 + 10);
    EXPECT_EQ(cell(10, 0), QStringLiteral("13")); // stopped after row 13

    QTemporaryDir dir;
    grid.setRowCount(1);
    source.SetErrorLog(true);
    source.SetErrorLogFileName(dir.filePath(QStringLiteral("import.log")));
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 7);
    EXPECT_EQ(source.ErrorRecs(), 3);
    EXPECT_EQ(cell(7, 0), QStringLiteral("10")); // stopped after row 10
}

TEST_F(DriverTest, CommitsEveryCommitRecCountRowsAndAtTheEnd)
{
    addRows(250);
    QList<int> commitsAt;
    source.OnNeedCommit = [&](QObject *) { commitsAt.append(source.ImportedRecs()); };
    source.Execute();
    EXPECT_EQ(commitsAt, (QList<int>{100, 200, 250}));

    commitsAt.clear();
    source.SetCommitAfterDone(false);
    source.SetCommitRecCount(0);
    source.Execute();
    EXPECT_TRUE(commitsAt.isEmpty());
}

TEST_F(DriverTest, FirstRowFailingNeitherCommitsNorStops)
{
    addRows(3);
    failRows({1});
    source.SetErrorLog(true);
    QTemporaryDir dir;
    source.SetErrorLogFileName(dir.filePath(QStringLiteral("e.log")));
    source.SetCommitRecCount(1);
    source.SetImportRecCount(1);
    int commits = 0;
    source.OnNeedCommit = [&](QObject *) { ++commits; };
    source.Execute();
    // The failed row counts (error log on): n = 1 asks for a commit and hits the limit.
    EXPECT_EQ(source.ImportedRecs(), 0);
    EXPECT_EQ(commits, 2);

    source.SetErrorLog(false);
    commits = 0;
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 1);
    EXPECT_EQ(commits, 2);
}

TEST_F(DriverTest, CancelRevokedGoesOnConfirmedStopsWithoutFinalCommit)
{
    addRows(5);
    int commits = 0;
    source.OnNeedCommit = [&](QObject *) { ++commits; };
    source.OnImportRecord = [&](QObject *) {
        if (source.ImportedRecs() == 2)
            source.Cancel();
    };
    source.OnImportCancel = [](QObject *, bool &Continue) { Continue = true; };
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 5);
    EXPECT_FALSE(source.Canceled());
    EXPECT_EQ(commits, 1);

    commits = 0;
    source.OnImportCancel = [](QObject *, bool &Continue) { Continue = false; };
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 2);
    EXPECT_TRUE(source.Canceled());
    EXPECT_EQ(commits, 0);
}

TEST_F(DriverTest, RowRejectedByBeforePostCountsAsImported)
{
    addRows(3);
    source.OnBeforePost = [](QObject *, TMorvexRow *row, bool &accept) {
        accept = row->ColByName(QStringLiteral("ID"))->Value != QStringLiteral("2");
    };
    int afterPost = 0;
    source.OnAfterPost = [&](QObject *, TMorvexRow *) { ++afterPost; };
    source.Execute();
    EXPECT_EQ(source.ImportedRecs(), 3);
    EXPECT_EQ(afterPost, 3);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(cell(2, 0), QStringLiteral("3"));
}

TEST_F(DriverTest, ErrorLogHoldsStartErrorLinesAndSummaryWithCrLf)
{
    addRows(3);
    failRows({2});
    QTemporaryDir dir;
    // A directory that does not exist yet is created with its parents.
    const QString path = dir.filePath(QStringLiteral("a/b/import.log"));
    source.SetErrorLog(true);
    source.SetErrorLogFileName(path);
    source.SetShowErrorLog(true);
    QStringList opened;
    TIB_Morvex2::SetOpenFileHook([&](const QString &file) { opened.append(file); });
    source.Execute();
    TIB_Morvex2::SetOpenFileHook(nullptr);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("D T - Import process started\r\n\r\n"
                                         "D T - row 2 refused\r\n"
                                         "\r\nD T - Import process finished\r\n\r\n"
                                         "1 error(s) found"));
    EXPECT_EQ(source.Errors().Count(), 1);
    EXPECT_EQ(source.Errors()[0], QStringLiteral("D T - row 2 refused"));
    EXPECT_EQ(opened, QStringList{path});
}

TEST_F(DriverTest, LogWithoutErrorsIsWrittenButNotOpenedAndAppendsOnRequest)
{
    addRows(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("import.log"));
    source.SetErrorLog(true);
    source.SetErrorLogFileName(path);
    source.SetShowErrorLog(true);
    bool opened = false;
    TIB_Morvex2::SetOpenFileHook([&](const QString &) { opened = true; });
    source.Execute();
    source.SetRewriteErrorLogFile(false);
    source.Execute();
    TIB_Morvex2::SetOpenFileHook(nullptr);
    EXPECT_FALSE(opened);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray once("D T - Import process started\r\n\r\nD T - Import process finished\r\n\r\nNo error found");
    EXPECT_EQ(file.readAll(), once + once);
}

TEST_F(DriverTest, ReadingStepFailuresReachTheCallerAfterTheFinishingSteps)
{
    addRows(3);
    int afterImport = 0;
    source.OnAfterImport = [&](QObject *) { ++afterImport; };
    source.Formats().SetDecimalSeparator(u'#');
    for (const QString &failing : {QStringLiteral("StartImport"), QStringLiteral("CheckCondition"),
                                   QStringLiteral("Skip"), QStringLiteral("FillImportRow"),
                                   QStringLiteral("ChangeCondition")}) {
        SCOPED_TRACE(failing.toStdString());
        source.Steps.clear();
        afterImport = 0;
        source.FailIn = [failing](const QString &step, int row) {
            if (step == failing && row == 1)
                throw Exception(QStringLiteral("source broken"));
            if (step == failing && failing == QStringLiteral("StartImport"))
                throw Exception(QStringLiteral("source broken"));
        };
        EXPECT_THROW(source.Execute(), Exception);
        EXPECT_EQ(afterImport, 1);
        // Only a failed start skips FinishImport.
        EXPECT_EQ(source.Steps.contains(QStringLiteral("FinishImport")), failing != QStringLiteral("StartImport"));
        // The process-wide formats are back.
        EXPECT_EQ(FormatSettings.DecimalSeparator, u'.');
    }
}

TEST_F(DriverTest, FormatsAreAppliedDuringTheRunAndRestoredAfterIt)
{
    addRows(1);
    source.Formats().SetDecimalSeparator(u',');
    QChar during;
    source.OnImportRecord = [&](QObject *) { during = FormatSettings.DecimalSeparator; };
    source.Execute();
    EXPECT_EQ(during, u',');
    EXPECT_EQ(FormatSettings.DecimalSeparator, u'.');
}

TEST_F(DriverTest, LogThatCannotBeOpenedLeavesFormatsAsTheyWere)
{
    addRows(1);
    QTemporaryDir dir;
    source.SetErrorLog(true);
    source.SetRewriteErrorLogFile(false);
    source.SetErrorLogFileName(dir.filePath(QStringLiteral("missing.log")));
    source.Formats().SetDecimalSeparator(u',');
    EXPECT_THROW(source.Execute(), Exception);
    EXPECT_EQ(FormatSettings.DecimalSeparator, u'.');
    EXPECT_EQ(source.ImportRow()->Count(), 0);
}

TEST_F(DriverTest, ChecksFailInOrderWithTheMessagesOfTheTable)
{
    TListSource bare;
    bare.SetFileName(QString());
    try {
        bare.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("DataSet is not defined"));
    }
    bare.SetImportDestination(mxdStringGrid);
    EXPECT_THROW(bare.Execute(), EMorvexError);
    bare.SetImportDestination(mxdUserDefined);
    try {
        bare.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File name is not specified"));
    }
    bare.SetFileName(QStringLiteral("/nonexistent/file.txt"));
    try {
        bare.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File /nonexistent/file.txt does not exist"));
    }

    source.Map().Add(QStringLiteral("PRICE=3"));
    try {
        source.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Column PRICE is defined in the MAP is not found in the import destination"));
    }
    source.Map().Delete(2);
    source.SetImportMode(mxmUpdate);
    try {
        source.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Key columns are not defined"));
    }
    source.KeyColumns().Add(QStringLiteral("CODE"));
    try {
        source.Execute();
        FAIL();
    } catch (const EMorvexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Key column CODE is not found in the import destination"));
    }
}

TEST_F(DriverTest, UserDefinedDestinationReceivesEveryRowWithoutCounting)
{
    addRows(3);
    source.SetImportDestination(mxdUserDefined);
    QStringList names;
    source.OnUserDefinedImport = [&](QObject *, TMorvexRow *row) { names.append(row->ColByName(QStringLiteral("NAME"))->Value); };
    int commits = 0;
    source.OnNeedCommit = [&](QObject *) { ++commits; };
    source.Execute();
    EXPECT_EQ(names, (QStringList{QStringLiteral("name 1"), QStringLiteral("name 2"), QStringLiteral("name 3")}));
    EXPECT_EQ(source.ImportedRecs(), 0);
    EXPECT_EQ(commits, 1); // only the final one
}

TEST_F(DriverTest, ImportToCsvQuotesAndDoublesAndEndsLinesWithCrLf)
{
    source.Rows.append({QStringLiteral("1"), QStringLiteral("say \"hi\"")});
    source.Rows.append({QStringLiteral("2"), QStringLiteral("a;bß")});
    source.Rows.append({QStringLiteral("\"\""), QString()});
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    int commits = 0;
    source.OnNeedCommit = [&](QObject *) { ++commits; };
    source.ImportToCSV(&out, u';', u'"');
    EXPECT_EQ(out.data(), QByteArray("\"1\";\"say \"\"hi\"\"\"\r\n\"2\";\"a;b\xC3\x9F\"\r\n\"\"\"\"\"\";\"\"\r\n"));
    EXPECT_EQ(commits, 0);
    EXPECT_EQ(grid.rowCount(), 1);

    QBuffer plain;
    plain.open(QIODevice::WriteOnly);
    source.ImportToCSV(&plain, u',', QChar());
    EXPECT_EQ(plain.data(), QByteArray("1,say \"hi\"\r\n2,a;b\xC3\x9F\r\n\"\",\r\n"));

    // A quote outside ASCII is doubled inside text outside ASCII too.
    source.Rows.append({QStringLiteral(u"\u00FC\u00BB\u00FC"), QStringLiteral(u"\U0001F600")});
    QBuffer guillemets;
    guillemets.open(QIODevice::WriteOnly);
    source.ImportToCSV(&guillemets, u';', QChar(0x00BB));
    const QByteArray q("\xC2\xBB");
    EXPECT_EQ(guillemets.data(), q + "1" + q + ";" + q + "say \"hi\"" + q + "\r\n" + q + "2" + q + ";" + q + "a;b\xC3\x9F" + q
                                     + "\r\n" + q + "\"\"" + q + ";" + q + q + "\r\n" + q + "\xC3\xBC" + q + q + "\xC3\xBC" + q
                                     + ";" + q + "\xF0\x9F\x98\x80" + q + "\r\n");

    try {
        source.ImportToCSV(nullptr, u',', u'"');
        FAIL();
    } catch (const EMorvexError &) {
        FAIL() << "the stream check is not an engine check";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream must be assigned"));
    }
    // Key checks still run and find no column in CSV mode.
    source.SetImportMode(mxmUpdate);
    source.KeyColumns().Add(QStringLiteral("ID"));
    EXPECT_THROW(source.ImportToCSV(&out, u',', u'"'), EMorvexError);
}

// Values of every length, with quotes, NUL and characters outside ASCII at
// every place, come out as their UTF-8 with each quote doubled.
TEST_F(DriverTest, ImportToCsvWritesEveryCharacterOfLongValues)
{
    // U+0122 has the quote's low byte; U+007F and U+0080 stand either side
    // of the end of ASCII.
    const char16_t pieces[] = {u'a', u'"', u'\0', u'\u00E9', u'\u4E2D', u'7', u' ', u';', u'\u0122', u'\u007F', u'\u0080'};
    QByteArray expected;
    std::uint32_t seed = 12345;
    for (int row = 0; row < 300; ++row) {
        QString value;
        const int length = row % 40;
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245 + 12345;
            // Mostly plain letters, so that long plain runs occur too.
            const unsigned pick = (seed >> 16) % 32;
            value += QChar(pick < std::size(pieces) ? pieces[pick] : char16_t(u'a' + pick % 26));
        }
        if (row % 7 == 0)
            value += QStringView(QChar::fromUcs4(0x1F600));
        value = u'<' + value + u'>'; // row values are trimmed of blanks and control characters
        source.Rows.append({QString::number(row), value});
        QString doubled = value;
        doubled.replace(u'"', QStringLiteral("\"\""));
        expected += "\"" + QByteArray::number(row) + "\";\"" + doubled.toUtf8() + "\"\r\n";
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    source.ImportToCSV(&out, u';', u'"');
    EXPECT_EQ(out.data(), expected);
}

// A stream that takes no more lines ends the run with its error; the rows
// are not counted as imported, nor are they blamed for it.
TEST_F(DriverTest, ImportToCsvFailsWhenTheStreamFails)
{
    for (int i = 0; i < 5000; ++i)
        source.Rows.append({QString::number(i), QStringLiteral("a value long enough to fill blocks")});
    QBuffer closed;
    closed.open(QIODevice::ReadOnly);
    try {
        source.ImportToCSV(&closed, u',', u'"');
        FAIL() << "the failed writes went unreported";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot write the CSV line: "))) << e.Message().toStdString();
    }
    EXPECT_EQ(source.ErrorRecs(), 0);
}

TEST_F(DriverTest, GeneratorsRestartEveryRun)
{
    addRows(3);
    TMorvexFieldFormat *format = source.FieldFormats().Add();
    format->SetFieldName(QStringLiteral("AMOUNT"));
    format->SetGeneratorValue(10);
    format->SetGeneratorStep(5);
    for (int run = 0; run < 2; ++run) {
        grid.setRowCount(1);
        source.Execute();
        EXPECT_EQ(cell(1, 2), QStringLiteral("15"));
        EXPECT_EQ(cell(3, 2), QStringLiteral("25"));
    }
    EXPECT_EQ(format->GeneratorValue(), 10);
}

} // namespace
