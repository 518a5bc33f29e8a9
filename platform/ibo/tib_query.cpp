#include "tib_query.h"

void TIB_Query::SetSQL(const QString &value)
{
    if (value == m_sql)
        return;
    SQLChanged();
    m_sql = value;
}
