#pragma once

#include "exception.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QBuffer;
class QIODevice;

// Raised for a compound file whose structure is damaged: the message says
// what was being read and where.
class ECompoundFileError : public Exception
{
public:
    using Exception::Exception;
};

// One entry of the directory of a compound file.
struct TCompoundEntry
{
    enum TEntryType { etEmpty = 0, etStorage = 1, etStream = 2, etRoot = 5 };

    QString Name;
    TEntryType Type = etEmpty;
    quint32 StartSector = 0;
    quint64 Size = 0;
    int Index = -1;   // position in the directory
    int Parent = -1;  // directory position of the storage that holds it
};

// A read-only reader of compound files (OLE2 structured storage, the
// container of Excel 97-2003 workbooks). Sector sizes of 512 and 4096 bytes,
// the DIFAT with its extension sectors, the FAT, the mini FAT with the mini
// stream and the directory tree are read when the reader is made. Every
// sector chain is bounds-checked and cycle-checked, and every size is checked
// against the file before anything is allocated; damage raises
// ECompoundFileError.
//
// The reader reads from the device as it goes, so the device must stay open
// and unchanged for as long as streams are read.
class TCompoundFile
{
public:
    // Reads the structure from a seekable device positioned anywhere.
    explicit TCompoundFile(QIODevice *device);
    // The same over bytes held in memory (shared, not copied).
    explicit TCompoundFile(const QByteArray &data);
    ~TCompoundFile();
    TCompoundFile(const TCompoundFile &) = delete;
    TCompoundFile &operator=(const TCompoundFile &) = delete;

    // True when the bytes begin with the compound-file signature.
    static bool IsCompoundFile(const QByteArray &head);
    static bool IsCompoundFile(QIODevice *device);

    int SectorSize() const { return m_sectorSize; }
    // Every stream and storage reachable from the root: the root first, then
    // the root's children in directory-tree order, then those of each storage
    // in turn.
    const QList<TCompoundEntry> &Entries() const { return m_entries; }
    // The entries held directly by the root storage.
    QList<TCompoundEntry> RootEntries() const;
    // A stream of the root storage by name, compared ignoring case as the
    // compound-file format does; null when there is none.
    const TCompoundEntry *FindStream(const QString &name) const;
    // The whole content of a stream.
    QByteArray ReadStream(const TCompoundEntry &entry) const;

private:
    void Load();
    void ReadHeader();
    void ReadFat(const std::vector<quint32> &difatHead, quint32 firstDifat, quint32 difatCount,
                 quint32 fatCount);
    void ReadDirectory(quint32 firstSector);
    void ReadMiniFat(quint32 firstSector, quint32 count);
    QByteArray ReadSector(quint32 sector) const;
    // The sectors of a chain, in order; the walk stops after at most
    // maxSectors and fails on a loop, a free or reserved sector or one past
    // the end of the table.
    std::vector<quint32> Chain(const std::vector<quint32> &table, quint32 start, quint64 maxSectors,
                               const char *what) const;
    void ReadChainInto(quint32 start, quint64 size, char *dest, const char *what) const;

    std::unique_ptr<QBuffer> m_buffer;
    QIODevice *m_device = nullptr;
    qint64 m_fileSize = 0;
    int m_sectorSize = 512;
    int m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    quint32 m_sectorCount = 0; // sectors the file holds after the header
    int m_majorVersion = 3;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    std::vector<TCompoundEntry> m_directory;
    std::vector<quint32> m_left, m_right, m_child;
    QByteArray m_miniStream;
    QList<TCompoundEntry> m_entries;
};
