#pragma once

// Builds small compound files in memory for tests and fuzz seeds: streams
// under the root storage, short ones in the mini stream, the others in the
// FAT, with DIFAT extension sectors when the FAT outgrows the header.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

struct TTestStream
{
    QString Name;
    QByteArray Data;
};

struct TTestCompoundFile
{
    QByteArray Bytes;
    int SectorSize = 512;
    std::vector<uint32_t> StreamStarts; // first sector (or mini sector) of each stream
    uint32_t FirstDirSector = 0;
    uint32_t FatSectors = 0;
    uint32_t DifatSectors = 0;

    // File offset of FAT entry n (FAT sectors come first in the file).
    qsizetype FatEntryOffset(uint32_t n) const { return qsizetype(SectorSize) + qsizetype(n) * 4; }
    // File offset of directory entry n.
    qsizetype DirEntryOffset(uint32_t n) const
    {
        return qsizetype(FirstDirSector + 1) * SectorSize + qsizetype(n) * 128;
    }
};

namespace cfbwriter {

inline void Put16(QByteArray &b, qsizetype at, uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

inline void Put32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

inline uint32_t Ceil(qsizetype n, qsizetype d)
{
    return uint32_t((n + d - 1) / d);
}

} // namespace cfbwriter

inline TTestCompoundFile BuildCompoundFile(const QList<TTestStream> &streams, int sectorSize = 512)
{
    using namespace cfbwriter;
    constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;
    const qsizetype S = sectorSize;
    const uint32_t perFat = uint32_t(S / 4);

    TTestCompoundFile out;
    out.SectorSize = sectorSize;

    QByteArray mini;
    std::vector<uint32_t> miniFat;
    std::vector<uint32_t> bigSectors(size_t(streams.size()), 0);
    out.StreamStarts.assign(size_t(streams.size()), kEnd);
    for (qsizetype i = 0; i < streams.size(); ++i) {
        const QByteArray &d = streams[i].Data;
        if (d.isEmpty())
            continue;
        if (d.size() < 4096) {
            const uint32_t first = uint32_t(miniFat.size());
            const uint32_t n = Ceil(d.size(), 64);
            for (uint32_t k = 0; k < n; ++k)
                miniFat.push_back(k + 1 < n ? first + k + 1 : kEnd);
            out.StreamStarts[size_t(i)] = first;
            mini.append(d);
            mini.append(QByteArray(qsizetype(n) * 64 - d.size(), '\0'));
        } else {
            bigSectors[size_t(i)] = Ceil(d.size(), S);
        }
    }
    const uint32_t dirSecs = Ceil((streams.size() + 1) * 128, S);
    const uint32_t miniFatSecs = Ceil(qsizetype(miniFat.size()) * 4, S);
    const uint32_t miniSecs = Ceil(mini.size(), S);
    uint32_t dataSecs = dirSecs + miniFatSecs + miniSecs;
    for (uint32_t n : bigSectors)
        dataSecs += n;
    uint32_t fat = 1, difat = 0;
    for (;;) {
        const uint32_t f = Ceil(dataSecs + fat + difat, perFat);
        const uint32_t d = f > 109 ? Ceil(f - 109, perFat - 1) : 0;
        if (f == fat && d == difat)
            break;
        fat = f;
        difat = d;
    }
    out.FatSectors = fat;
    out.DifatSectors = difat;
    const uint32_t total = fat + difat + dataSecs;

    std::vector<uint32_t> table(size_t(fat) * perFat, kFree);
    uint32_t next = 0;
    auto chain = [&](uint32_t count) {
        const uint32_t first = next;
        for (uint32_t k = 0; k < count; ++k, ++next)
            table[next] = k + 1 < count ? next + 1 : kEnd;
        return count ? first : kEnd;
    };
    for (uint32_t k = 0; k < fat; ++k)
        table[next++] = kFatSect;
    const uint32_t firstDifat = next;
    for (uint32_t k = 0; k < difat; ++k)
        table[next++] = kDifSect;
    out.FirstDirSector = chain(dirSecs);
    const uint32_t firstMiniFat = chain(miniFatSecs);
    const uint32_t firstMini = chain(miniSecs);
    for (qsizetype i = 0; i < streams.size(); ++i)
        if (bigSectors[size_t(i)])
            out.StreamStarts[size_t(i)] = chain(bigSectors[size_t(i)]);

    QByteArray &b = out.Bytes;
    b = QByteArray(S * (qsizetype(total) + 1), '\0');
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    b.replace(0, 8, QByteArray(sig, 8));
    Put16(b, 0x18, 0x003E);
    Put16(b, 0x1A, sectorSize == 4096 ? 4 : 3);
    Put16(b, 0x1C, 0xFFFE);
    Put16(b, 0x1E, sectorSize == 4096 ? 12 : 9);
    Put16(b, 0x20, 6);
    Put32(b, 0x28, sectorSize == 4096 ? dirSecs : 0);
    Put32(b, 0x2C, fat);
    Put32(b, 0x30, out.FirstDirSector);
    Put32(b, 0x38, 4096);
    Put32(b, 0x3C, miniFatSecs ? firstMiniFat : kEnd);
    Put32(b, 0x40, miniFatSecs);
    Put32(b, 0x44, difat ? firstDifat : kEnd);
    Put32(b, 0x48, difat);
    for (uint32_t k = 0; k < 109; ++k)
        Put32(b, 0x4C + 4 * k, k < fat ? k : kFree);
    // DIFAT extension sectors: FAT sector numbers from 109 on, then the link.
    uint32_t listed = 109;
    for (uint32_t k = 0; k < difat; ++k) {
        const qsizetype at = S * (qsizetype(firstDifat + k) + 1);
        for (uint32_t e = 0; e + 1 < perFat; ++e, ++listed)
            Put32(b, at + 4 * e, listed < fat ? listed : kFree);
        Put32(b, at + S - 4, k + 1 < difat ? firstDifat + k + 1 : kEnd);
    }
    for (size_t k = 0; k < table.size(); ++k)
        Put32(b, S * (qsizetype(k / perFat) + 1) + qsizetype(k % perFat) * 4, table[k]);

    auto dirEntry = [&](uint32_t n, const QString &name, uint8_t type, uint32_t start, uint64_t size,
                        uint32_t right, uint32_t child) {
        const qsizetype at = out.DirEntryOffset(n);
        for (qsizetype c = 0; c < name.size() && c < 31; ++c)
            Put16(b, at + 2 * c, name.at(c).unicode());
        Put16(b, at + 64, uint16_t((qMin<qsizetype>(name.size(), 31) + 1) * 2));
        b[at + 66] = char(type);
        b[at + 67] = 1;
        Put32(b, at + 68, kFree);
        Put32(b, at + 72, right);
        Put32(b, at + 76, child);
        Put32(b, at + 116, start);
        Put32(b, at + 120, uint32_t(size));
        Put32(b, at + 124, uint32_t(size >> 32));
    };
    for (uint32_t n = uint32_t(streams.size()) + 1; n < dirSecs * uint32_t(S / 128); ++n) {
        const qsizetype at = out.DirEntryOffset(n);
        Put32(b, at + 68, kFree);
        Put32(b, at + 72, kFree);
        Put32(b, at + 76, kFree);
    }
    dirEntry(0, QStringLiteral("Root Entry"), 5, miniSecs ? firstMini : kEnd, uint64_t(mini.size()), kFree,
             streams.isEmpty() ? kFree : 1);
    for (qsizetype i = 0; i < streams.size(); ++i)
        dirEntry(uint32_t(i) + 1, streams[i].Name, 2, out.StreamStarts[size_t(i)], uint64_t(streams[i].Data.size()),
                 i + 1 < streams.size() ? uint32_t(i) + 2 : kFree, kFree);

    auto writeChain = [&](uint32_t first, const QByteArray &data) {
        for (qsizetype off = 0, s = first; off < data.size(); off += S, ++s)
            b.replace(S * (s + 1), qMin(S, data.size() - off), data.mid(off, S));
    };
    QByteArray miniFatBytes(qsizetype(miniFatSecs) * S, '\xFF');
    for (size_t k = 0; k < miniFat.size(); ++k)
        Put32(miniFatBytes, qsizetype(k) * 4, miniFat[k]);
    if (miniFatSecs)
        writeChain(firstMiniFat, miniFatBytes);
    if (miniSecs)
        writeChain(firstMini, mini);
    for (qsizetype i = 0; i < streams.size(); ++i)
        if (bigSectors[size_t(i)])
            writeChain(out.StreamStarts[size_t(i)], streams[i].Data);
    return out;
}
