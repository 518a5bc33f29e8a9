// The destination operations of the import component: how a row is found,
// inserted, edited, deleted, filled, posted and cancelled per destination kind.
#include "ib_morvex2.h"

#include "tib_column.h"
#include "tib_row.h"
#include "tib_bdataset.h"
#include "tib_grid.h"
#include "messages.h"
#include "morvexdestination.h"
#include "morvexerror.h"
#include "strutils.h"

#include <QIODevice>
#include <QTableWidget>
#include <QTreeWidget>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Dataset states in which a row is pending.
bool isEditing(const TIB_Dataset *dataset)
{
    return dataset->State() == dssEdit || dataset->State() == dssInsert;
}

// Appends text to out as UTF-8, each `quote` doubled unless it is 0, and
// returns the new end: ASCII, by far the most common text, byte for byte,
// runs of other characters through the encoder.
char *AppendCSVText(char *out, QStringView text, char16_t quote, QStringEncoder &encoder)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    const auto isQuote = [quote](char16_t c) { return quote != 0 && c == quote; };
#if defined(__SSE2__)
    const __m128i notAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i quotes = _mm_set1_epi16(quote ? short(quote) : short(0xFFFF));
#endif
    while (p < end) {
#if defined(__SSE2__)
        // Eight characters at a time while they are plain ASCII; the bytes
        // of a block are stored whole and the end moved past the plain ones
        // only (the line's buffer has room for the rest).
        while (end - p >= 8) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(block, notAscii), _mm_setzero_si128());
            const unsigned plain = unsigned(_mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi16(block, quotes), ascii)));
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(block, block));
            const int taken = plain == 0xFFFF ? 8 : __builtin_ctz(~plain) >> 1;
            p += taken;
            out += taken;
            if (taken < 8)
                break;
        }
#endif
        while (p < end && *p < 0x80 && !isQuote(*p))
            *out++ = char(*p++);
        if (p == end)
            break;
        if (*p < 0x80) {
            *out++ = char(*p);
            *out++ = char(*p++);
            continue;
        }
        const char16_t *const run = p;
        while (p < end && *p >= 0x80 && !isQuote(*p))
            ++p;
        if (p > run)
            out = encoder.appendToBuffer(out, QStringView(run, p - run));
        if (p < end && isQuote(*p)) {
            out = encoder.appendToBuffer(out, QStringView(p, 1));
            out = encoder.appendToBuffer(out, QStringView(p++, 1));
        }
    }
    return out;
}

} // namespace

TIB_Dataset *TIB_Morvex2::DestinationDataset() const
{
    if (m_importDestination == mxdDataSet)
        return m_dataSet;
    if (m_importDestination == mxdDBGrid && m_dbGrid && m_dbGrid->DataSource())
        return m_dbGrid->DataSource()->Dataset();
    return nullptr;
}

TIB_Column *TIB_Morvex2::DestinationColumn(int ColumnIndex) const
{
    if (ColumnIndex < 0)
        return nullptr;
    if (m_importDestination == mxdDataSet && m_dataSet && ColumnIndex < m_dataSet->FieldCount())
        return m_dataSet->Fields()->Columns(ColumnIndex);
    if (m_importDestination == mxdDBGrid && m_dbGrid && ColumnIndex < m_dbGrid->GridFieldCount())
        return m_dbGrid->GridFields(ColumnIndex);
    return nullptr;
}

void TIB_Morvex2::CheckDestination()
{
    MorvexCheckDestination(m_csvMode, m_importDestination, m_dataSet, m_stringGrid, m_listView, m_dbGrid);
}

int TIB_Morvex2::DestinationColCount()
{
    return MorvexDestinationColCount(m_csvMode, m_importDestination, m_dataSet, m_stringGrid, m_listView, m_dbGrid);
}

QString TIB_Morvex2::DestinationColName(int Index)
{
    return MorvexDestinationColName(m_csvMode, m_importDestination, m_dataSet, m_stringGrid, m_listView,
                                    m_dbGrid, Index, m_gridCaptionRow);
}

int TIB_Morvex2::DestinationFindColumn(const QString &Name)
{
    return MorvexDestinationFindColumn(m_csvMode, m_importDestination, m_dataSet, m_stringGrid, m_listView,
                                       m_dbGrid, Name, m_gridCaptionRow);
}

void TIB_Morvex2::DestinationInsert()
{
    if (m_csvMode)
        return;
    switch (m_importDestination) {
    case mxdDataSet:
    case mxdDBGrid:
        if (TIB_Dataset *dataset = DestinationDataset()) {
            if (m_addType == matAppend)
                dataset->Append();
            else
                dataset->Insert();
        }
        break;
    case mxdListView:
        if (m_listView) {
            // One sub-item for every further column of the list view, so a
            // map may feed any of its columns.
            m_currentItem = new QTreeWidgetItem(m_listView);
            const int columns = qMax(m_listView->columnCount(), m_importRow.Count());
            for (int i = 1; i < columns; ++i)
                m_currentItem->setText(i, QString());
        }
        break;
    case mxdStringGrid:
        if (m_stringGrid) {
            // Without a start row the first row overwrites the grid's last
            // row; an empty grid gets its first row instead, so no row is lost.
            if (m_currentGridRow == -1)
                m_currentGridRow = qMax(m_stringGrid->rowCount() - 1, 0);
            if (m_currentGridRow == m_stringGrid->rowCount())
                m_stringGrid->setRowCount(m_stringGrid->rowCount() + 1);
        }
        break;
    case mxdUserDefined:
        break;
    }
    m_lastAction = mxaInsert;
}

void TIB_Morvex2::DestinationEdit()
{
    if (m_csvMode)
        return;
    if (TIB_Dataset *dataset = DestinationDataset())
        dataset->Edit();
    m_lastAction = mxaUpdate;
}

void TIB_Morvex2::DestinationDelete()
{
    if (m_csvMode)
        return;
    switch (m_importDestination) {
    case mxdDataSet:
    case mxdDBGrid:
        if (TIB_Dataset *dataset = DestinationDataset())
            dataset->Delete();
        break;
    case mxdListView:
        if (m_currentItem) {
            delete m_currentItem;
            m_currentItem = nullptr;
        }
        break;
    case mxdStringGrid:
        if (m_stringGrid && m_currentGridRow >= 0 && m_currentGridRow < m_stringGrid->rowCount())
            m_stringGrid->removeRow(m_currentGridRow);
        break;
    case mxdUserDefined:
        break;
    }
    m_lastAction = mxaDelete;
}

void TIB_Morvex2::DestinationSetValues()
{
    if (m_csvMode) {
        WriteCSVRow();
        return;
    }
    switch (m_importDestination) {
    case mxdDataSet:
    case mxdDBGrid: {
        // Every column is tried; a text that no column could take then fails
        // the row, so it is cancelled and logged instead of being posted
        // with the value missing. An empty text means "no value".
        QString failedText;
        QString failedColumn;
        for (int i = 0; i < m_importRow.Count(); ++i) {
            const TMorvexCol *col = m_importRow.Items(i);
            TIB_Column *column = DestinationColumn(col->ColumnIndex);
            if (!StringToField(column, col->Value, col->Verbatim) && failedColumn.isEmpty()
                && !Trim(col->Value).isEmpty()) {
                failedText = col->Value;
                failedColumn = column ? column->FieldName() : col->Name;
            }
        }
        if (!failedColumn.isEmpty())
            throw EMorvexError(MorvexFormat(MXE_ConvertError, {failedText, failedColumn}));
        break;
    }
    case mxdListView:
        if (m_currentItem) {
            for (int i = 0; i < m_importRow.Count(); ++i) {
                const TMorvexCol *col = m_importRow.Items(i);
                if (col->ColumnIndex == 0) {
                    m_currentItem->setText(0, col->Value);
                } else if (col->ColumnIndex > 0) {
                    // A sub-item past those the new item received is an
                    // index error of the row, as the sub-item list reports it.
                    if (col->ColumnIndex >= m_currentItem->columnCount())
                        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(col->ColumnIndex - 1));
                    m_currentItem->setText(col->ColumnIndex, col->Value);
                }
            }
        }
        break;
    case mxdStringGrid:
        if (m_stringGrid && m_currentGridRow >= 0) {
            for (int i = 0; i < m_importRow.Count(); ++i) {
                const TMorvexCol *col = m_importRow.Items(i);
                if (col->ColumnIndex < 0)
                    continue;
                QTableWidgetItem *item = m_stringGrid->item(m_currentGridRow, col->ColumnIndex);
                if (item)
                    item->setText(col->Value);
                else
                    m_stringGrid->setItem(m_currentGridRow, col->ColumnIndex, new QTableWidgetItem(col->Value));
            }
        }
        break;
    case mxdUserDefined:
        break;
    }
}

void TIB_Morvex2::WriteCSVRow()
{
    // The line is encoded straight into the block of lines not yet written,
    // grown beforehand to the most the line can take: every character as
    // three bytes, every quote doubled.
    qsizetype most = 2;
    for (int i = 0; i < m_importRow.Count(); ++i)
        most += 3 * (2 * m_importRow.Items(i)->Value.size() + 3);
    if (m_csvBytes.size() < m_csvUsed + size_t(most))
        m_csvBytes.resize(m_csvUsed + size_t(most));
    char *out = m_csvBytes.data() + m_csvUsed;
    const char16_t quote = m_csvQuote.isNull() ? 0 : m_csvQuote.unicode();
    // The quote and the separator, ASCII as good as always, byte for byte.
    const auto appendMark = [this](char *to, QChar mark) {
        if (mark.unicode() < 0x80) {
            *to++ = char(mark.unicode());
            return to;
        }
        return AppendCSVText(to, QStringView(&mark, 1), 0, m_csvEncoder);
    };
    const int count = m_importRow.Count();
    for (int i = 0; i < count; ++i) {
        if (quote)
            out = appendMark(out, m_csvQuote);
        out = AppendCSVText(out, m_importRow.Items(i)->Value, quote, m_csvEncoder);
        if (quote)
            out = appendMark(out, m_csvQuote);
        if (i + 1 < count)
            out = appendMark(out, m_csvComma);
    }
    *out++ = '\r';
    *out++ = '\n';
    m_csvUsed = size_t(out - m_csvBytes.data());
}

void TIB_Morvex2::FlushCSV()
{
    const qint64 size = qint64(std::exchange(m_csvUsed, 0));
    if (size > 0 && m_csvStream->write(m_csvBytes.data(), size) != size)
        throw Exception(QStringLiteral("Cannot write the CSV line: %1").arg(m_csvStream->errorString()));
}

void TIB_Morvex2::DestinationPost()
{
    if (m_csvMode)
        return;
    switch (m_importDestination) {
    case mxdDataSet:
    case mxdDBGrid:
        if (TIB_Dataset *dataset = DestinationDataset(); dataset && isEditing(dataset))
            dataset->Post();
        break;
    case mxdStringGrid:
        ++m_currentGridRow;
        break;
    default:
        break;
    }
}

void TIB_Morvex2::DestinationCancel()
{
    if (m_csvMode)
        return;
    if (TIB_Dataset *dataset = DestinationDataset(); dataset && isEditing(dataset))
        dataset->Cancel();
}

bool TIB_Morvex2::DestinationFindByKey()
{
    if (m_csvMode)
        return false;
    switch (m_importDestination) {
    case mxdDataSet:
    case mxdDBGrid: {
        TIB_Dataset *dataset = DestinationDataset();
        auto *located = dynamic_cast<TIB_BDataset *>(dataset);
        if (!located || m_keyColumns.Count() == 0)
            return false;
        QString fields;
        QStringList values;
        for (int i = 0; i < m_keyColumns.Count(); ++i) {
            QString value;
            if (const TMorvexCol *col = m_importRow.ColByName(m_keyColumns[i])) {
                if (m_importDestination == mxdDataSet) {
                    fields += col->Name;
                } else if (TIB_Column *column = DestinationColumn(col->ColumnIndex)) {
                    fields += column->FieldName();
                }
                value = col->Value;
            }
            values.append(value);
            if (i + 1 < m_keyColumns.Count())
                fields += u';';
        }
        const QVariant keyValues = values.size() == 1 ? QVariant(values.first()) : QVariant(values);
        return located->Locate(fields, keyValues, TIB_LocateOptions(lopCaseInsensitive));
    }
    case mxdListView: {
        if (!m_listView)
            return false;
        for (int i = 0; i < m_listView->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = m_listView->topLevelItem(i);
            bool match = true;
            for (int k = 0; k < m_keyColumns.Count() && match; ++k) {
                const TMorvexCol *col = m_importRow.ColByName(m_keyColumns[k]);
                if (!col)
                    return false;
                match = col->ColumnIndex >= 0 && AnsiSameText(col->Value, item->text(col->ColumnIndex));
            }
            if (match) {
                m_currentItem = item;
                return true;
            }
        }
        return false;
    }
    case mxdStringGrid: {
        if (!m_stringGrid)
            return false;
        for (int row = 0; row < m_stringGrid->rowCount(); ++row) {
            if (row == m_gridCaptionRow)
                continue;
            bool match = true;
            for (int k = 0; k < m_keyColumns.Count() && match; ++k) {
                const TMorvexCol *col = m_importRow.ColByName(m_keyColumns[k]);
                if (!col)
                    return false;
                const QTableWidgetItem *item = m_stringGrid->item(row, col->ColumnIndex);
                match = AnsiSameText(col->Value, item ? item->text() : QString());
            }
            if (match) {
                m_currentGridRow = row;
                return true;
            }
        }
        return false;
    }
    case mxdUserDefined:
        return false;
    }
    return false;
}

void TIB_Morvex2::DestinationDisableControls()
{
    if (m_csvMode)
        return;
    if (TIB_Dataset *dataset = DestinationDataset())
        dataset->DisableControls();
    else if (m_importDestination == mxdListView && m_listView)
        m_listView->setUpdatesEnabled(false);
}

void TIB_Morvex2::DestinationEnableControls()
{
    if (m_csvMode)
        return;
    if (TIB_Dataset *dataset = DestinationDataset())
        dataset->EnableControls();
    else if (m_importDestination == mxdListView && m_listView)
        m_listView->setUpdatesEnabled(true);
}
