#include "compoundfile.h"

#include "bytereader.h"

#include <QBuffer>
#include <QIODevice>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCfb, "morvex.cfb")

namespace {

const char kSignature[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
constexpr int kHeaderSize = 512;
constexpr int kHeaderDifatEntries = 109;
constexpr int kDirEntrySize = 128;

// Sector numbers at or above this one are markers, not sectors.
constexpr quint32 kMaxRegSect = 0xFFFFFFFA;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kNoStream = 0xFFFFFFFF;

QString SectorText(quint32 sector)
{
    return QString::number(sector);
}

} // namespace

TCompoundFile::TCompoundFile(QIODevice *device) : m_device(device)
{
    Load();
}

TCompoundFile::TCompoundFile(const QByteArray &data) : m_buffer(std::make_unique<QBuffer>())
{
    m_buffer->setData(data);
    m_buffer->open(QIODevice::ReadOnly);
    m_device = m_buffer.get();
    Load();
}

TCompoundFile::~TCompoundFile() = default;

bool TCompoundFile::IsCompoundFile(const QByteArray &head)
{
    return head.startsWith(QByteArrayView(kSignature, sizeof kSignature));
}

bool TCompoundFile::IsCompoundFile(QIODevice *device)
{
    if (!device->seek(0))
        return false;
    return IsCompoundFile(device->read(sizeof kSignature));
}

void TCompoundFile::Load()
{
    if (!m_device || !m_device->isOpen() || m_device->isSequential())
        throw ECompoundFileError(QStringLiteral("Compound file: the device is not open for random access"));
    m_fileSize = m_device->size();
    ReadHeader();
}

void TCompoundFile::ReadHeader()
{
    if (!m_device->seek(0))
        throw ECompoundFileError(QStringLiteral("Compound file: cannot read the header"));
    const QByteArray head = m_device->read(kHeaderSize);
    if (!IsCompoundFile(head))
        throw ECompoundFileError(QStringLiteral("Compound file: signature missing"));
    TByteReader r(head);
    try {
        r.seek(0x1A);
        m_majorVersion = r.u16le("major version");
        const quint16 byteOrder = r.u16le("byte order");
        const quint16 sectorShift = r.u16le("sector shift");
        const quint16 miniShift = r.u16le("mini sector shift");
        if (byteOrder != 0xFFFE)
            throw ECompoundFileError(QStringLiteral("Compound file: byte order mark 0x%1 is not little-endian")
                                         .arg(byteOrder, 4, 16, QLatin1Char('0')));
        // Version 3 files use 512-byte sectors, version 4 files 4096-byte ones.
        if (!((m_majorVersion == 3 && sectorShift == 9) || (m_majorVersion == 4 && sectorShift == 12)))
            throw ECompoundFileError(QStringLiteral("Compound file: version %1 with sector shift %2 is not supported")
                                         .arg(m_majorVersion).arg(sectorShift));
        if (miniShift != 6)
            throw ECompoundFileError(QStringLiteral("Compound file: mini sector shift %1 is not supported").arg(miniShift));
        m_sectorSize = 1 << sectorShift;
        m_miniSectorSize = 1 << miniShift;
        r.seek(0x2C);
        const quint32 fatCount = r.u32le("FAT sector count");
        const quint32 firstDir = r.u32le("first directory sector");
        r.skip(4, "transaction signature");
        m_miniCutoff = r.u32le("mini stream cutoff");
        const quint32 firstMiniFat = r.u32le("first mini FAT sector");
        const quint32 miniFatCount = r.u32le("mini FAT sector count");
        const quint32 firstDifat = r.u32le("first DIFAT sector");
        const quint32 difatCount = r.u32le("DIFAT sector count");
        std::vector<quint32> difatHead;
        difatHead.reserve(kHeaderDifatEntries);
        for (int i = 0; i < kHeaderDifatEntries; ++i)
            difatHead.push_back(r.u32le("DIFAT entry"));
        if (m_miniCutoff != 4096)
            throw ECompoundFileError(QStringLiteral("Compound file: mini stream cutoff %1 is not 4096").arg(m_miniCutoff));

        // The header fills the whole first sector; a file shorter than that
        // holds no sectors at all. A last sector cut short still counts: its
        // missing bytes are reported when a stream needs them.
        const qint64 body = m_fileSize - m_sectorSize;
        if (body <= 0)
            throw ECompoundFileError(QStringLiteral("Compound file: the file ends inside the header"));
        const qint64 sectors = (body + m_sectorSize - 1) / m_sectorSize;
        m_sectorCount = sectors > qint64(kMaxRegSect) ? kMaxRegSect : quint32(sectors);

        ReadFat(difatHead, firstDifat, difatCount, fatCount);
        ReadDirectory(firstDir);
        ReadMiniFat(firstMiniFat, miniFatCount);
    } catch (const EReadError &e) {
        throw ECompoundFileError(QStringLiteral("Compound file: %1").arg(e.Message()));
    }
}

QByteArray TCompoundFile::ReadSector(quint32 sector) const
{
    if (sector >= m_sectorCount)
        throw ECompoundFileError(QStringLiteral("Compound file: sector %1 lies past the end of the file")
                                     .arg(SectorText(sector)));
    const qint64 offset = (qint64(sector) + 1) * m_sectorSize;
    if (!m_device->seek(offset))
        throw ECompoundFileError(QStringLiteral("Compound file: cannot seek to sector %1").arg(SectorText(sector)));
    QByteArray bytes = m_device->read(m_sectorSize);
    // A last sector cut short reads as zeros past the end of the file.
    if (bytes.size() < m_sectorSize)
        bytes.append(m_sectorSize - bytes.size(), '\0');
    return bytes;
}

void TCompoundFile::ReadFat(const std::vector<quint32> &difatHead, quint32 firstDifat, quint32 difatCount,
                            quint32 fatCount)
{
    // Each FAT sector describes sectorSize / 4 sectors; more FAT sectors than
    // the file has sectors cannot be sound, so the count is checked before
    // the table is allocated.
    if (fatCount == 0 || fatCount > m_sectorCount)
        throw ECompoundFileError(QStringLiteral("Compound file: FAT sector count %1 does not fit a file of %2 sectors")
                                     .arg(fatCount).arg(m_sectorCount));
    std::vector<quint32> fatSectors;
    fatSectors.reserve(fatCount);
    for (quint32 s : difatHead) {
        if (fatSectors.size() == fatCount)
            break;
        if (s == kFreeSect)
            break;
        fatSectors.push_back(s);
    }
    // Extension sectors of the DIFAT: each holds sectorSize / 4 - 1 FAT
    // sector numbers and, last, the number of the next extension sector.
    const int perSector = m_sectorSize / 4 - 1;
    quint32 next = firstDifat;
    quint32 visited = 0;
    std::vector<bool> seen;
    while (fatSectors.size() < fatCount && next != kEndOfChain && next != kFreeSect) {
        if (next >= m_sectorCount)
            throw ECompoundFileError(QStringLiteral("Compound file: DIFAT sector %1 lies past the end of the file")
                                         .arg(SectorText(next)));
        if (seen.empty())
            seen.resize(m_sectorCount);
        if (seen[next])
            throw ECompoundFileError(QStringLiteral("Compound file: the DIFAT chain loops at sector %1").arg(SectorText(next)));
        seen[next] = true;
        if (++visited > difatCount)
            throw ECompoundFileError(QStringLiteral("Compound file: the DIFAT chain is longer than its count %1")
                                         .arg(difatCount));
        const QByteArray sector = ReadSector(next);
        TByteReader r(sector);
        for (int i = 0; i < perSector && fatSectors.size() < fatCount; ++i) {
            const quint32 s = r.u32le("DIFAT entry");
            if (s != kFreeSect)
                fatSectors.push_back(s);
        }
        r.seek(qsizetype(perSector) * 4);
        next = r.u32le("next DIFAT sector");
    }
    if (fatSectors.size() < fatCount)
        qCWarning(lcCfb) << "DIFAT lists" << fatSectors.size() << "of" << fatCount << "FAT sectors";
    if (fatSectors.empty())
        throw ECompoundFileError(QStringLiteral("Compound file: the DIFAT lists no FAT sector"));

    m_fat.reserve(fatSectors.size() * size_t(m_sectorSize / 4));
    for (quint32 s : fatSectors) {
        const QByteArray sector = ReadSector(s);
        TByteReader r(sector);
        while (!r.atEnd())
            m_fat.push_back(r.u32le("FAT entry"));
    }
}

std::vector<quint32> TCompoundFile::Chain(const std::vector<quint32> &table, quint32 start, quint64 maxSectors,
                                          const char *what) const
{
    std::vector<quint32> chain;
    std::vector<bool> seen;
    quint32 s = start;
    while (s != kEndOfChain) {
        if (s >= table.size())
            throw ECompoundFileError(QStringLiteral("Compound file: the %1 chain reaches sector %2, past the end of its table")
                                         .arg(QLatin1String(what), SectorText(s)));
        if (chain.size() >= maxSectors)
            throw ECompoundFileError(QStringLiteral("Compound file: the %1 chain is longer than its size allows")
                                         .arg(QLatin1String(what)));
        if (seen.empty())
            seen.resize(table.size());
        if (seen[s])
            throw ECompoundFileError(QStringLiteral("Compound file: the %1 chain loops at sector %2")
                                         .arg(QLatin1String(what), SectorText(s)));
        seen[s] = true;
        chain.push_back(s);
        s = table[s];
    }
    return chain;
}

void TCompoundFile::ReadDirectory(quint32 firstSector)
{
    const std::vector<quint32> chain = Chain(m_fat, firstSector, m_sectorCount, "directory");
    if (chain.empty())
        throw ECompoundFileError(QStringLiteral("Compound file: the directory is empty"));
    const int perSector = m_sectorSize / kDirEntrySize;
    m_directory.reserve(chain.size() * size_t(perSector));
    for (quint32 sector : chain) {
        const QByteArray bytes = ReadSector(sector);
        TByteReader r(bytes);
        for (int i = 0; i < perSector; ++i) {
            TCompoundEntry e;
            const QByteArrayView name = r.bytes(64, "entry name");
            const quint16 nameBytes = r.u16le("entry name length");
            const quint8 type = r.u8("entry type");
            r.skip(1, "entry colour");
            const quint32 left = r.u32le("left sibling");
            const quint32 right = r.u32le("right sibling");
            const quint32 child = r.u32le("child");
            r.skip(16 + 4 + 8 + 8, "class id, state and times");
            e.StartSector = r.u32le("start sector");
            const quint32 sizeLow = r.u32le("stream size");
            const quint32 sizeHigh = r.u32le("stream size");
            // Version 3 files keep only 32 bits of size; writers leave
            // garbage in the upper half, which readers are to ignore.
            e.Size = m_majorVersion == 3 ? sizeLow : (quint64(sizeHigh) << 32 | sizeLow);
            // The length counts the terminating zero character.
            const int chars = nameBytes >= 2 && nameBytes <= 64 ? nameBytes / 2 - 1 : 0;
            TByteReader nr(name);
            for (int c = 0; c < chars; ++c)
                e.Name.append(QChar(nr.u16le("entry name")));
            e.Type = type == 1 || type == 2 || type == 5 ? TCompoundEntry::TEntryType(type) : TCompoundEntry::etEmpty;
            e.Index = int(m_directory.size());
            m_directory.push_back(e);
            m_left.push_back(left);
            m_right.push_back(right);
            m_child.push_back(child);
        }
    }
    if (m_directory[0].Type != TCompoundEntry::etRoot)
        throw ECompoundFileError(QStringLiteral("Compound file: the first directory entry is not the root"));

    // Each storage's children form a tree of left and right links under its
    // child link. The walk keeps its own stack, so a degenerate tree cannot
    // exhaust the call stack, and visits every entry at most once, so a link
    // back into the tree cannot make it loop.
    std::vector<bool> seen(m_directory.size());
    seen[0] = true;
    m_entries.append(m_directory[0]);
    std::vector<int> storages{0};
    for (size_t next = 0; next < storages.size(); ++next) {
        const int parent = storages[next];
        std::vector<quint32> stack;
        quint32 node = m_child[size_t(parent)];
        while (node != kNoStream || !stack.empty()) {
            while (node != kNoStream) {
                if (node >= m_directory.size())
                    throw ECompoundFileError(QStringLiteral("Compound file: directory link to entry %1 lies past the directory")
                                                 .arg(node));
                if (seen[node])
                    throw ECompoundFileError(QStringLiteral("Compound file: the directory tree loops at entry %1").arg(node));
                seen[node] = true;
                stack.push_back(node);
                node = m_left[node];
            }
            node = stack.back();
            stack.pop_back();
            TCompoundEntry &e = m_directory[node];
            e.Parent = parent;
            if (e.Type == TCompoundEntry::etStream || e.Type == TCompoundEntry::etStorage)
                m_entries.append(e);
            if (e.Type == TCompoundEntry::etStorage)
                storages.push_back(int(node));
            node = m_right[node];
        }
    }
}

void TCompoundFile::ReadMiniFat(quint32 firstSector, quint32 count)
{
    const TCompoundEntry &root = m_directory[0];
    if (root.Size == 0 || firstSector == kEndOfChain || firstSector == kFreeSect)
        return;
    if (count > m_sectorCount)
        throw ECompoundFileError(QStringLiteral("Compound file: mini FAT sector count %1 does not fit the file").arg(count));
    const std::vector<quint32> chain = Chain(m_fat, firstSector, m_sectorCount, "mini FAT");
    m_miniFat.reserve(chain.size() * size_t(m_sectorSize / 4));
    for (quint32 sector : chain) {
        const QByteArray bytes = ReadSector(sector);
        TByteReader r(bytes);
        while (!r.atEnd())
            m_miniFat.push_back(r.u32le("mini FAT entry"));
    }
    // The mini stream is the root entry's stream in the FAT.
    if (root.Size > quint64(m_fileSize))
        throw ECompoundFileError(QStringLiteral("Compound file: the mini stream of %1 bytes is larger than the file")
                                     .arg(root.Size));
    m_miniStream.resize(qsizetype(root.Size));
    ReadChainInto(root.StartSector, root.Size, m_miniStream.data(), "mini stream");
}

void TCompoundFile::ReadChainInto(quint32 start, quint64 size, char *dest, const char *what) const
{
    const quint64 needed = (size + m_sectorSize - 1) / m_sectorSize;
    const std::vector<quint32> chain = Chain(m_fat, start, needed, what);
    if (chain.size() < needed)
        throw ECompoundFileError(QStringLiteral("Compound file: the %1 chain ends after %2 of %3 sectors")
                                     .arg(QLatin1String(what)).arg(chain.size()).arg(needed));
    // Writers lay streams out in runs of consecutive sectors; each run is
    // read in one go.
    quint64 done = 0;
    for (size_t i = 0; i < chain.size();) {
        size_t j = i + 1;
        while (j < chain.size() && chain[j] == chain[j - 1] + 1)
            ++j;
        if (chain[j - 1] >= m_sectorCount)
            throw ECompoundFileError(QStringLiteral("Compound file: sector %1 lies past the end of the file")
                                         .arg(SectorText(chain[j - 1])));
        const qint64 offset = (qint64(chain[i]) + 1) * m_sectorSize;
        const qint64 want = qint64(qMin<quint64>(quint64(j - i) * quint64(m_sectorSize), size - done));
        if (!m_device->seek(offset) || m_device->read(dest + done, want) != want)
            throw ECompoundFileError(QStringLiteral("Compound file: the %1 is cut short at sector %2")
                                         .arg(QLatin1String(what), SectorText(chain[i])));
        done += quint64(want);
        i = j;
    }
}

QList<TCompoundEntry> TCompoundFile::RootEntries() const
{
    QList<TCompoundEntry> result;
    for (const TCompoundEntry &e : m_entries)
        if (e.Parent == 0)
            result.append(e);
    return result;
}

const TCompoundEntry *TCompoundFile::FindStream(const QString &name) const
{
    for (const TCompoundEntry &e : m_entries)
        if (e.Parent == 0 && e.Type == TCompoundEntry::etStream
            && QString::compare(e.Name, name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

QByteArray TCompoundFile::ReadStream(const TCompoundEntry &entry) const
{
    if (entry.Type != TCompoundEntry::etStream)
        throw ECompoundFileError(QStringLiteral("Compound file: entry \"%1\" is not a stream").arg(entry.Name));
    // Nothing larger than the file itself can be stored in it.
    if (entry.Size > quint64(m_fileSize))
        throw ECompoundFileError(QStringLiteral("Compound file: stream \"%1\" claims %2 bytes in a file of %3")
                                     .arg(entry.Name).arg(entry.Size).arg(m_fileSize));
    QByteArray data;
    if (entry.Size == 0)
        return data;
    if (entry.Size < m_miniCutoff) {
        if (entry.Size > quint64(m_miniStream.size()))
            throw ECompoundFileError(QStringLiteral("Compound file: stream \"%1\" is larger than the mini stream")
                                         .arg(entry.Name));
        const quint64 needed = (entry.Size + m_miniSectorSize - 1) / m_miniSectorSize;
        const std::vector<quint32> chain = Chain(m_miniFat, entry.StartSector, needed, "mini stream");
        if (chain.size() < needed)
            throw ECompoundFileError(QStringLiteral("Compound file: the chain of stream \"%1\" ends early").arg(entry.Name));
        data.resize(qsizetype(entry.Size));
        TByteReader mini(m_miniStream);
        qsizetype done = 0;
        try {
            for (quint32 s : chain) {
                const qsizetype want = qMin<qsizetype>(m_miniSectorSize, data.size() - done);
                mini.seek(qsizetype(s) * m_miniSectorSize, "mini sector");
                const QByteArrayView part = mini.bytes(want, "mini sector");
                std::copy(part.begin(), part.end(), data.begin() + done);
                done += want;
            }
        } catch (const EReadError &e) {
            throw ECompoundFileError(QStringLiteral("Compound file: stream \"%1\": %2").arg(entry.Name, e.Message()));
        }
        return data;
    }
    data.resize(qsizetype(entry.Size));
    ReadChainInto(entry.StartSector, entry.Size, data.data(), "stream");
    return data;
}
