#include "morvexfieldformat.h"

#include "strutils.h"

void TMorvexReplacement::Assign(const TPersistent &Source)
{
    const auto *other = dynamic_cast<const TMorvexReplacement *>(&Source);
    if (!other) {
        TCollectionItem::Assign(Source);
        return;
    }
    m_textToFind = other->m_textToFind;
    m_replaceWith = other->m_replaceWith;
    m_ignoreCase = other->m_ignoreCase;
}

QString TMorvexReplacement::GetDisplayName() const
{
    return m_textToFind + QStringLiteral(" - ") + m_replaceWith;
}

void TMorvexFieldFormat::Assign(const TPersistent &Source)
{
    const auto *other = dynamic_cast<const TMorvexFieldFormat *>(&Source);
    if (!other) {
        TCollectionItem::Assign(Source);
        return;
    }
    m_fieldName = other->m_fieldName;
    m_generatorValue = other->m_generatorValue;
    m_generatorStep = other->m_generatorStep;
    m_constantValue = other->m_constantValue;
    m_nullValue = other->m_nullValue;
    m_defaultValue = other->m_defaultValue;
    m_leftQuote = other->m_leftQuote;
    m_rightQuote = other->m_rightQuote;
    m_quoteAction = other->m_quoteAction;
    m_charCase = other->m_charCase;
    m_charSet = other->m_charSet;
    m_replacements.Assign(other->m_replacements);
}

bool TMorvexFieldFormat::IsDefaultValues() const
{
    return m_generatorValue == 0 && m_generatorStep == 0 && m_constantValue.isEmpty()
        && m_nullValue.isEmpty() && m_defaultValue.isEmpty() && m_leftQuote.isEmpty()
        && m_rightQuote.isEmpty() && m_quoteAction == qaNone && m_charCase == iccNone
        && m_charSet == icsNone && m_replacements.Count() == 0;
}

int TMorvexFieldFormats::IndexByName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (AnsiSameText(Items(i)->FieldName(), name))
            return i;
    }
    return -1;
}
