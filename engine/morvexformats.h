#pragma once

#include "persistent.h"
#include "stringlist.h"

#include <QChar>
#include <QObject>
#include <QString>

// The global conversion formats of an import component. During a run they
// replace the process-wide format settings (ApplyParams) and the previous
// settings are put back afterwards (StoreFormats / RestoreFormats).
class TMorvexFormats : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(QChar DecimalSeparator READ DecimalSeparator WRITE SetDecimalSeparator)
    Q_PROPERTY(QChar ThousandSeparator READ ThousandSeparator WRITE SetThousandSeparator)
    Q_PROPERTY(QString ShortDateFormat READ ShortDateFormat WRITE SetShortDateFormat)
    Q_PROPERTY(QString LongDateFormat READ LongDateFormat WRITE SetLongDateFormat)
    Q_PROPERTY(QChar DateSeparator READ DateSeparator WRITE SetDateSeparator)
    Q_PROPERTY(QString ShortTimeFormat READ ShortTimeFormat WRITE SetShortTimeFormat)
    Q_PROPERTY(QString LongTimeFormat READ LongTimeFormat WRITE SetLongTimeFormat)
    Q_PROPERTY(QChar TimeSeparator READ TimeSeparator WRITE SetTimeSeparator)
    Q_PROPERTY(TStringList BooleanTrue READ BooleanTrue WRITE SetBooleanTrue)
    Q_PROPERTY(TStringList BooleanFalse READ BooleanFalse WRITE SetBooleanFalse)
    Q_PROPERTY(TStringList NullValues READ NullValues WRITE SetNullValues)

public:
    // Starts from the current process-wide settings and one default line in
    // each list.
    TMorvexFormats();

    void Assign(const TPersistent &Source) override;

    QChar DecimalSeparator() const { return m_current.DecimalSeparator; }
    void SetDecimalSeparator(QChar value) { m_current.DecimalSeparator = value; }
    QChar ThousandSeparator() const { return m_current.ThousandSeparator; }
    void SetThousandSeparator(QChar value) { m_current.ThousandSeparator = value; }
    QString ShortDateFormat() const { return m_current.ShortDateFormat; }
    void SetShortDateFormat(const QString &value) { m_current.ShortDateFormat = value; }
    QString LongDateFormat() const { return m_current.LongDateFormat; }
    void SetLongDateFormat(const QString &value) { m_current.LongDateFormat = value; }
    QChar DateSeparator() const { return m_current.DateSeparator; }
    void SetDateSeparator(QChar value) { m_current.DateSeparator = value; }
    QString ShortTimeFormat() const { return m_current.ShortTimeFormat; }
    void SetShortTimeFormat(const QString &value) { m_current.ShortTimeFormat = value; }
    QString LongTimeFormat() const { return m_current.LongTimeFormat; }
    void SetLongTimeFormat(const QString &value) { m_current.LongTimeFormat = value; }
    QChar TimeSeparator() const { return m_current.TimeSeparator; }
    void SetTimeSeparator(QChar value) { m_current.TimeSeparator = value; }

    const TStringList &BooleanTrue() const { return m_booleanTrue; }
    void SetBooleanTrue(const TStringList &value) { m_booleanTrue.Assign(value); }
    const TStringList &BooleanFalse() const { return m_booleanFalse; }
    void SetBooleanFalse(const TStringList &value) { m_booleanFalse.Assign(value); }
    const TStringList &NullValues() const { return m_nullValues; }
    void SetNullValues(const TStringList &value) { m_nullValues.Assign(value); }
    // The lists for editing in place.
    TStringList &BooleanTrue() { return m_booleanTrue; }
    TStringList &BooleanFalse() { return m_booleanFalse; }
    TStringList &NullValues() { return m_nullValues; }

    // Saves the process-wide settings, to be put back by RestoreFormats.
    void StoreFormats();
    // Makes these formats the process-wide settings.
    void ApplyParams();
    void RestoreFormats();

    // A scalar format is persisted only when it differs from the process-wide
    // setting; the three lists always are.
    bool IsDecimalSeparator() const;
    bool IsThousandSeparator() const;
    bool IsShortDateFormat() const;
    bool IsLongDateFormat() const;
    bool IsDateSeparator() const;
    bool IsShortTimeFormat() const;
    bool IsLongTimeFormat() const;
    bool IsTimeSeparator() const;

private:
    // The eight process-wide settings that the conversions read.
    struct Settings
    {
        QChar DecimalSeparator;
        QChar ThousandSeparator;
        QString ShortDateFormat;
        QString LongDateFormat;
        QChar DateSeparator;
        QString ShortTimeFormat;
        QString LongTimeFormat;
        QChar TimeSeparator;

        static Settings Current();
        void MakeCurrent() const;
    };

    Settings m_current;
    Settings m_saved;
    TStringList m_booleanTrue;
    TStringList m_booleanFalse;
    TStringList m_nullValues;
};
