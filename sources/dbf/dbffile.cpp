#include "dbffile.h"

#include "bytereader.h"
#include "codepages.h"
#include "dbflogging_p.h"
#include "strutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcDbf, "morvex.dbf")

namespace {

constexpr int kHeaderSize = 32;
constexpr uint8_t kDescriptorTerminator = 0x0D;
constexpr uint8_t kVersionDbtMemo = 0x83;
constexpr uint8_t kVersionBitsDbase7 = 4;
constexpr int kDbase7HeaderSize = 68;
constexpr int kDbase7DescriptorSize = 48;
constexpr qint64 kDbtBlockSize = 512;
constexpr qint64 kFptBlockHeaderSize = 8;
// A memo is held whole in memory; no real memo comes near this, and a damaged
// chain that runs on through a large memo file stops here.
constexpr qint64 kMaxMemoLength = 16 * 1024 * 1024;
// Memos are read through a window of the memo file this large: they mostly
// follow one another, so one read of the device serves many memos.
constexpr qint64 kMemoWindow = 64 * 1024;

// A device's read() may return less than asked before the end; loop until the
// count is reached or the device has nothing more. -1 only when nothing was read.
qint64 readFully(QIODevice *device, char *data, qint64 count)
{
    qint64 total = 0;
    while (total < count) {
        const qint64 got = device->read(data + total, count - total);
        if (got < 0)
            return total > 0 ? total : -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

uint32_t bigEndian32(QByteArrayView b)
{
    return uint32_t(uint8_t(b[0])) << 24 | uint32_t(uint8_t(b[1])) << 16 | uint32_t(uint8_t(b[2])) << 8
        | uint32_t(uint8_t(b[3]));
}

uint32_t littleEndian32(QByteArrayView b)
{
    return uint32_t(uint8_t(b[3])) << 24 | uint32_t(uint8_t(b[2])) << 16 | uint32_t(uint8_t(b[1])) << 8
        | uint32_t(uint8_t(b[0]));
}

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Tables and memo files often come from systems that ignore letter case
// ("PEOPLE.DBT" beside "people.dbf"). The exact name wins; otherwise the first
// entry of the folder that differs from it only in case. Empty when none exists.
QString existingFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isFile())
        return fileName;
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return QString();
}

QString nameFromBytes(const QByteArray &raw, const QTextCodec *codec)
{
    return AnsiUpperCase(Trim(codec->toUnicode(raw)));
}

QTextCodec *ansiCodec()
{
    return QTextCodec::codecForName(AnsiCodePage().toLatin1());
}

// The code page a table's language-driver byte (header byte 29) names.
const char *codePageOfLanguageDriver(uint8_t driver)
{
    switch (driver) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18: case 0x19:
    case 0x1B:
        return "IBM437";
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A: case 0x1D:
    case 0x25: case 0x37:
        return "IBM850";
    case 0x03: case 0x57: case 0x58: case 0x59:
        return "windows-1252";
    case 0x04:
        return "macintosh";
    case 0x08: case 0x17: case 0x66:
        return "IBM865";
    case 0x13: case 0x7B:
        return "Shift_JIS";
    case 0x1C:
        return "IBM863";
    case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64:
        return "IBM852";
    case 0x24:
        return "IBM860";
    case 0x26: case 0x65:
        return "IBM866";
    case 0x4D: case 0x7A:
        return "GBK";
    case 0x4E: case 0x79:
        return "windows-949";
    case 0x4F: case 0x78:
        return "Big5";
    case 0x50: case 0x7C:
        return "TIS-620";
    case 0x67:
        return "IBM861";
    case 0x6B:
        return "IBM857";
    case 0x7D:
        return "windows-1255";
    case 0x7E:
        return "windows-1256";
    case 0x96:
        return "x-mac-cyrillic";
    case 0xC8:
        return "windows-1250";
    case 0xC9:
        return "windows-1251";
    case 0xCA:
        return "windows-1254";
    case 0xCB:
        return "windows-1253";
    case 0xCC:
        return "windows-1257";
    default:
        return nullptr;
    }
}

// The position of the first byte from 0x80 on at or after from; the size when there is none.
qsizetype nextNonAscii(QByteArrayView bytes, qsizetype from)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = from;
    for (; size - i >= 8; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        if (word & 0x8080808080808080u)
            break;
    }
    for (; i < size; ++i) {
        if (uint8_t(data[i]) >= 0x80)
            return i;
    }
    return size;
}

// A memo field's block number as decimal digits between blanks; false for
// any other text, which the general conversion then reads.
bool plainBlockNumber(QByteArrayView field, int64_t &block)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && uint8_t(field[begin]) <= 0x20)
        ++begin;
    while (end > begin && uint8_t(field[end - 1]) <= 0x20)
        --end;
    // 18 digits always fit in 64 bits.
    if (begin == end || end - begin > 18)
        return false;
    int64_t value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
        value = value * 10 + (field[i] - '0');
    }
    block = value;
    return true;
}

// dBase writes a soft line break as 0x8D 0x0A. Only that pair is a soft break:
// in code pages such as IBM866 a lone 0x8D is a letter.
void replaceSoftBreaks(QByteArray &text)
{
    for (qsizetype i = text.indexOf('\x8D'); i >= 0 && i + 1 < text.size(); i = text.indexOf('\x8D', i + 1)) {
        if (text.at(i + 1) == '\x0A')
            text[i] = '\x0D';
    }
}

} // namespace

EDBFError::EDBFError(int code, qint64 recordNumber)
    : Exception(TDBFRead::ErrorText(code)), Code(code), RecordNumber(recordNumber)
{
}

RDescriptor RDescriptor::Read(TByteReader &reader)
{
    RDescriptor d;
    std::memcpy(d.Name, reader.bytes(sizeof d.Name, "field name").data(), sizeof d.Name);
    d.FieldType = char(reader.u8("field type"));
    d.Address = reader.u32le("field data address");
    d.Length = reader.u8("field length");
    d.Decimals = reader.u8("decimal count");
    std::memcpy(d.Reserved, reader.bytes(sizeof d.Reserved, "reserved descriptor bytes").data(), sizeof d.Reserved);
    d.IndexFlag = reader.u8("index flag");
    return d;
}

TDescriptor::TDescriptor(const RDescriptor &descriptor)
    : m_name(descriptor.Name, qstrnlen(descriptor.Name, 10))
    , m_type(upperAscii(descriptor.FieldType))
    , m_length(descriptor.Length)
    , m_decimals(descriptor.Decimals)
    , m_indexFlag(descriptor.IndexFlag)
{
}

TDescriptor TDescriptor::ReadDbase7(TByteReader &reader)
{
    TDescriptor d;
    const QByteArrayView name = reader.bytes(32, "field name");
    d.m_name = name.first(qstrnlen(name.data(), 31)).toByteArray();
    d.m_type = upperAscii(char(reader.u8("field type")));
    d.m_length = reader.u8("field length");
    d.m_decimals = reader.u8("decimal count");
    reader.skip(2, "reserved descriptor bytes");
    d.m_indexFlag = reader.u8("index flag");
    reader.skip(10, "reserved descriptor bytes");
    return d;
}

void TDescriptor::GetData(RDescriptor &descriptor) const
{
    std::memset(descriptor.Name, 0, sizeof descriptor.Name);
    std::memcpy(descriptor.Name, m_name.constData(), size_t(std::min<qsizetype>(m_name.size(), 10)));
    descriptor.FieldType = m_type;
    descriptor.Address = uint32_t(m_offset);
    descriptor.Length = m_length;
    descriptor.Decimals = m_decimals;
    descriptor.IndexFlag = m_indexFlag;
}

QString TDescriptor::GetName() const
{
    return nameFromBytes(m_name, ansiCodec());
}

TDBFRead::TDBFRead(const QString &fileName)
    : m_codePage(AnsiCodePage()), m_codec(ansiCodec())
{
    buildByteTable();
    QString name = fileName;
    if (ExtractFileExt(name).toUpper() != QLatin1String(".DBF"))
        name = ChangeFileExt(name, QStringLiteral(".DBF"));
    const QString found = existingFile(name);
    m_fileName = found.isEmpty() ? name : found;
    m_ownedTable = std::make_unique<QFile>(m_fileName);
    if (!m_ownedTable->open(QIODevice::ReadOnly))
        failOpen(104);
    open(m_ownedTable.get());
    if (m_open)
        openMemoBeside();
}

TDBFRead::TDBFRead(QIODevice *table, QIODevice *memo, TMemoType memoType)
    : m_codePage(AnsiCodePage()), m_codec(ansiCodec())
{
    buildByteTable();
    if (!table || !table->isReadable())
        failOpen(104);
    open(table);
    if (m_open && memo && memoType != mtNone)
        openMemo(memo, memoType);
}

TDBFRead::~TDBFRead() = default;

void TDBFRead::ErrorHandle(int code)
{
    m_errorCode = code;
    throw EDBFError(code, m_readingRecord);
}

void TDBFRead::failOpen(int code)
{
    m_errorCode = code;
    m_descriptors.reset();
    m_table = nullptr;
    m_ownedTable.reset();
    throw EDBFError(code, 0);
}

QString TDBFRead::ErrorText(int code)
{
    switch (code) {
    case 100: return QStringLiteral("File is empty!");
    case 101: return QStringLiteral("File name not assigned!");
    case 102: return QStringLiteral("File not found!");
    case 103: return QStringLiteral("File create error!");
    case 104: return QStringLiteral("File open error");
    case 105: return QStringLiteral("File seek error!");
    case 106: return QStringLiteral("File read error!");
    case 107: return QStringLiteral("File write error!");
    case 108: return QStringLiteral("Out of memory!");
    case 109: return QStringLiteral("Table file is invalid!");
    case 110: return QStringLiteral("Error creating field descriptor list!");
    case 111: return QStringLiteral("Out of range!");
    default: return QStringLiteral("Unknown error!");
    }
}

void TDBFRead::open(QIODevice *table)
{
    m_table = table;
    if (!readHeader())
        return;
    readDescriptors();
    positionAtFirstRecord();
    m_open = true;
    m_recNo = 1;
}

// The table header: version, date of last update, record count, header length,
// record length, and reserved bytes of which byte 29 names the code page.
bool TDBFRead::readHeader()
{
    QByteArray head(kHeaderSize, Qt::Uninitialized);
    const qint64 got = readFully(m_table, head.data(), kHeaderSize);
    if (got < 0)
        failOpen(106);
    if (got == 0) {
        // An empty table file is a table without records, not an error.
        m_errorCode = 100;
        return false;
    }
    if (got < kHeaderSize)
        failOpen(109);
    m_header = head;
    TByteReader reader(m_header);
    reader.skip(4, "version and date of last update");
    m_recordCount = reader.u32le("record count");
    m_headerLength = reader.u16le("header length");
    m_recordLength = reader.u16le("record length");
    return true;
}

// The descriptors fill the header after its first 32 bytes. Their count comes
// from the header length; the list also ends at the terminator byte 0x0D,
// since Visual FoxPro keeps a 263-byte database link after it that would
// otherwise be read as more fields.
//
// dBase 7 tables (version bits 0–2 = 4) lay the header out differently: 36 more
// header bytes (language driver name and reserved), then 48-byte descriptors.
void TDBFRead::readDescriptors()
{
    const bool dbase7 = (GetVersion() & 0x07) == kVersionBitsDbase7;
    const int skipped = dbase7 ? kDbase7HeaderSize - kHeaderSize : 0;
    const int descriptorSize = dbase7 ? kDbase7DescriptorSize : RDescriptor::Size;
    int count = 0;
    if (dbase7)
        count = m_headerLength > kDbase7HeaderSize ? (m_headerLength - kDbase7HeaderSize) / descriptorSize : 0;
    else
        count = m_headerLength >= 2 * kHeaderSize ? m_headerLength / RDescriptor::Size - 1 : 0;
    QByteArray area(skipped + qsizetype(count) * descriptorSize, Qt::Uninitialized);
    const qint64 got = readFully(m_table, area.data(), area.size());
    if (got < 0)
        failOpen(106);
    area.truncate(got);
    m_tablePos = kHeaderSize + got;

    std::vector<TDescriptor> list;
    list.reserve(size_t(count));
    TByteReader reader(area);
    // Offsets are kept as the 16-bit sums the format stores; the record buffer
    // uses the true positions.
    uint16_t offset = 1;
    qsizetype start = 1;
    m_fieldStart.clear();
    try {
        reader.skip(skipped, "dBase 7 header");
        for (int i = 0; i < count; ++i) {
            if (!reader.atEnd() && uint8_t(area[reader.pos()]) == kDescriptorTerminator)
                break;
            TDescriptor descriptor = dbase7 ? TDescriptor::ReadDbase7(reader) : TDescriptor(RDescriptor::Read(reader));
            descriptor.SetOffset(offset);
            offset = uint16_t(offset + descriptor.Length());
            m_fieldStart.push_back(start);
            start += descriptor.Length();
            list.push_back(std::move(descriptor));
        }
    } catch (const EReadError &e) {
        qCWarning(lcDbf) << "field descriptors cut off:" << e.Message();
        m_fieldStart.clear();
        failOpen(106);
    }
    m_recordSize = start;
    if (m_recordLength != m_recordSize)
        qCInfo(lcDbf) << "header gives record length" << m_recordLength << "but the fields take" << m_recordSize
                      << "bytes; records are read by the fields";
    m_descriptors = std::move(list);
    refreshNames();
}

void TDBFRead::positionAtFirstRecord()
{
    if (m_headerLength == m_tablePos)
        return;
    if (!m_table->isSequential() && m_headerLength > m_table->size()) {
        // Nothing can be read; a record asked for reports the read error.
        m_pastEnd = true;
        return;
    }
    if (!m_table->seek(m_headerLength))
        failOpen(105);
    m_tablePos = m_headerLength;
}

void TDBFRead::openMemo(QIODevice *memo, TMemoType memoType)
{
    if (memo->isSequential() || !memo->isReadable()) {
        qCWarning(lcDbf) << "memo file is not a readable random-access file; memo fields read as empty";
        return;
    }
    m_memoSize = memo->size();
    if (!memo->seek(0))
        ErrorHandle(105);
    const QByteArray head = memo->read(memoType == mtDBT ? kDbtBlockSize : kFptBlockHeaderSize);
    TByteReader reader(head);
    if (memoType == mtDBT) {
        // The first block of a .dbt file is its header (next free block and, for
        // dBase IV, the block length); memos are always read in 512-byte blocks.
        reader.skip(kDbtBlockSize, "dbt memo file header");
    } else {
        // .fpt header: next free block (4 bytes), 2 unused bytes, block size; big-endian.
        reader.skip(4, "fpt next free block");
        reader.skip(2, "fpt header");
        const QByteArrayView size = reader.bytes(2, "fpt block size");
        m_fptBlockSize = uint16_t(uint8_t(size[0]) << 8 | uint8_t(size[1]));
    }
    m_memo = memo;
    m_memoType = memoType;
}

// The memo file shares the table's name. Version 0x83 (dBase III with memo)
// points to ".dbt", every other version to ".fpt"; when that file is missing
// and the other one exists the other one is used, which finds the ".dbt" files
// of dBase IV tables (0x8B, 0x8E).
void TDBFRead::openMemoBeside()
{
    struct Candidate
    {
        QString name;
        TMemoType type;
    };
    const Candidate dbt{ChangeFileExt(m_fileName, QStringLiteral(".dbt")), mtDBT};
    const Candidate fpt{ChangeFileExt(m_fileName, QStringLiteral(".fpt")), mtFPT};
    const bool dbtFirst = GetVersion() == kVersionDbtMemo;
    for (const Candidate &candidate : {dbtFirst ? dbt : fpt, dbtFirst ? fpt : dbt}) {
        const QString found = existingFile(candidate.name);
        if (found.isEmpty())
            continue;
        m_ownedMemo = std::make_unique<QFile>(found);
        if (!m_ownedMemo->open(QIODevice::ReadOnly))
            failOpen(104);
        openMemo(m_ownedMemo.get(), candidate.type);
        return;
    }
}

qint64 TDBFRead::GetRCount() const
{
    return m_header.isEmpty() ? 0 : qint64(m_recordCount);
}

uint8_t TDBFRead::GetVersion() const
{
    return m_header.isEmpty() ? 0 : uint8_t(m_header[0]);
}

uint8_t TDBFRead::GetLanguageDriver() const
{
    return m_header.isEmpty() ? 0 : uint8_t(m_header[29]);
}

int TDBFRead::GetFCount() const
{
    return m_descriptors ? int(m_descriptors->size()) : -1;
}

bool TDBFRead::GetEOF() const
{
    return GetRCount() < m_recNo;
}

// Reads the next record whole. A record cut off by the end of the file is an
// error: nothing of it is handed out, and the reader is left at its end.
bool TDBFRead::readRecord()
{
    m_readingRecord = m_recNo;
    m_recordHeld = false;
    // The buffer is kept from record to record; only its size is set.
    m_record.resize(m_recordSize);
    const qint64 got = m_pastEnd ? 0 : readFully(m_table, m_record.data(), m_recordSize);
    if (got != m_recordSize) {
        qCWarning(lcDbf) << "record" << m_readingRecord << "is cut off: expected" << m_recordSize << "bytes, found"
                         << std::max<qint64>(got, 0);
        m_pastEnd = true;
        m_recNo = GetRCount() + 1;
        ErrorHandle(106);
        return false;
    }
    m_deleted = m_record[0] == '*';
    m_recordHeld = true;
    ++m_recNo;
    return true;
}

QString TDBFRead::GetData(int index)
{
    if (!m_open || index < 0 || index >= GetFCount())
        return QString();
    if (index == 0) {
        m_recordHeld = false;
        if (GetEOF() || !readRecord())
            return QString();
    }
    if (!m_recordHeld)
        return QString();
    const TDescriptor &descriptor = (*m_descriptors)[size_t(index)];
    const QByteArrayView field(m_record.constData() + m_fieldStart[size_t(index)], descriptor.Length());
    if (descriptor.GetType() == 'M')
        return memoFromField(field);
    return decode(field);
}

QString TDBFRead::decode(QByteArrayView bytes) const
{
    if (m_byteTable.isEmpty())
        return m_codec->toUnicode(bytes.data(), int(bytes.size()));
    if (m_asciiKept) {
        // ASCII stands for itself: the bytes are taken as Latin-1 in one
        // pass, then the few characters beyond ASCII set from the table.
        QString text = QString::fromLatin1(bytes);
        qsizetype i = nextNonAscii(bytes, 0);
        if (i < bytes.size()) {
            QChar *out = text.data();
            for (; i < bytes.size(); i = nextNonAscii(bytes, i + 1))
                out[i] = m_byteTable[uint8_t(bytes[i])];
        }
        return text;
    }
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes)
        *out++ = m_byteTable[uint8_t(c)];
    return text;
}

// Decoding a field through the codec costs a converter set-up per call; a
// single-byte code page is decoded through a table of its 256 characters
// instead. Multi-byte code pages keep the codec.
void TDBFRead::buildByteTable()
{
    m_byteTable.clear();
    m_asciiKept = false;
    QString table;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString one = m_codec->toUnicode(&byte, 1);
        if (one.size() != 1)
            return;
        table += one;
    }
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    if (m_codec->toUnicode(all) != table)
        return;
    m_byteTable = table;
    m_asciiKept = true;
    for (int b = 0; b < 0x80; ++b)
        m_asciiKept = m_asciiKept && table[b].unicode() == b;
}

// A memo field holds the number of the memo's first block: as decimal text,
// or, in the 4-byte memo fields of Visual FoxPro, as a 32-bit binary number.
QString TDBFRead::memoFromField(QByteArrayView field)
{
    int64_t block = 0;
    if (field.size() == 4) {
        // Blanks, as some writers leave an empty binary memo field.
        if (field == QByteArrayView("    ", 4))
            return QString();
        block = littleEndian32(field);
    } else if (!plainBlockNumber(field, block) && !TryStrToInt64(Trim(QString::fromLatin1(field)), block)) {
        return QString();
    }
    if (block <= 0)
        return QString();
    return GetMemoData(block);
}

QString TDBFRead::GetMemoData(qint64 block)
{
    if (!m_memo)
        return QString();
    try {
        if (block < 0)
            throw Exception(QStringLiteral("negative memo block %1").arg(block));
        return m_memoType == mtDBT ? dbtMemo(block) : fptMemo(block);
    } catch (const Exception &e) {
        qCWarning(lcDbf) << "memo block" << block << "unreadable:" << e.Message();
        return m_memoType == mtDBT ? QStringLiteral("ERROR!!!") : QStringLiteral("Error!!!");
    }
}

QByteArrayView TDBFRead::readMemoBytes(qint64 offset, qint64 count)
{
    if (count > m_memoSize - offset)
        throw Exception(QStringLiteral("%1 memo bytes at offset %2 run past the end of the memo file (%3 bytes)")
                            .arg(count).arg(offset).arg(m_memoSize));
    const qint64 windowEnd = m_memoWindowStart + m_memoWindow.size();
    if (offset < m_memoWindowStart || count > windowEnd - offset) {
        // Emptied, not freed: the next window usually takes the same room.
        m_memoWindow.resize(0);
        if (!m_memo->seek(offset))
            throw Exception(QStringLiteral("cannot seek to memo offset %1").arg(offset));
        const qint64 size = std::min(std::max(count, kMemoWindow), m_memoSize - offset);
        m_memoWindow.resize(size);
        const qint64 got = readFully(m_memo, m_memoWindow.data(), size);
        if (got < count) {
            m_memoWindow.clear();
            throw Exception(QStringLiteral("memo file ends before offset %1").arg(offset + count));
        }
        m_memoWindow.truncate(got);
        m_memoWindowStart = offset;
    }
    return QByteArrayView(m_memoWindow).sliced(offset - m_memoWindowStart, count);
}

// .dbt memos live in 512-byte blocks. A dBase IV memo starts with FF FF 08 00
// and a 32-bit length that counts those 8 bytes; a dBase III memo runs up to
// the pair 0x1A 0x1A. In a dBase III block without the pair a single 0x1A ends
// the block's text and the memo goes on in the next block, unless that block
// starts with the 0x1A that completes the pair.
QString TDBFRead::dbtMemo(qint64 block)
{
    if (block > (m_memoSize - 1) / kDbtBlockSize)
        throw Exception(QStringLiteral("memo block %1 lies beyond the end of the memo file (%2 bytes)")
                            .arg(block).arg(m_memoSize));
    const qint64 start = block * kDbtBlockSize;
    QByteArray text;
    if (m_memoSize - start >= 8) {
        const QByteArrayView head = readMemoBytes(start, 8);
        if (head.startsWith(QByteArrayView("\xFF\xFF\x08\x00", 4))) {
            const qint64 length = qint64(littleEndian32(head.sliced(4))) - 8;
            if (length < 0)
                throw Exception(QStringLiteral("dBase IV memo length %1 is shorter than its header").arg(length + 8));
            if (length > kMaxMemoLength)
                throw Exception(QStringLiteral("memo length %1 exceeds the limit").arg(length));
            text = readMemoBytes(start + 8, length).toByteArray();
            replaceSoftBreaks(text);
            return decode(text);
        }
    }
    bool previousEndedWithEof = false;
    for (qint64 pos = start; pos < m_memoSize; pos += kDbtBlockSize) {
        const QByteArrayView chunk = readMemoBytes(pos, std::min(kDbtBlockSize, m_memoSize - pos));
        if (previousEndedWithEof && chunk.startsWith('\x1A'))
            break;
        qsizetype single = -1;
        qsizetype pair = -1;
        for (qsizetype at = chunk.indexOf('\x1A'); at >= 0; at = chunk.indexOf('\x1A', at + 1)) {
            if (single < 0)
                single = at;
            if (at + 1 < chunk.size() && chunk[at + 1] == '\x1A') {
                pair = at;
                break;
            }
        }
        if (pair >= 0) {
            // Most memos end in their first block: decoded where they lie
            // unless a soft break must be replaced first.
            if (text.isEmpty() && !chunk.first(pair).contains('\x8D'))
                return decode(chunk.first(pair));
            text += chunk.first(pair);
            break;
        }
        text += single >= 0 ? chunk.first(single) : chunk;
        if (text.size() > kMaxMemoLength)
            throw Exception(QStringLiteral("memo starting at block %1 exceeds the limit").arg(block));
        previousEndedWithEof = chunk.endsWith('\x1A');
    }
    replaceSoftBreaks(text);
    return decode(text);
}

// .fpt memos: block size from the file header; each memo starts with its record
// type and length, big-endian. Type 0 is a picture.
QString TDBFRead::fptMemo(qint64 block)
{
    if (m_fptBlockSize == 0)
        throw Exception(QStringLiteral("memo file gives a block size of 0"));
    if (block > (m_memoSize - kFptBlockHeaderSize) / m_fptBlockSize)
        throw Exception(QStringLiteral("memo block %1 lies beyond the end of the memo file (%2 bytes)")
                            .arg(block).arg(m_memoSize));
    const qint64 start = block * m_fptBlockSize;
    const QByteArrayView head = readMemoBytes(start, kFptBlockHeaderSize);
    if (bigEndian32(head) == 0)
        return QStringLiteral("(Picture)");
    const qint64 length = bigEndian32(head.sliced(4));
    if (length > kMaxMemoLength)
        throw Exception(QStringLiteral("memo length %1 exceeds the limit").arg(length));
    return decode(readMemoBytes(start + kFptBlockHeaderSize, length));
}

QString TDBFRead::GetFieldName(int index) const
{
    if (!m_open || index < 0 || index >= GetFCount())
        return QString();
    return m_names[index];
}

char TDBFRead::GetFieldType(int index) const
{
    if (!m_open || index < 0 || index >= GetFCount())
        return 0;
    return (*m_descriptors)[size_t(index)].GetType();
}

int TDBFRead::GetFieldLength(int index) const
{
    if (!m_open || index < 0 || index >= GetFCount())
        return 0;
    return (*m_descriptors)[size_t(index)].Length();
}

int TDBFRead::GetFieldDec(int index)
{
    if (!m_open)
        return -1;
    if (index < 0 || index >= GetFCount()) {
        ErrorHandle(111);
        return -1;
    }
    return (*m_descriptors)[size_t(index)].Decimals();
}

int TDBFRead::GetFieldDisp(int index)
{
    if (!m_open)
        return -1;
    if (index < 0 || index >= GetFCount()) {
        ErrorHandle(111);
        return -1;
    }
    return (*m_descriptors)[size_t(index)].Offset();
}

int TDBFRead::GetNumField(const QString &name) const
{
    const QString key = AnsiUpperCase(Trim(name));
    if (!m_open || key.isEmpty())
        return -1;
    const auto it = std::find(m_names.cbegin(), m_names.cend(), key);
    return it == m_names.cend() ? -1 : int(it - m_names.cbegin());
}

char TDBFRead::GetType(const QString &name) const
{
    const int index = GetNumField(name);
    return index < 0 ? 0 : GetFieldType(index);
}

int TDBFRead::GetLength(const QString &name) const
{
    const int index = GetNumField(name);
    return index < 0 ? 0 : GetFieldLength(index);
}

int TDBFRead::GetDecName(const QString &name) const
{
    const int index = GetNumField(name);
    return index < 0 ? 0 : (*m_descriptors)[size_t(index)].Decimals();
}

int TDBFRead::GetDisp(const QString &name) const
{
    const int index = GetNumField(name);
    return index < 0 ? 0 : (*m_descriptors)[size_t(index)].Offset();
}

void TDBFRead::SetCodePage(const QString &codePage)
{
    QTextCodec *codec = nullptr;
    if (SameText(codePage, QStringLiteral("auto"))) {
        const char *name = codePageOfLanguageDriver(GetLanguageDriver());
        codec = name ? QTextCodec::codecForName(name) : nullptr;
        if (!codec)
            codec = ansiCodec();
    } else {
        codec = QTextCodec::codecForName(codePage.toLatin1());
        if (!codec)
            throw Exception(QStringLiteral("Unknown code page %1").arg(codePage));
    }
    m_codePage = codePage;
    m_codec = codec;
    buildByteTable();
    refreshNames();
}

QString TDBFRead::EffectiveCodePage() const
{
    return QString::fromLatin1(m_codec->name());
}

void TDBFRead::refreshNames()
{
    m_names.clear();
    if (!m_descriptors)
        return;
    for (const TDescriptor &descriptor : *m_descriptors)
        m_names.append(nameFromBytes(descriptor.RawName(), m_codec));
}

QString DBFTypeToStr(char fieldType)
{
    switch (fieldType) {
    case 'C': return QStringLiteral("String");
    case 'D': return QStringLiteral("Date");
    case 'F': return QStringLiteral("Float");
    case 'L': return QStringLiteral("Boolean");
    case 'M': return QStringLiteral("Memo");
    case 'N': return QStringLiteral("Number");
    default: return QStringLiteral("Unknown");
    }
}

TDateTime DBFStrToDateTime(const QString &text)
{
    const auto part = [&text](qsizetype from, qsizetype length) { return StrToIntDef(text.mid(from, length), 0); };
    TDateTime date = 0;
    return TryEncodeDate(part(0, 4), part(4, 2), part(6, 2), date) ? date : 0;
}
