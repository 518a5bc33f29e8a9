#include "compoundfile.h"

#include "cfbwriter.h"
#include "cfbwalk.h"
#include "qtprinters.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Pattern(qsizetype n, int seed)
{
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

QByteArray ReadFixture(const char *name)
{
    QFile f(QStringLiteral(MORVEX_TEST_DATA "/xls/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

void ExpectCorrupt(const QByteArray &bytes, const char *fragment)
{
    try {
        TCompoundFile cfb(bytes);
        for (const TCompoundEntry &e : cfb.Entries())
            if (e.Type == TCompoundEntry::etStream)
                (void)cfb.ReadStream(e);
        FAIL() << "no error, expected one mentioning " << fragment;
    } catch (const ECompoundFileError &e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String(fragment))) << e.Message().toStdString();
    }
}

} // namespace

class CompoundFileSectorSize : public ::testing::TestWithParam<int>
{
};

TEST_P(CompoundFileSectorSize, ReadsMiniAndRegularStreams)
{
    const QByteArray small = Pattern(100, 1);
    const QByteArray exact = Pattern(4095, 2);
    const QByteArray big = Pattern(20000, 3);
    const TTestCompoundFile file = BuildCompoundFile(
        {{QStringLiteral("Small"), small}, {QStringLiteral("Edge"), exact}, {QStringLiteral("Workbook"), big},
         {QStringLiteral("Empty"), QByteArray()}},
        GetParam());

    QBuffer device;
    device.setData(file.Bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    TCompoundFile cfb(&device);
    EXPECT_EQ(cfb.SectorSize(), GetParam());
    ASSERT_EQ(cfb.RootEntries().size(), 4);
    EXPECT_EQ(cfb.ReadStream(*cfb.FindStream(QStringLiteral("Small"))), small);
    EXPECT_EQ(cfb.ReadStream(*cfb.FindStream(QStringLiteral("Edge"))), exact);
    EXPECT_EQ(cfb.ReadStream(*cfb.FindStream(QStringLiteral("Workbook"))), big);
    EXPECT_TRUE(cfb.ReadStream(*cfb.FindStream(QStringLiteral("Empty"))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompoundFileSectorSize, ::testing::Values(512, 4096),
                         [](const auto &info) { return "Sector" + std::to_string(info.param); });

TEST(CompoundFileTest, FindsStreamsIgnoringCase)
{
    const TTestCompoundFile file = BuildCompoundFile({{QStringLiteral("Workbook"), Pattern(10, 0)}});
    TCompoundFile cfb(file.Bytes);
    ASSERT_NE(cfb.FindStream(QStringLiteral("WORKBOOK")), nullptr);
    EXPECT_EQ(cfb.FindStream(QStringLiteral("workbook"))->Name, QStringLiteral("Workbook"));
    EXPECT_EQ(cfb.FindStream(QStringLiteral("Book")), nullptr);
}

TEST(CompoundFileTest, FollowsDifatExtensionSectors)
{
    // 14,000 sectors need 110 FAT sectors: one more than the header lists.
    const QByteArray big = Pattern(14000 * 512, 5);
    const TTestCompoundFile file = BuildCompoundFile({{QStringLiteral("Big"), big}});
    ASSERT_GT(file.DifatSectors, 0u);
    TCompoundFile cfb(file.Bytes);
    EXPECT_EQ(cfb.ReadStream(*cfb.FindStream(QStringLiteral("Big"))), big);
}

TEST(CompoundFileTest, ReadsWorkbooksOfRealWriters)
{
    for (const char *name : {"xlwt_values.xls", "gnumeric_values.xls"}) {
        const QByteArray bytes = ReadFixture(name);
        ASSERT_TRUE(TCompoundFile::IsCompoundFile(bytes)) << name;
        TCompoundFile cfb(bytes);
        const TCompoundEntry *wb = cfb.FindStream(QStringLiteral("Workbook"));
        ASSERT_NE(wb, nullptr) << name;
        const QByteArray stream = cfb.ReadStream(*wb);
        ASSERT_EQ(quint64(stream.size()), wb->Size);
        // A BIFF8 workbook stream starts with a BOF record of version 0x0600.
        EXPECT_EQ(stream.left(6), QByteArray("\x09\x08\x10\x00\x00\x06", 6)) << name;
    }
}

TEST(CompoundFileTest, RejectsWhatIsNotACompoundFile)
{
    EXPECT_FALSE(TCompoundFile::IsCompoundFile(QByteArray("PK\x03\x04 not a compound file")));
    ExpectCorrupt(QByteArray("ID;PWXL;N;E\r\n"), "signature");
}

TEST(CompoundFileTest, DamagedStructuresRaiseClearErrors)
{
    const QByteArray big = Pattern(5000, 4);
    const TTestCompoundFile file = BuildCompoundFile({{QStringLiteral("Workbook"), big},
                                                      {QStringLiteral("Tiny"), Pattern(70, 9)}});
    const uint32_t first = file.StreamStarts[0];

    {
        SCOPED_TRACE("FAT chain loops");
        QByteArray b = file.Bytes;
        cfbwriter::Put32(b, file.FatEntryOffset(first + 1), first);
        ExpectCorrupt(b, "loops");
    }
    {
        SCOPED_TRACE("sector past the end");
        QByteArray b = file.Bytes;
        cfbwriter::Put32(b, file.FatEntryOffset(first + 1), 4000);
        ExpectCorrupt(b, "past the end");
    }
    {
        SCOPED_TRACE("stream claims 4 GB");
        QByteArray b = file.Bytes;
        cfbwriter::Put32(b, file.DirEntryOffset(1) + 120, 0xFFFFFFF0);
        ExpectCorrupt(b, "claims");
    }
    {
        SCOPED_TRACE("stream larger than the mini stream");
        QByteArray b = file.Bytes;
        cfbwriter::Put32(b, file.DirEntryOffset(2) + 120, 3000);
        ExpectCorrupt(b, "larger than the mini stream");
    }
    {
        SCOPED_TRACE("directory tree loops");
        QByteArray b = file.Bytes;
        cfbwriter::Put32(b, file.DirEntryOffset(2) + 72, 1);
        ExpectCorrupt(b, "directory tree loops");
    }
    {
        SCOPED_TRACE("unsupported sector size");
        QByteArray b = file.Bytes;
        cfbwriter::Put16(b, 0x1E, 10);
        ExpectCorrupt(b, "sector shift 10");
    }
}

TEST(CompoundFileTest, DifatChainThatLoopsIsRejected)
{
    // A stream of 0xFF bytes: read as a DIFAT sector it lists only free
    // entries, so the walk goes on to its link, which points to itself.
    const TTestCompoundFile file = BuildCompoundFile({{QStringLiteral("Filler"), QByteArray(300 * 512, '\xFF')}});
    QByteArray b = file.Bytes;
    const uint32_t self = file.StreamStarts[0];
    cfbwriter::Put32(b, 0x2C, 250);
    cfbwriter::Put32(b, 0x44, self);
    cfbwriter::Put32(b, 0x48, 1000);
    cfbwriter::Put32(b, qsizetype(self + 2) * 512 - 4, self);
    ExpectCorrupt(b, "DIFAT chain loops");
}

TEST(CompoundFileTest, TruncatedAtAnyOffsetFailsCleanly)
{
    const TTestCompoundFile file = BuildCompoundFile({{QStringLiteral("Workbook"), Pattern(6000, 7)},
                                                      {QStringLiteral("Small"), Pattern(300, 8)}});
    // The file ends with the 6000-byte stream; only the padding of its last
    // sector may be cut off.
    const qsizetype needed = file.Bytes.size() - (12 * 512 - 6000);
    for (qsizetype n = 0; n < file.Bytes.size(); n += 37) {
        if (n >= needed)
            EXPECT_NO_THROW(WalkCompoundFile(file.Bytes.left(n))) << n;
        else
            EXPECT_THROW(WalkCompoundFile(file.Bytes.left(n)), ECompoundFileError) << n;
    }
    EXPECT_NO_THROW(WalkCompoundFile(file.Bytes));
}
