#include "tsqlquerydataset.h"

#include "codepages.h"
#include "conversions.h"
#include "exception.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace {

// Days between 30 December 1899 (TDateTime 0) and a date.
TDateTime dateOf(QDate date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

TDateTime timeOf(QTime time)
{
    return time.msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

// One column of the query's current record.
class TSqlQueryField final : public TField
{
public:
    TSqlQueryField(const QSqlQuery &query, int index, const QString &name)
        : m_query(query), m_index(index), m_name(name)
    {
    }

    QString FieldName() const override { return m_name; }

    QString Text() const override
    {
        if (!m_query.isValid())
            return {};
        const QVariant value = m_query.value(m_index);
        if (value.isNull())
            return {};
        switch (value.metaType().id()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Double:
        case QMetaType::Float:
            return FloatToStr(value.toDouble());
        case QMetaType::QDate:
            return DateToStr(dateOf(value.toDate()));
        case QMetaType::QTime:
            return TimeToStr(timeOf(value.toTime()));
        case QMetaType::QDateTime: {
            const QDateTime moment = value.toDateTime();
            return DateTimeToStr(dateOf(moment.date()) + timeOf(moment.time()));
        }
        case QMetaType::QByteArray:
            return DecodeTextLine(value.toByteArray());
        default:
            return value.toString();
        }
    }

    // Drivers give binary columns as byte arrays; no driver tells a memo
    // from other text.
    bool IsBlob() const override
    {
        return m_query.record().field(m_index).metaType().id() == QMetaType::QByteArray;
    }

private:
    const QSqlQuery &m_query;
    int m_index;
    QString m_name;
};

TSqlQueryDataSet::TSqlQueryDataSet(QSqlQuery query, QObject *parent) : TDataSet(parent), m_query(std::move(query))
{
    RebuildFields();
    // An executed query stands on its first record, as an open dataset does.
    if (m_query.isActive() && m_query.at() == QSql::BeforeFirstRow)
        m_query.next();
}

TSqlQueryDataSet::~TSqlQueryDataSet() = default;

void TSqlQueryDataSet::EnableControls()
{
    if (m_disableCount > 0)
        --m_disableCount;
}

void TSqlQueryDataSet::First()
{
    if (m_query.isActive() && !m_query.isForwardOnly()) {
        m_query.first();
        return;
    }
    if (m_query.isActive() && m_query.at() == 0)
        return;
    if (!m_query.exec())
        throw Exception(m_query.lastError().text());
    RebuildFields();
    m_query.next();
}

void TSqlQueryDataSet::Next()
{
    if (m_query.isValid())
        m_query.next();
}

bool TSqlQueryDataSet::Eof() const
{
    return !m_query.isValid();
}

TField *TSqlQueryDataSet::FindField(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

void TSqlQueryDataSet::RebuildFields()
{
    m_fields.clear();
    const QSqlRecord record = m_query.record();
    for (int i = 0; i < record.count(); ++i)
        m_fields.push_back(std::make_unique<TSqlQueryField>(m_query, i, record.fieldName(i)));
}
