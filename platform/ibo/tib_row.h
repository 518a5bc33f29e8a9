#pragma once

#include "tib_column.h"

#include <QString>

#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IMessageMetadata;
}

// What a row needs from its owner: where blobs are read and written, and the
// check that runs before any column of the row is changed.
class TIB_RowContext
{
public:
    virtual Firebird::IAttachment *RowAttachment() = 0;
    virtual Firebird::ITransaction *RowTransaction() = 0;
    virtual void BeforeColumnWrite(const TIB_Column &column) = 0;

protected:
    ~TIB_RowContext() = default;
};

// The columns of one row, in field order, over one Firebird message buffer.
// A dataset's row may carry hidden key columns after the visible ones.
class TIB_Row
{
public:
    TIB_Row(TIB_RowContext *context, Firebird::IMessageMetadata *metadata, int visibleCount);
    ~TIB_Row();
    TIB_Row(const TIB_Row &) = delete;
    TIB_Row &operator=(const TIB_Row &) = delete;

    int ColumnCount() const { return m_visibleCount; }
    TIB_Column *Columns(int index) const;
    // Case-insensitive; null when the row has no such column.
    TIB_Column *FindColumn(const QString &name) const;
    // Raises EIB_Error naming the column when it does not exist.
    TIB_Column *ByName(const QString &name) const;

    // Layer internals: the message and every column, hidden ones included.
    int AllColumnCount() const { return int(m_columns.size()); }
    TIB_Column *Column(int index) const { return m_columns[size_t(index)].get(); }
    Firebird::IMessageMetadata *Metadata() const { return m_metadata; }
    unsigned char *Buffer() { return m_buffer.data(); }
    const std::vector<unsigned char> &BufferBytes() const { return m_buffer; }
    TIB_RowContext *Context() const { return m_context; }

    // Every column null, no pending blob, nothing modified.
    void ClearValues();
    // Marks the row as stored: nothing modified, pending blob contents written.
    void ClearModified();
    void MarkReadOnly(int index, bool computed);
    void RestoreBuffer(const std::vector<unsigned char> &bytes);
    // Creates the blobs of columns whose content was set since the last load
    // and stores their ids; the contents stay pending until ClearModified, so
    // that a failed statement can be run again with new blobs.
    void FlushBlobs();

private:
    TIB_RowContext *m_context;
    Firebird::IMessageMetadata *m_metadata;
    int m_visibleCount;
    std::vector<unsigned char> m_buffer;
    std::vector<std::unique_ptr<TIB_Column>> m_columns;
};
