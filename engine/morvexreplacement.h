#pragma once

#include "persistent.h"

#include <QObject>
#include <QString>

class TMorvexFieldFormat;

// One whole-value replacement of a field format.
class TMorvexReplacement : public TCollectionItem
{
    Q_GADGET
    Q_PROPERTY(QString TextToFind READ TextToFind WRITE SetTextToFind)
    Q_PROPERTY(QString ReplaceWith READ ReplaceWith WRITE SetReplaceWith)
    Q_PROPERTY(bool IgnoreCase READ IgnoreCase WRITE SetIgnoreCase)

public:
    void Assign(const TPersistent &Source) override;
    // "TextToFind - ReplaceWith".
    QString GetDisplayName() const override;

    QString TextToFind() const { return m_textToFind; }
    void SetTextToFind(const QString &value) { m_textToFind = value; }
    QString ReplaceWith() const { return m_replaceWith; }
    void SetReplaceWith(const QString &value) { m_replaceWith = value; }
    bool IgnoreCase() const { return m_ignoreCase; }
    void SetIgnoreCase(bool value) { m_ignoreCase = value; }

private:
    QString m_textToFind;
    QString m_replaceWith;
    bool m_ignoreCase = false;
};

// The ordered replacements of one field format, which owns them.
class TMorvexReplacements : public TCollection<TMorvexReplacement>
{
public:
    explicit TMorvexReplacements(TMorvexFieldFormat *fieldFormat) : m_fieldFormat(fieldFormat) {}

    TMorvexFieldFormat *FieldFormat() const { return m_fieldFormat; }

private:
    TMorvexFieldFormat *m_fieldFormat;
};
