// The record layer on workbook streams built record by record: runs, CONTINUE
// records, formulas, formats and the damage a load must survive or report.
#include "xlsfile.h"

#include "biffwriter.h"
#include "cfbwriter.h"
#include "formatsettings.h"
#include "qtprinters.h"
#include "xlswalk.h"

#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

using namespace biff;

namespace {

// Sixteen style XFs and the first cell XF with General, as writers lay them out.
QByteArray StandardXfs()
{
    QByteArray b;
    for (int i = 0; i < 16; ++i)
        b += Xf(0);
    return b;
}

QByteArray Wrap(const QByteArray &stream, int sectorSize = 512, const QString &name = QStringLiteral("Workbook"))
{
    return BuildCompoundFile({{name, stream}}, sectorSize).Bytes;
}

TxlsWorkSheet *LoadSheet(TxlsFile &file, const QByteArray &globals, const QByteArray &cells)
{
    LoadWorkbookBytes(file, Wrap(Workbook(StandardXfs() + globals, {{QStringLiteral("Sheet1"), cells}})));
    return file.Workbook().WorkSheets().Items(0);
}

void ExpectLoadError(const QByteArray &bytes, const QString &message)
{
    TxlsFile file;
    try {
        LoadWorkbookBytes(file, bytes);
        FAIL() << "no error, expected " << message.toStdString();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), message);
    }
    EXPECT_FALSE(file.Loaded());
}

const QString kInvalid = QStringLiteral("Error reading Excel records. File invalid");

} // namespace

TEST(XlsRecordsTest, MulRkAndMulBlankExpandIntoCellsWithTheirOwnFormats)
{
    TxlsFile file;
    // MULRK of row 2, columns 1..3: 1.0 (float form), 1.0 (integer 100, /100), -1.
    const QByteArray mulrk = Rec(0x00BD, U16(2) + U16(1) + U16(15) + U32(0x3FF00000) + U16(16) + U32(403) + U16(15)
                                             + U32(0xFFFFFFFE) + U16(3));
    const QByteArray mulblank = Rec(0x00BE, U16(4) + U16(0) + U16(15) + U16(16) + U16(2));
    TxlsWorkSheet *sheet = LoadSheet(file, Xf(14) + Format(164, QStringLiteral("0.0")), mulrk + mulblank);
    ASSERT_EQ(sheet->GetRowCount(), 5);
    EXPECT_EQ(sheet->GetCells(2, 1)->GetAsFloat(), 1.0);
    EXPECT_EQ(sheet->GetCells(2, 2)->GetAsFloat(), 1.0);
    EXPECT_EQ(sheet->GetCells(2, 2)->GetXFIndex(), 16);
    EXPECT_EQ(sheet->GetCells(2, 2)->GetCellType(), bctDateTime);
    EXPECT_EQ(sheet->GetCells(2, 3)->GetAsFloat(), -1.0);
    EXPECT_EQ(sheet->GetCells(2, 4), nullptr);
    EXPECT_EQ(sheet->GetCells(4, 1)->GetXFIndex(), 16);
    EXPECT_EQ(sheet->GetCells(4, 1)->GetCellType(), bctUnknown);
    EXPECT_EQ(sheet->GetCells(4, 2), nullptr);
    EXPECT_EQ(sheet->Rows().Items(2).MinIndex(), 1);
    EXPECT_EQ(sheet->Rows().Items(2).MaxIndex(), 3);
}

TEST(XlsRecordsTest, LongStringSwitchesToSixteenBitsInItsContinueRecord)
{
    // 300 characters: 100 8-bit ones in the SST, the rest 16-bit in CONTINUE.
    const QString head(100, QLatin1Char('a'));
    QString tail;
    for (int i = 0; i < 200; ++i)
        tail += QChar(0x0410 + i % 32);
    QByteArray sst = Rec(0x00FC, U32(2) + U32(2) + U16(300) + U8(0) + Chars(head, false));
    sst += Rec(0x003C, U8(1) + Chars(tail, true) + Str16(QStringLiteral("next")));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, sst, LabelSst(0, 0, 15, 0) + LabelSst(0, 1, 15, 1));
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsString(), head + tail);
    EXPECT_EQ(sheet->GetCells(0, 1)->GetAsString(), QStringLiteral("next"));

    // The other way round: a 16-bit start continued with 8-bit characters.
    sst = Rec(0x00FC, U32(1) + U32(1) + U16(4) + U8(1) + Chars(QStringLiteral("Ωx"), true));
    sst += Rec(0x003C, U8(0) + Chars(QStringLiteral("yz"), false));
    TxlsFile other;
    EXPECT_EQ(LoadSheet(other, sst, LabelSst(0, 0, 15, 0))->GetCells(0, 0)->GetAsString(), QStringLiteral("Ωxyz"));
}

TEST(XlsRecordsTest, RichTextAndFarEastDataArePassedOver)
{
    const QByteArray rich = U16(4) + U8(0x08) + U16(2) + Chars(QStringLiteral("bold"), false) + QByteArray(8, '\x01');
    const QByteArray phonetic = U16(3) + U8(0x04) + U32(6) + Chars(QStringLiteral("kan"), false) + QByteArray(6, '\x02');
    const QByteArray both = U16(2) + U8(0x0D) + U16(1) + U32(2) + Chars(QStringLiteral("日本"), true) + QByteArray(4, '\x03')
                            + QByteArray(2, '\x04');
    const QByteArray sst = Rec(0x00FC, U32(4) + U32(4) + rich + phonetic + both + Str16(QStringLiteral("after")));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, sst, LabelSst(0, 0, 15, 0) + LabelSst(1, 0, 15, 1) + LabelSst(2, 0, 15, 2)
                                                    + LabelSst(3, 0, 15, 3));
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsString(), QStringLiteral("bold"));
    EXPECT_EQ(sheet->GetCells(1, 0)->GetAsString(), QStringLiteral("kan"));
    EXPECT_EQ(sheet->GetCells(2, 0)->GetAsString(), QStringLiteral("日本"));
    EXPECT_EQ(sheet->GetCells(3, 0)->GetAsString(), QStringLiteral("after"));
}

TEST(XlsRecordsTest, FormulaResultsAreCachedValues)
{
    const QByteArray tokens = U8(0x1E) + U16(1) + U8(0x1E) + U16(2) + U8(0x03);
    const QByteArray cells = Formula(0, 0, F64(3), tokens)
                             + Formula(0, 1, NonNumberResult(0, 0), tokens) + StringResult(QStringLiteral("text"))
                             + Formula(0, 2, NonNumberResult(1, 1), tokens)
                             + Formula(0, 3, NonNumberResult(2, 7), tokens)
                             // A STRING record after the SHRFMLA that follows its formula.
                             + Formula(0, 4, NonNumberResult(0, 0), tokens)
                             + Rec(0x04BC, U16(0) + U16(1) + U8(4) + U8(4) + QByteArray(4, '\0'))
                             + StringResult(QStringLiteral("shared"));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, QByteArray(), cells);
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsVariant(), QVariant(3.0));
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsString(), QStringLiteral("3"));
    EXPECT_TRUE(sheet->GetCells(0, 0)->GetIsFormula());
    EXPECT_EQ(sheet->GetCells(0, 0)->GetCellType(), bctUnknown);
    EXPECT_EQ(static_cast<TbiffFormula *>(sheet->GetCells(0, 0))->Tokens(), tokens);
    EXPECT_EQ(sheet->GetCells(0, 1)->GetAsString(), QStringLiteral("text"));
    EXPECT_EQ(sheet->GetCells(0, 2)->GetAsVariant(), QVariant(true));
    EXPECT_FALSE(sheet->GetCells(0, 3)->GetAsVariant().isValid());
    EXPECT_TRUE(sheet->GetCells(0, 3)->GetAsString().isEmpty());
    EXPECT_EQ(sheet->GetCells(0, 4)->GetAsString(), QStringLiteral("shared"));

    // A STRING record after anything else fails the load.
    ExpectLoadError(Wrap(Workbook(StandardXfs(), {{QStringLiteral("S"), Number(0, 0, 15, 1) + StringResult(QStringLiteral("x"))}})),
                    kInvalid);
    ExpectLoadError(Wrap(Workbook(StandardXfs(), {{QStringLiteral("S"), StringResult(QStringLiteral("x"))}})), kInvalid);
}

TEST(XlsRecordsTest, NumbersWithDateFormatsAreDates)
{
    ResetFormatSettings();
    // XF 16: built-in 14; XF 17: user format 164; XF 18: built-in 46 "[h]:mm:ss";
    // XF 19: a user format whose only letter is quoted; XF 20: upper case.
    const QByteArray globals = Xf(14) + Xf(164) + Xf(46) + Xf(165) + Xf(166)
                               + Format(164, QStringLiteral("yyyy-mm-dd hh:mm:ss"))
                               + Format(165, QStringLiteral("[Red]\"D\"0")) + Format(166, QStringLiteral("DD.MM.YYYY"))
                               // A FORMAT record cut short is passed over.
                               + Rec(0x041E, U16(167) + U16(40) + U8(0) + QByteArray("yy"));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, globals,
                                     Rk(0, 0, 16, 2 * 4 + 2) + Number(1, 0, 16, 2) + Number(2, 0, 17, 36525.5)
                                         + Rk(3, 0, 18, 2 * 4 + 2) + Number(4, 0, 19, 7) + Number(5, 0, 15, 2)
                                         + Number(6, 0, 20, 3));
    EXPECT_EQ(sheet->GetCells(0, 0)->GetCellType(), bctDateTime);
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsDateTime(), EncodeDate(1900, 1, 1));
    EXPECT_EQ(sheet->GetCells(1, 0)->GetCellType(), bctDateTime);
    EXPECT_EQ(sheet->GetCells(1, 0)->GetAsString(), QStringLiteral("1/1/1900"));
    EXPECT_EQ(sheet->GetCells(2, 0)->GetAsString(), QStringLiteral("12/31/1999 12:00:00 PM"));
    EXPECT_EQ(sheet->GetCells(3, 0)->GetCellType(), bctNumeric);
    EXPECT_EQ(sheet->GetCells(4, 0)->GetCellType(), bctNumeric);
    EXPECT_EQ(sheet->GetCells(5, 0)->GetCellType(), bctNumeric);
    EXPECT_EQ(sheet->GetCells(6, 0)->GetCellType(), bctDateTime);
    EXPECT_EQ(file.Workbook().Globals().Formats().GetFormat(164), QStringLiteral("yyyy-mm-dd hh:mm:ss"));
    EXPECT_EQ(file.Workbook().Globals().Formats().GetFormat(21), QStringLiteral("h:mm:SS"));

    // A date cell whose value is no date reads as its number.
    TxlsFile odd;
    TxlsWorkSheet *nan = LoadSheet(odd, Xf(14), Number(0, 0, 16, std::nan("")) + Number(1, 0, 16, 1e300));
    EXPECT_EQ(nan->GetCells(0, 0)->GetAsString(), QStringLiteral("Nan"));
    EXPECT_EQ(nan->GetCells(1, 0)->GetAsString(), QStringLiteral("1E300"));

    TxlsFile mac;
    TxlsWorkSheet *s1904 = LoadSheet(mac, DateMode(true) + Xf(14), Rk(0, 0, 16, 0 * 4 + 2));
    EXPECT_EQ(s1904->GetCells(0, 0)->GetAsDateTime(), EncodeDate(1904, 1, 1));
    EXPECT_EQ(s1904->GetCells(0, 0)->GetAsFloat(), 0);
}

TEST(XlsRecordsTest, BoolErrCellsAndTypedAccess)
{
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, QByteArray(), BoolErr(0, 0, 1, false) + BoolErr(0, 1, 7, true)
                                                             + Blank(0, 2, 15));
    TbiffCell *b = sheet->GetCells(0, 0);
    EXPECT_TRUE(b->GetAsBoolean());
    EXPECT_EQ(b->GetAsVariant(), QVariant(true));
    TbiffCell *e = sheet->GetCells(0, 1);
    EXPECT_EQ(e->GetCellType(), bctBoolean);
    EXPECT_EQ(e->GetAsVariant(), QVariant(QStringLiteral("#DIV/0!")));
    EXPECT_TRUE(e->GetAsString().isEmpty());
    try {
        (void)e->GetAsFloat();
        FAIL();
    } catch (const ExlsFileError &err) {
        EXPECT_EQ(err.Message(), QStringLiteral("Cannot access cell 'B1' as type Float"));
    }
    EXPECT_THROW((void)sheet->GetCells(0, 2)->GetAsBoolean(), ExlsFileError);
    e->SetAsVariant(QStringLiteral("#N/A"));
    EXPECT_EQ(e->GetAsVariant(), QVariant(QStringLiteral("#N/A")));
    e->SetAsBoolean(false);
    EXPECT_EQ(e->GetAsVariant(), QVariant(false));
    EXPECT_THROW(e->SetAsVariant(QStringLiteral("#OOPS")), ExlsFileError);
    try {
        e->SetAsVariant(QVariant());
        FAIL();
    } catch (const ExlsFileError &err) {
        EXPECT_EQ(err.Message(), QStringLiteral("Invalid cell value: ''"));
    }
}

TEST(XlsRecordsTest, SettersKeepTheCellsKind)
{
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, Sst({QStringLiteral("b"), QStringLiteral("a")}),
                                     Rk(0, 0, 15, 6) + LabelSst(0, 1, 15, 0) + Number(0, 2, 15, 1.5));
    TbiffCell *rk = sheet->GetCells(0, 0);
    rk->SetAsFloat(12.34);
    EXPECT_EQ(rk->GetAsFloat(), 12.34);
    try {
        rk->SetAsFloat(1.0 / 3);
        FAIL();
    } catch (const ExlsFileError &err) {
        EXPECT_EQ(err.Message(), QStringLiteral("Invalid cell value: '0.333333333333333'"));
    }
    rk->SetAsString(QStringLiteral("-7"));
    EXPECT_EQ(rk->GetAsFloat(), -7);
    TbiffCell *label = sheet->GetCells(0, 1);
    label->SetAsString(QStringLiteral("new"));
    EXPECT_EQ(label->GetAsString(), QStringLiteral("new"));
    EXPECT_EQ(file.Workbook().Globals().SST().Count(), 3);
    label->SetAsString(QStringLiteral("a"));
    EXPECT_EQ(file.Workbook().Globals().SST().Count(), 3);
    sheet->GetCells(0, 2)->SetAsString(QStringLiteral("2.25"));
    EXPECT_EQ(sheet->GetCells(0, 2)->GetAsFloat(), 2.25);
}

TEST(XlsRecordsTest, RowsUpToTheLastCellExistAndUnknownRecordsAreDropped)
{
    // LABEL (0x0204) is a BIFF5 cell the reader does not take.
    const QByteArray label = Rec(0x0204, U16(3) + U16(0) + U16(15) + U16(1) + U8(0) + QByteArray("x"));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, QByteArray(), Number(10, 2, 15, 1) + Number(10, 0, 15, 2) + label
                                                             + Number(10, 2, 15, 3));
    EXPECT_EQ(sheet->GetRowCount(), 11);
    EXPECT_EQ(sheet->GetColCount(), 3);
    EXPECT_EQ(sheet->GetCells(3, 0), nullptr);
    EXPECT_EQ(sheet->GetCells(10, 0)->GetAsFloat(), 2);
    // Of two records for one cell the later one counts.
    EXPECT_EQ(sheet->GetCells(10, 2)->GetAsFloat(), 3);
    EXPECT_EQ(sheet->GetCells(70000 - 70000, 1), nullptr);
    try {
        (void)sheet->GetCells(65536, 0);
        FAIL();
    } catch (const ExlsFileError &err) {
        EXPECT_EQ(err.Message(), QStringLiteral("Invalid Row (65536)"));
    }
    try {
        (void)sheet->GetCells(0, -1);
        FAIL();
    } catch (const ExlsFileError &err) {
        EXPECT_EQ(err.Message(), QStringLiteral("Invalid Column (-1)"));
    }
}

TEST(XlsRecordsTest, StreamEndsAtZeroPaddingAndChartSheetsArePassedOver)
{
    // A chart embedded in a sheet, with a record that looks like a cell.
    const QByteArray chart = Bof(0x0020) + Number(0, 0, 15, 99) + Rec(0x1001, U16(1)) + Eof();
    QByteArray stream = Workbook(StandardXfs(), {{QStringLiteral("One"), Number(0, 0, 15, 1) + chart + Number(1, 0, 15, 3)},
                                                 {QStringLiteral("Chart"), Rec(0x1001, U16(1)), 0x0020},
                                                 {QStringLiteral("Two"), Number(0, 0, 15, 2)}});
    stream += QByteArray(600, '\0');
    TxlsFile file;
    LoadWorkbookBytes(file, Wrap(stream, 4096));
    TxlsWorkSheetList &sheets = file.Workbook().WorkSheets();
    ASSERT_EQ(sheets.Count(), 2);
    EXPECT_EQ(sheets.Items(0)->GetName(), QStringLiteral("One"));
    EXPECT_EQ(sheets.Items(0)->GetCells(0, 0)->GetAsFloat(), 1);
    EXPECT_EQ(sheets.Items(0)->GetCells(1, 0)->GetAsFloat(), 3);
    EXPECT_EQ(sheets.Items(1)->GetName(), QStringLiteral("Two"));
    EXPECT_EQ(sheets.IndexOfName(QStringLiteral("TWO")), 1);
}

TEST(XlsRecordsTest, FilesThatAreNoWorkbooksAreReported)
{
    TxlsFile unnamed;
    try {
        unnamed.Load();
        FAIL();
    } catch (const ExlsFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File name is not defined"));
    }
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.xls"));
    TxlsFile absent(missing);
    try {
        absent.Load();
        FAIL();
    } catch (const ExlsFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File %1 does not exist").arg(missing));
    }
    const QString csv = dir.filePath(QStringLiteral("table.xls"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a,b,c\n1,2,3\n");
    f.close();
    TxlsFile text(csv);
    try {
        text.Load();
        FAIL();
    } catch (const ExlsFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File %1 is not an Excel Workbook").arg(csv));
    }
    // A BIFF5 workbook lives in a stream named "Book".
    ExpectLoadError(Wrap(Workbook(StandardXfs(), {}), 512, QStringLiteral("Book")),
                    QStringLiteral("File  is not an Excel Workbook"));
    ExpectLoadError(Wrap(Bof(0x0005, 0x0500) + Eof()), QStringLiteral("File is saved with an invalid Excel version"));
}

TEST(XlsRecordsTest, DamagedStreamsRaiseTheReadersMessages)
{
    const QByteArray good = Workbook(StandardXfs() + Sst({QStringLiteral("s")}),
                                     {{QStringLiteral("S"), Number(0, 0, 15, 1) + LabelSst(0, 1, 15, 0)}});
    struct Case
    {
        const char *name;
        QByteArray stream;
        QString message;
    };
    QByteArray longRecord = good;
    longRecord.replace(good.indexOf(Number(0, 0, 15, 1)) + 2, 2, U16(0xFFF0));
    QByteArray hugeSst = Workbook(StandardXfs() + Rec(0x00FC, U32(0x80000000) + U32(0x80000000) + Str16(QStringLiteral("a"))),
                                  {});
    const Case cases[] = {
        {"record size past the stream", longRecord, kInvalid},
        {"first record not a BOF", Xf(0) + good, kInvalid},
        {"BOF inside the globals", Bof(0x0005) + Bof(0x0005) + Eof(), kInvalid},
        {"unknown sub-stream type", Bof(0x0123) + Eof(), kInvalid},
        {"second globals after a sheet", good + Bof(0x0005) + Eof(), kInvalid},
        {"globals without EOF", Bof(0x0005) + Xf(0), kInvalid},
        {"sheet without EOF", good.left(good.size() - 4), kInvalid},
        {"string index out of range",
         Workbook(StandardXfs() + Sst({QStringLiteral("s")}), {{QStringLiteral("S"), LabelSst(0, 0, 15, 1)}}), kInvalid},
        {"cell record too short", Workbook(StandardXfs(), {{QStringLiteral("S"), Rec(0x0203, U16(0))}}),
         QStringLiteral("Record with ID 0x203 is invalid")},
        {"string count of 2^31", hugeSst, QString()},
        {"string cut short", Workbook(Rec(0x00FC, U32(1) + U32(1) + U16(10) + U8(0) + QByteArray("abc")), {}),
         QStringLiteral("Error reading record")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.message.isEmpty()) {
            // The table ends with its records whatever the count says.
            TxlsFile file;
            LoadWorkbookBytes(file, Wrap(c.stream));
            EXPECT_EQ(file.Workbook().Globals().SST().Count(), 1);
        } else {
            ExpectLoadError(Wrap(c.stream), c.message);
        }
    }
}

TEST(XlsRecordsTest, ContinueChainsOfAnyLengthLoad)
{
    // A record followed by 20,000 empty CONTINUE records, then the rest.
    QByteArray chain;
    for (int i = 0; i < 20000; ++i)
        chain += Rec(0x003C, QByteArray());
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, Rec(0x00EB, U16(0)) + chain, Number(0, 0, 15, 5) + chain);
    EXPECT_EQ(sheet->GetCells(0, 0)->GetAsFloat(), 5);
}

TEST(XlsRecordsTest, TruncatedWorkbooksFailCleanlyAtAnyOffset)
{
    const QByteArray stream = Workbook(StandardXfs() + Sst({QStringLiteral("one"), QStringLiteral("zwei")}),
                                       {{QStringLiteral("S"), Number(0, 0, 15, 1) + LabelSst(0, 1, 15, 1)
                                                                  + Formula(1, 0, NonNumberResult(0, 0), U8(0x1E) + U16(1))
                                                                  + StringResult(QStringLiteral("r"))}});
    for (qsizetype n = 0; n < stream.size(); ++n) {
        TxlsFile file;
        try {
            LoadWorkbookBytes(file, Wrap(stream.left(n)));
            // Only a cut right after a sub-stream's EOF loads.
            EXPECT_TRUE(file.Loaded());
        } catch (const Exception &e) {
            EXPECT_FALSE(e.Message().isEmpty());
        }
    }
    const QByteArray whole = Wrap(stream);
    for (qsizetype n = 0; n < whole.size() - 512; n += 61)
        EXPECT_THROW(WalkWorkbookBytes(whole.left(n)), Exception) << n;
}

TEST(XlsRecordsTest, CellsInAnyOrderAreFoundAndKeepWhatIsSetOnThem)
{
    // Rows and columns out of order, a MULRK run among them.
    const QByteArray mulrk = Rec(0x00BD, U16(1) + U16(4) + U16(15) + U32(3 * 4 + 2) + U16(15) + U32(4 * 4 + 2) + U16(5));
    TxlsFile file;
    TxlsWorkSheet *sheet = LoadSheet(file, Sst({QStringLiteral("a")}),
                                     Number(5, 3, 15, 53) + Number(2, 1, 15, 21) + mulrk + Number(5, 0, 15, 50)
                                         + BoolErr(2, 0, 1, false) + LabelSst(0, 2, 15, 0));
    ASSERT_EQ(sheet->GetRowCount(), 6);
    ASSERT_EQ(sheet->GetColCount(), 6);
    EXPECT_EQ(sheet->GetCells(5, 3)->GetAsFloat(), 53);
    EXPECT_EQ(sheet->GetCells(5, 0)->GetAsFloat(), 50);
    EXPECT_EQ(sheet->GetCells(1, 5)->GetAsFloat(), 4);
    EXPECT_EQ(sheet->GetCells(2, 0)->GetCol(), 0);
    const TxlsRow &five = sheet->Rows().Items(5);
    EXPECT_EQ(five.Number(), 5);
    EXPECT_EQ(five.MinIndex(), 0);
    EXPECT_EQ(five.MaxIndex(), 3);
    EXPECT_EQ(five.Items(1)->GetCol(), 3);
    EXPECT_EQ(sheet->Rows().Items(3).Number(), -1);
    TxlsCol &first = sheet->Cols().Items(0);
    EXPECT_EQ(first.Count(), 2);
    EXPECT_EQ(first.MinIndex(), 2);
    EXPECT_EQ(first.MaxIndex(), 5);
    int index = -1;
    ASSERT_TRUE(first.Find(5, index));
    EXPECT_EQ(first.Items(index)->GetAsFloat(), 50);
    EXPECT_FALSE(first.Find(3, index));

    // What a setter writes stays with the cell, however many other cells
    // are looked up before it is read again.
    sheet->GetCells(1, 5)->SetAsFloat(-8);
    sheet->GetCells(1, 4)->SetXFIndex(16);
    sheet->GetCells(2, 0)->SetAsVariant(QStringLiteral("#N/A"));
    sheet->GetCells(0, 2)->SetAsString(QStringLiteral("b"));
    sheet->GetCells(5, 3)->SetAsString(QStringLiteral("7.5"));
    for (int i = 0; i < 3 * TxlsWorkSheet::kCellObjects; ++i)
        (void)sheet->GetCells(2, 1);
    EXPECT_EQ(sheet->GetCells(1, 5)->GetAsFloat(), -8);
    EXPECT_EQ(sheet->GetCells(1, 4)->GetAsFloat(), 3);
    EXPECT_EQ(sheet->GetCells(1, 4)->GetXFIndex(), 16);
    EXPECT_EQ(sheet->GetCells(2, 0)->GetAsVariant(), QVariant(QStringLiteral("#N/A")));
    EXPECT_EQ(sheet->GetCells(0, 2)->GetAsString(), QStringLiteral("b"));
    EXPECT_EQ(sheet->GetCells(5, 3)->GetAsFloat(), 7.5);
    // Two objects of one cell show the same value.
    TbiffCell *before = sheet->GetCells(2, 1);
    sheet->GetCells(2, 1)->SetAsFloat(22);
    EXPECT_EQ(before->GetAsFloat(), 22);

    // A cell added after the load is found like the others.
    sheet->AddCell(std::make_unique<TbiffRK>(sheet, 3, 1, 15, 9 * 4 + 2));
    EXPECT_EQ(sheet->GetCells(3, 1)->GetAsFloat(), 9);
    EXPECT_EQ(sheet->Rows().Items(3).Number(), 3);
    EXPECT_EQ(sheet->GetCells(5, 3)->GetAsFloat(), 7.5);
}
