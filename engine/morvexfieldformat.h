#pragma once

#include "morvexreplacement.h"
#include "morvextypes.h"
#include "persistent.h"

#include <QObject>
#include <QString>

// The conversion settings of one destination column.
class TMorvexFieldFormat : public TCollectionItem
{
    Q_GADGET
    Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
    Q_PROPERTY(int GeneratorValue READ GeneratorValue WRITE SetGeneratorValue)
    Q_PROPERTY(int GeneratorStep READ GeneratorStep WRITE SetGeneratorStep)
    Q_PROPERTY(QString ConstantValue READ ConstantValue WRITE SetConstantValue)
    Q_PROPERTY(QString NullValue READ NullValue WRITE SetNullValue)
    Q_PROPERTY(QString DefaultValue READ DefaultValue WRITE SetDefaultValue)
    Q_PROPERTY(QString LeftQuote READ LeftQuote WRITE SetLeftQuote)
    Q_PROPERTY(QString RightQuote READ RightQuote WRITE SetRightQuote)
    Q_PROPERTY(Morvex::TQuoteAction QuoteAction READ QuoteAction WRITE SetQuoteAction)
    Q_PROPERTY(Morvex::TMorvexCharCase CharCase READ CharCase WRITE SetCharCase)
    Q_PROPERTY(Morvex::TMorvexCharSet CharSet READ CharSet WRITE SetCharSet)

public:
    TMorvexFieldFormat() : m_replacements(this) {}

    void Assign(const TPersistent &Source) override;

    const QString &FieldName() const { return m_fieldName; }
    void SetFieldName(const QString &value) { m_fieldName = value; }
    int GeneratorValue() const { return m_generatorValue; }
    void SetGeneratorValue(int value) { m_generatorValue = value; }
    // 0 means the column has no generator.
    int GeneratorStep() const { return m_generatorStep; }
    void SetGeneratorStep(int value) { m_generatorStep = value; }
    // "''" stands for the empty value.
    QString ConstantValue() const { return m_constantValue; }
    void SetConstantValue(const QString &value) { m_constantValue = value; }
    // "''" stands for the empty text.
    QString NullValue() const { return m_nullValue; }
    void SetNullValue(const QString &value) { m_nullValue = value; }
    QString DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(const QString &value) { m_defaultValue = value; }
    QString LeftQuote() const { return m_leftQuote; }
    void SetLeftQuote(const QString &value) { m_leftQuote = value; }
    QString RightQuote() const { return m_rightQuote; }
    void SetRightQuote(const QString &value) { m_rightQuote = value; }
    TQuoteAction QuoteAction() const { return m_quoteAction; }
    void SetQuoteAction(TQuoteAction value) { m_quoteAction = value; }
    TMorvexCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TMorvexCharCase value) { m_charCase = value; }
    TMorvexCharSet CharSet() const { return m_charSet; }
    void SetCharSet(TMorvexCharSet value) { m_charSet = value; }
    const TMorvexReplacements &Replacements() const { return m_replacements; }
    TMorvexReplacements &Replacements() { return m_replacements; }
    void SetReplacements(const TMorvexReplacements &value) { m_replacements.Assign(value); }

    bool IsGeneratorValue() const { return m_generatorValue != 0; }
    bool IsGeneratorStep() const { return m_generatorStep != 0; }
    bool IsConstant() const { return !m_constantValue.isEmpty(); }
    bool IsNull() const { return !m_nullValue.isEmpty(); }
    bool IsDefault() const { return !m_defaultValue.isEmpty(); }
    bool IsLeftQuote() const { return !m_leftQuote.isEmpty(); }
    bool IsRightQuote() const { return !m_rightQuote.isEmpty(); }
    bool IsQuoteAction() const { return m_quoteAction != qaNone; }
    bool IsCharCase() const { return m_charCase != iccNone; }
    bool IsCharSet() const { return m_charSet != icsNone; }
    // True when the item changes nothing; FieldName is not considered.
    bool IsDefaultValues() const;

private:
    QString m_fieldName;
    int m_generatorValue = 0;
    int m_generatorStep = 0;
    QString m_constantValue;
    QString m_nullValue;
    QString m_defaultValue;
    QString m_leftQuote;
    QString m_rightQuote;
    TQuoteAction m_quoteAction = qaNone;
    TMorvexCharCase m_charCase = iccNone;
    TMorvexCharSet m_charSet = icsNone;
    TMorvexReplacements m_replacements;
};

// The per-column settings of an import component, which is their owner.
class TMorvexFieldFormats : public TCollection<TMorvexFieldFormat>
{
public:
    using TCollection::TCollection;

    // The first item whose FieldName equals name, ignoring case; -1 for none.
    int IndexByName(const QString &name) const;
};
