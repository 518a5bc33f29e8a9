#pragma once

#include "dataset.h"
#include "sysutils.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

class TIB_Row;

// How a column's Firebird type is seen by its callers.
enum class TIB_ColumnKind {
    Integer,  // SMALLINT, INTEGER, BIGINT, NUMERIC/DECIMAL of scale 0
    Currency, // NUMERIC/DECIMAL of scale 1 to 4
    Float,    // FLOAT, DOUBLE PRECISION, NUMERIC/DECIMAL of a larger scale
    Text,     // CHAR, VARCHAR
    TextBlob, // BLOB SUB_TYPE TEXT
    Blob,     // every other BLOB
    Date,     // DATE: date only
    Time,     // TIME: time only
    DateTime, // TIMESTAMP
    Boolean,  // BOOLEAN
    Other     // ARRAY and what else has no value conversion: read only
};

// One column of a dataset's row. Getters read the current row; setters store
// into it and raise EIB_Error (EConvertError for text that does not parse)
// when the column refuses the value, leaving the column unchanged.
//
// Text written to numeric and date columns and read from them uses the
// invariant forms: "-12.5", "2024-02-29", "13:45:00", "2024-02-29 13:45:00".
class TIB_Column final : public TField
{
public:
    TIB_Column(const TIB_Column &) = delete;
    TIB_Column &operator=(const TIB_Column &) = delete;

    QString FieldName() const override { return m_fieldName; }
    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const QString &value) { m_displayLabel = value; }
    // 0-based position in the row.
    int Index() const { return m_index; }
    // The table and the table's column this column reads, empty for expressions.
    QString RelName() const { return m_relName; }
    QString SQLName() const { return m_sqlName; }

    TIB_ColumnKind Kind() const { return m_kind; }
    bool IsText() const { return m_kind == TIB_ColumnKind::Text; }
    bool IsBlob() const override { return m_kind == TIB_ColumnKind::TextBlob || m_kind == TIB_ColumnKind::Blob; }
    bool IsTextBlob() const { return m_kind == TIB_ColumnKind::TextBlob; }
    bool IsDateTime() const;
    bool IsDateOnly() const { return m_kind == TIB_ColumnKind::Date; }
    bool IsTimeOnly() const { return m_kind == TIB_ColumnKind::Time; }
    bool IsCurrency() const { return m_kind == TIB_ColumnKind::Currency; }
    bool IsNumeric() const;
    bool IsBoolean() const { return m_kind == TIB_ColumnKind::Boolean; }
    // Number of decimals of a NUMERIC/DECIMAL column, 0 for other kinds.
    int Scale() const { return -m_scale; }
    // Characters a CHAR/VARCHAR column holds, 0 for other kinds.
    int CharLength() const;
    bool IsNullable() const { return m_nullable; }
    // Computed columns, expressions, columns of another table and RDB$DB_KEY
    // cannot be written.
    bool ReadOnly() const { return m_readOnly; }
    bool Computed() const { return m_computed; }
    // Set by every setter since the row was loaded or posted.
    bool IsModified() const { return m_modified; }

    bool IsNull() const;
    void Clear();

    QString AsString() const;
    // The value in the process-wide formats, as a source of the dataset import
    // reads it; binary blobs as UTF-8 when they are valid UTF-8, else in the
    // ANSI code page.
    QString Text() const override;
    void SetAsString(const QString &value);
    int AsInteger() const;
    void SetAsInteger(int value);
    // Raises EConvertError when the column is not of an integer kind.
    int64_t AsInt64() const;
    void SetAsInt64(int64_t value);
    double AsDouble() const;
    void SetAsDouble(double value);
    double AsFloat() const { return AsDouble(); }
    void SetAsFloat(double value) { SetAsDouble(value); }
    Currency AsCurrency() const;
    void SetAsCurrency(Currency value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    // Null is an invalid QVariant; integers are qlonglong, currency and float
    // double, text QString, binary blobs QByteArray, dates QDate, times QTime,
    // timestamps QDateTime (UTC, as stored), booleans bool.
    QVariant AsVariant() const;
    void SetAsVariant(const QVariant &value);
    // The stored bytes of text and blob columns (UTF-8 for text).
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray &value);

    // Layer internals: where the value lives in its row's Firebird message.
    struct Layout
    {
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned length = 0;
        unsigned charSet = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
        bool nullable = true;
    };
    const Layout &MessageLayout() const { return m_layout; }

private:
    friend class TIB_Row;
    TIB_Column(TIB_Row *row, int index, const Layout &layout, const QString &fieldName,
               const QString &relName, const QString &sqlName);

    const unsigned char *Data() const;
    unsigned char *Data();
    void SetNullFlag(bool null);
    void BeginWrite();
    [[noreturn]] void Refuse(const QString &reason) const;
    [[noreturn]] void NotConvertible(const char *what) const;

    bool IsScaledInteger() const;
    int64_t RawInteger() const;
    void StoreRawInteger(int64_t raw);
    void StoreScaled(int64_t value, int decimals);
    // Checks a text of `size` bytes and `characters` characters against the
    // column, stores its length or padding and returns where its bytes go.
    unsigned char *StoreTextOf(qsizetype size, qsizetype characters);
    void StoreText(const QByteArray &bytes, qsizetype characters);
    QByteArray ReadBlob() const;
    void StoreTimestampParts(int32_t date, uint32_t time);

    TIB_Row *m_row;
    int m_index;
    Layout m_layout;
    TIB_ColumnKind m_kind;
    int m_scale;
    QString m_fieldName;
    QString m_displayLabel;
    QString m_relName;
    QString m_sqlName;
    bool m_nullable;
    bool m_readOnly = false;
    bool m_computed = false;
    bool m_modified = false;
    // Blob content set but not yet written: blobs are created when the row is posted.
    std::optional<QByteArray> m_pendingBlob;
};
