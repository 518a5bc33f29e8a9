#pragma once

#include <QObject>
#include <QString>

// One field of a dataset's current record.
class TField
{
public:
    virtual QString FieldName() const = 0;
    // The value as text in the process-wide formats (FormatSettings): numbers
    // with the decimal separator, dates and times in the short date and long
    // time formats, booleans as 1 and 0, null as empty text.
    virtual QString Text() const = 0;
    // Memo, binary and other large-object fields.
    virtual bool IsBlob() const = 0;

protected:
    TField() = default;
    ~TField() = default;
    TField(const TField &) = delete;
    TField &operator=(const TField &) = delete;
};

// The generic dataset: records read one after the other, their fields found
// by name. The dataset import reads any dataset through this interface.
class TDataSet : public QObject
{
    Q_OBJECT

public:
    // Bound controls stop refreshing until as many EnableControls calls followed.
    virtual void DisableControls() = 0;
    virtual void EnableControls() = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    // Past the last record (also when there is none).
    virtual bool Eof() const = 0;
    // Null when the dataset has no field of that name (compared without
    // regard to letter case). Valid until the dataset is closed or changed.
    virtual TField *FindField(const QString &name) const = 0;

protected:
    explicit TDataSet(QObject *parent = nullptr);
};
