#pragma once

#include "exception.h"
#include "sysutils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QFile;
class QIODevice;
class QTextCodec;
class TByteReader;

// Raised by TDBFRead::ErrorHandle. The message is the reader's fixed text for
// the code; the record number is the record being read, 0 while opening.
class EDBFError : public Exception
{
public:
    EDBFError(int code, qint64 recordNumber);

    int Code;
    qint64 RecordNumber;
};

enum TMemoType { mtNone, mtDBT, mtFPT };

// One field descriptor of the table file, as stored (32 bytes).
struct RDescriptor
{
    char Name[11] = {};
    char FieldType = 0;
    uint32_t Address = 0;
    uint8_t Length = 0;
    uint8_t Decimals = 0;
    uint8_t Reserved[13] = {};
    uint8_t IndexFlag = 0;

    static constexpr int Size = 32;
    // Takes the next 32 bytes of the reader; raises EReadError when fewer remain.
    static RDescriptor Read(TByteReader &reader);
};

// The data of one field taken from its descriptor.
class TDescriptor
{
public:
    explicit TDescriptor(const RDescriptor &descriptor);
    // A dBase 7 descriptor (48 bytes: a 32-byte name, type, length, decimals,
    // and flags); its name is kept whole.
    static TDescriptor ReadDbase7(TByteReader &reader);

    // Copies the field's data back out; byte 10 of the name is always 0.
    void GetData(RDescriptor &descriptor) const;
    // The name up to its first zero byte, trimmed and upper-cased, decoded
    // with the process-wide ANSI code page.
    QString GetName() const;
    char GetType() const { return m_type; }

    // The stored name bytes up to the first zero byte: at most 10, or 31 for dBase 7.
    const QByteArray &RawName() const { return m_name; }
    // Position of the field in the record; byte 0 is the deletion flag.
    int32_t Offset() const { return m_offset; }
    void SetOffset(int32_t offset) { m_offset = offset; }
    uint8_t Length() const { return m_length; }
    uint8_t Decimals() const { return m_decimals; }
    uint8_t IndexFlag() const { return m_indexFlag; }

private:
    TDescriptor() = default;

    QByteArray m_name;
    char m_type = 0;
    int32_t m_offset = 0;
    uint8_t m_length = 0;
    uint8_t m_decimals = 0;
    uint8_t m_indexFlag = 0;
};

// Forward-only reader of a dBase table and its memo file. It holds one record
// in memory; a second pass needs a new reader.
//
// Calling order: while !GetEOF(), GetData(i) for i = 0 .. GetFCount() - 1;
// GetData(0) reads the next record. A table without field descriptors never
// reaches its end, so callers read records only when GetFCount() > 0.
class TDBFRead
{
public:
    // Opens FileName with its extension made ".DBF", and the ".dbt" or ".fpt"
    // memo file beside it when there is one. An empty table file gives a
    // closed reader with error code 100; other failures raise EDBFError.
    explicit TDBFRead(const QString &fileName);
    // Reads an open table device and, when memo is given, the memo file of the
    // given type; the devices stay the caller's. Failures as above.
    TDBFRead(QIODevice *table, QIODevice *memo, TMemoType memoType);
    virtual ~TDBFRead();

    TDBFRead(const TDBFRead &) = delete;
    TDBFRead &operator=(const TDBFRead &) = delete;

    // Raises EDBFError for the code. Errors while opening are raised by this
    // class's own handler, since a descendant does not exist yet.
    virtual void ErrorHandle(int code);
    static QString ErrorText(int code);

    QString FileName() const { return m_fileName; }
    bool IsOpen() const { return m_open; }
    int ErrorCode() const { return m_errorCode; }

    qint64 GetRCount() const;
    uint8_t GetVersion() const;
    uint8_t GetLanguageDriver() const;
    int GetFCount() const;
    bool GetEOF() const;
    // 1-based number of the next record to be read.
    qint64 GetRecNo() const { return m_recNo; }
    // True when the record being read carries the deletion mark '*'.
    bool GetDeleted() const { return m_deleted; }
    TMemoType MemoType() const { return m_memoType; }

    QString GetData(int index);
    QString GetMemoData(qint64 block);

    QString GetFieldName(int index) const;
    char GetFieldType(int index) const;
    int GetFieldLength(int index) const;
    int GetFieldDec(int index);
    int GetFieldDisp(int index);
    int GetNumField(const QString &name) const;
    char GetType(const QString &name) const;
    int GetLength(const QString &name) const;
    int GetDecName(const QString &name) const;
    int GetDisp(const QString &name) const;

    // The code page of the table's text: a code page name, or "auto" for the
    // one the header's language-driver byte names (the ANSI code page when it
    // names none). The default is the process-wide ANSI code page. An unknown
    // name raises Exception and keeps the current one.
    QString CodePage() const { return m_codePage; }
    void SetCodePage(const QString &codePage);
    // The code page text is actually decoded with.
    QString EffectiveCodePage() const;

private:
    [[noreturn]] void failOpen(int code);
    void open(QIODevice *table);
    bool readHeader();
    void readDescriptors();
    void positionAtFirstRecord();
    void openMemo(QIODevice *memo, TMemoType memoType);
    void openMemoBeside();
    bool readRecord();
    QString decode(QByteArrayView bytes) const;
    QString memoFromField(QByteArrayView field);
    QString dbtMemo(qint64 block);
    QString fptMemo(qint64 block);
    // The count bytes at offset, valid until the next call.
    QByteArrayView readMemoBytes(qint64 offset, qint64 count);
    void refreshNames();
    void buildByteTable();

    QString m_fileName;
    std::unique_ptr<QFile> m_ownedTable;
    std::unique_ptr<QFile> m_ownedMemo;
    QIODevice *m_table = nullptr;
    QIODevice *m_memo = nullptr;

    bool m_open = false;
    int m_errorCode = 0;
    QByteArray m_header;
    uint32_t m_recordCount = 0;
    uint16_t m_headerLength = 0;
    uint16_t m_recordLength = 0;
    // No list before the header and descriptors were read.
    std::optional<std::vector<TDescriptor>> m_descriptors;
    QStringList m_names;
    // Start of each field in the record buffer, and the record's size.
    std::vector<qsizetype> m_fieldStart;
    qsizetype m_recordSize = 1;
    qint64 m_tablePos = 0;
    bool m_pastEnd = false;
    QByteArray m_record;
    // False before the first record and after a record that could not be read.
    bool m_recordHeld = false;
    // A closed reader is at its end: its record count 0 is below 1.
    qint64 m_recNo = 1;
    qint64 m_readingRecord = 0;
    bool m_deleted = false;

    TMemoType m_memoType = mtNone;
    qint64 m_memoSize = 0;
    uint16_t m_fptBlockSize = 0;
    // The part of the memo file read last, and where it starts.
    QByteArray m_memoWindow;
    qint64 m_memoWindowStart = 0;

    QString m_codePage;
    QTextCodec *m_codec = nullptr;
    // The 256 characters of a single-byte code page; empty for multi-byte ones.
    QString m_byteTable;
    // The table maps every ASCII byte to itself, so ASCII text is Latin-1.
    bool m_asciiKept = false;
};

// Display name of a field type letter: "String", "Date", "Float", "Boolean",
// "Memo", "Number", else "Unknown".
QString DBFTypeToStr(char fieldType);

// A DBF date text YYYYMMDD as a date; 0 (30 December 1899) when the text
// holds no valid date.
TDateTime DBFStrToDateTime(const QString &text);
