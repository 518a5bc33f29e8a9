#include "tib_grid.h"

#include "gridmodel_p.h"
#include "tib_connection.h"
#include "tib_datasource.h"
#include "tib_transaction.h"

#include <QHeaderView>

using namespace ibo;

namespace {

// Rows read per batch: a screenful or two.
constexpr int FetchBatch = 64;
// Text blobs are shown cut to this many characters.
constexpr qsizetype ShownTextLength = 1000;

} // namespace

TIB_GridModel::~TIB_GridModel()
{
    CloseCursor();
    FreeStatement();
}

void TIB_GridModel::SetDataset(TIB_Dataset *dataset)
{
    if (dataset != m_dataset)
        FreeStatement();
    m_dataset = dataset;
    Reset();
}

void TIB_GridModel::Reset()
{
    beginResetModel();
    CloseCursor();
    m_rows.clear();
    m_atEnd = false;
    endResetModel();
}

void TIB_GridModel::CloseCursor()
{
    m_cursor.TerminateQuietly("close grid cursor", [](Firebird::IResultSet *r, QuietStatus *st) { r->close(st); });
    if (m_cursorTransaction)
        disconnect(m_cursorTransaction, nullptr, this, nullptr);
    m_cursorTransaction = nullptr;
}

void TIB_GridModel::FreeStatement()
{
    CloseCursor();
    m_row.reset();
    m_statement.TerminateQuietly("free grid statement", [](Firebird::IStatement *s, QuietStatus *st) { s->free(st); });
    if (m_statementConnection)
        disconnect(m_statementConnection, nullptr, this, nullptr);
    m_statementConnection = nullptr;
    m_statementSql.clear();
}

void TIB_GridModel::OpenCursor()
{
    TIB_DatasetPrivate *d = m_dataset->d.get();
    TIB_Connection *connection = d->Connection();
    TIB_Transaction *transaction = d->Transaction();
    ThrowStatus st;
    if (!m_statement || m_statementSql != d->browseSql || m_statementConnection != connection) {
        FreeStatement();
        m_statement.reset(d->RowAttachment()->prepare(&st, transaction->Handle(), 0, d->browseSql.toUtf8().constData(), 3,
                                                      Firebird::IStatement::PREPARE_PREFETCH_METADATA));
        m_statementSql = d->browseSql;
        m_statementConnection = connection;
        connect(connection, &TIB_Connection::AboutToDisconnect, this, [this] {
            FreeStatement();
            Reset();
        });
        m_row = std::make_unique<TIB_Row>(&m_context, d->fields->Metadata(), d->fields->ColumnCount());
    }
    m_context = FreeRowContext(connection, transaction);
    m_cursor.reset(m_statement->openCursor(&st, transaction->Handle(), nullptr, nullptr, m_row->Metadata(), 0));
    m_cursorTransaction = transaction;
    // The cursor ends with its transaction; the rows read so far stay shown.
    connect(transaction, &TIB_Transaction::AboutToEnd, this, [this] {
        CloseCursor();
        m_atEnd = true;
    });
}

int TIB_GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TIB_GridModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_dataset || !m_dataset->Active())
        return 0;
    return m_dataset->FieldCount();
}

QVariant TIB_GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const auto &row = m_rows[size_t(index.row())];
    return size_t(index.column()) < row.size() ? row[size_t(index.column())] : QVariant();
}

QVariant TIB_GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (!m_dataset || section >= m_dataset->FieldCount())
        return {};
    return m_dataset->Fields()->Columns(section)->DisplayLabel();
}

bool TIB_GridModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_dataset && m_dataset->Active() && !m_atEnd;
}

void TIB_GridModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // Called from the view's layout code: failures end the reading and are
    // logged, never thrown into the event loop.
    try {
        if (!m_cursor)
            OpenCursor();
        std::vector<std::vector<QVariant>> batch;
        ThrowStatus st;
        while (int(batch.size()) < FetchBatch) {
            if (m_cursor->fetchNext(&st, m_row->Buffer()) != Firebird::IStatus::RESULT_OK) {
                m_atEnd = true;
                CloseCursor();
                break;
            }
            std::vector<QVariant> values;
            for (int c = 0; c < m_row->ColumnCount(); ++c) {
                const TIB_Column *column = m_row->Columns(c);
                if (column->IsNull())
                    values.emplace_back();
                else if (column->Kind() == TIB_ColumnKind::Blob)
                    values.emplace_back(QStringLiteral("(BLOB)"));
                else if (column->IsTextBlob())
                    values.emplace_back(column->AsString().left(ShownTextLength));
                else
                    values.push_back(column->AsVariant());
            }
            batch.push_back(std::move(values));
        }
        if (!batch.empty()) {
            beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + batch.size()) - 1);
            for (auto &values : batch)
                m_rows.push_back(std::move(values));
            endInsertRows();
        }
    } catch (const Exception &e) {
        qCWarning(lcIbo) << "grid could not read rows:" << e.Message();
        m_atEnd = true;
        CloseCursor();
    }
}

TIB_Grid::TIB_Grid(QWidget *parent) : QTableView(parent), m_model(new TIB_GridModel(this))
{
    setModel(m_model);
}

TIB_Grid::~TIB_Grid() = default;

void TIB_Grid::SetDataSource(TIB_DataSource *dataSource)
{
    if (dataSource == m_dataSource)
        return;
    if (m_dataSource)
        disconnect(m_dataSource, nullptr, this, nullptr);
    m_dataSource = dataSource;
    if (m_dataSource) {
        connect(m_dataSource, &TIB_DataSource::DataChange, this, &TIB_Grid::DatasetChanged);
        connect(m_dataSource, &QObject::destroyed, this, &TIB_Grid::DatasetChanged);
    }
    DatasetChanged();
}

void TIB_Grid::DatasetChanged()
{
    TIB_Dataset *dataset = m_dataSource ? m_dataSource->Dataset() : nullptr;
    if (dataset != m_model->Dataset())
        m_model->SetDataset(dataset);
    else
        m_model->Reset();
}

int TIB_Grid::GridFieldCount() const
{
    return m_model->columnCount();
}

TIB_Column *TIB_Grid::GridFields(int Index) const
{
    if (Index < 0 || Index >= GridFieldCount())
        return nullptr;
    return m_model->Dataset()->Fields()->Columns(horizontalHeader()->logicalIndex(Index));
}
