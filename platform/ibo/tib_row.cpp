#include "tib_row.h"

#include "fbapi_p.h"

#include <cstring>

using namespace ibo;

namespace {

// Segments are written in pieces of at most 32 KB: a segment length is 16 bits.
constexpr qsizetype BlobSegmentSize = 32 * 1024;

} // namespace

TIB_Row::TIB_Row(TIB_RowContext *context, Firebird::IMessageMetadata *metadata, int visibleCount)
    : m_context(context), m_metadata(metadata), m_visibleCount(visibleCount)
{
    m_metadata->addRef();
    ThrowStatus st;
    m_buffer.assign(m_metadata->getMessageLength(&st), 0);
    const unsigned count = m_metadata->getCount(&st);
    for (unsigned i = 0; i < count; ++i) {
        TIB_Column::Layout layout;
        layout.type = m_metadata->getType(&st, i);
        layout.subType = m_metadata->getSubType(&st, i);
        layout.scale = m_metadata->getScale(&st, i);
        layout.length = m_metadata->getLength(&st, i);
        layout.charSet = m_metadata->getCharSet(&st, i);
        layout.offset = m_metadata->getOffset(&st, i);
        layout.nullOffset = m_metadata->getNullOffset(&st, i);
        layout.nullable = m_metadata->isNullable(&st, i);
        const QString alias = QString::fromUtf8(m_metadata->getAlias(&st, i));
        const QString field = QString::fromUtf8(m_metadata->getField(&st, i));
        const QString relation = QString::fromUtf8(m_metadata->getRelation(&st, i));
        m_columns.push_back(std::unique_ptr<TIB_Column>(
            new TIB_Column(this, int(i), layout, alias.isEmpty() ? field : alias, relation, field)));
    }
    ClearValues();
}

TIB_Row::~TIB_Row()
{
    m_metadata->release();
}

TIB_Column *TIB_Row::Columns(int index) const
{
    if (index < 0 || index >= m_visibleCount)
        throw EIB_Error(QStringLiteral("Column index %1 out of range (0..%2)").arg(index).arg(m_visibleCount - 1));
    return m_columns[size_t(index)].get();
}

TIB_Column *TIB_Row::FindColumn(const QString &name) const
{
    for (int i = 0; i < m_visibleCount; ++i) {
        TIB_Column *column = m_columns[size_t(i)].get();
        if (column->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return column;
    }
    return nullptr;
}

TIB_Column *TIB_Row::ByName(const QString &name) const
{
    if (TIB_Column *column = FindColumn(name))
        return column;
    throw EIB_Error(QStringLiteral("Column %1 not found").arg(name));
}

void TIB_Row::ClearValues()
{
    std::memset(m_buffer.data(), 0, m_buffer.size());
    for (auto &column : m_columns) {
        column->SetNullFlag(true);
        column->m_pendingBlob.reset();
        column->m_modified = false;
    }
}

void TIB_Row::ClearModified()
{
    for (auto &column : m_columns) {
        column->m_modified = false;
        column->m_pendingBlob.reset();
    }
}

void TIB_Row::MarkReadOnly(int index, bool computed)
{
    TIB_Column *column = m_columns[size_t(index)].get();
    column->m_readOnly = true;
    column->m_computed = computed;
}

void TIB_Row::RestoreBuffer(const std::vector<unsigned char> &bytes)
{
    Q_ASSERT(bytes.size() == m_buffer.size());
    m_buffer = bytes;
    for (auto &column : m_columns) {
        column->m_pendingBlob.reset();
        column->m_modified = false;
    }
}

void TIB_Row::FlushBlobs()
{
    for (auto &column : m_columns) {
        if (!column->m_pendingBlob)
            continue;
        const QByteArray &content = *column->m_pendingBlob;
        ThrowStatus st;
        ISC_QUAD id{};
        Handle<Firebird::IBlob> blob(m_context->RowAttachment()->createBlob(&st, m_context->RowTransaction(), &id, 0, nullptr));
        for (qsizetype pos = 0; pos < content.size(); pos += BlobSegmentSize) {
            const qsizetype n = std::min(BlobSegmentSize, content.size() - pos);
            blob->putSegment(&st, unsigned(n), content.constData() + pos);
        }
        blob.Terminate([&](Firebird::IBlob *b) { b->close(&st); });
        std::memcpy(column->Data(), &id, sizeof id);
        column->SetNullFlag(false);
    }
}
