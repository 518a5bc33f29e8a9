// Value conversion: the per-column field formats, and text into a
// destination column by the column's type.
#include "ib_morvex2.h"

#include "codepages.h"
#include "formatsettings.h"
#include "tib_column.h"
#include "morvexutils.h"
#include "shorttext.h"
#include "strutils.h"
#include "conversions.h"

#include <cmath>
#include <limits>

void TIB_Morvex2::DoUserDataFormat(TMorvexCol *Col)
{
    if (!Col)
        return;
    const int index = m_fieldFormats.IndexByName(Col->Name);
    if (index < 0)
        return;
    const TMorvexFieldFormat *format = m_fieldFormats.Items(index);
    QString &value = Col->Value;

    if (TMorvexGenerator *generator = m_generators.GenByName(Col->Name)) {
        value = QString::number(generator->GetNewValue());
        return;
    }

    static const QString kEmptyMark = QStringLiteral("''");
    bool replaced = false;
    if (!format->DefaultValue().isEmpty() && !format->NullValue().isEmpty()
        && ((format->NullValue() == kEmptyMark && value.isEmpty()) || AnsiSameText(value, format->NullValue()))) {
        value = format->DefaultValue();
        replaced = true;
    }
    if (!format->ConstantValue().isEmpty()) {
        value = format->ConstantValue() == kEmptyMark ? QString() : format->ConstantValue();
        replaced = true;
    }
    if (!replaced) {
        const TMorvexReplacements &replacements = format->Replacements();
        for (int i = 0; i < replacements.Count(); ++i) {
            const TMorvexReplacement *r = replacements.Items(i);
            if (value == r->TextToFind() || (r->IgnoreCase() && AnsiSameText(value, r->TextToFind())))
                value = r->ReplaceWith();
        }
    }

    switch (format->QuoteAction()) {
    case qaAdd:
        value = AddQuote(value, format->LeftQuote(), format->RightQuote());
        break;
    case qaRemove:
        value = RemoveQuote(value, format->LeftQuote(), format->RightQuote());
        break;
    case qaNone:
        break;
    }

    switch (format->CharCase()) {
    case iccUpper:
        value = AnsiUpperCase(value);
        break;
    case iccLower:
        value = AnsiLowerCase(value);
        break;
    case iccUpperFirst:
        value = AnsiUpperFirst(value);
        break;
    case iccUpperFirstWord:
        value = AnsiUpperFirstWord(value);
        break;
    case iccNone:
        break;
    }

    if (!value.isEmpty()) {
        if (format->CharSet() == icsAnsi)
            value = OemToAnsi(value);
        else if (format->CharSet() == icsOem)
            value = AnsiToOem(value);
    }
}

TMorvexFieldType TIB_Morvex2::GetImportFieldType(TIB_Column *Column)
{
    if (Column->IsText() || Column->IsBlob())
        return iftString;
    if (Column->IsDateTime() || Column->IsDateOnly() || Column->IsTimeOnly())
        return iftDateTime;
    if (Column->IsCurrency())
        return iftCurrency;
    // A native BOOLEAN column takes the boolean texts; without this it would
    // count as not numeric and never receive a value.
    if (Column->IsBoolean())
        return iftBoolean;
    if (!Column->IsNumeric())
        return iftUnknown;
    // A numeric column reads as a 64-bit integer exactly when it is of an
    // integer kind; asking the kind spares a raised error per value.
    return Column->Kind() == TIB_ColumnKind::Integer ? iftInteger : iftDouble;
}

namespace {

bool inList(const TStringList &list, QStringView text, Qt::CaseSensitivity cs)
{
    for (int i = 0; i < list.Count(); ++i) {
        const QString &item = list[i];
        if (cs == Qt::CaseSensitive ? item == text : CompareTextIgnoringCase(item, text) == 0)
            return true;
    }
    return false;
}

QString withoutThousands(const QString &text)
{
    const QChar separator = FormatSettings.ThousandSeparator;
    if (separator.isNull() || FindShortText(text, separator) == text.size())
        return text;
    return QString(text).remove(separator);
}

// A decimal integer text (the runtime's integer parser also takes "$" hex).
bool tryDecimalInt64(const QString &text, int64_t &value)
{
    return FindShortText(text, u'$') == text.size() && TryStrToInt64(text, value);
}

// An integer text is taken exactly as a 64-bit value; anything else is read
// as a floating-point number and truncated toward zero. A number that no
// 64-bit integer can hold fails rather than wrapping around.
bool textToInteger(const QString &text, int64_t &value)
{
    const QString digits = withoutThousands(text);
    if (tryDecimalInt64(digits, value))
        return true;
    double number = 0;
    if (!TryStrToFloat(digits, number) || !std::isfinite(number))
        return false;
    const double truncated = std::trunc(number);
    // 2^63 is exactly representable; every double below it fits.
    if (truncated < -9223372036854775808.0 || truncated >= 9223372036854775808.0)
        return false;
    value = int64_t(truncated);
    return true;
}

} // namespace

bool TIB_Morvex2::StringToField(TIB_Column *Column, const QString &Text, bool /*Verbatim*/)
{
    if (!Column)
        return true;
    try {
        if (inList(m_formats.NullValues(), TrimmedView(Text), Qt::CaseSensitive)) {
            Column->Clear();
            return true;
        }
        switch (GetImportFieldType(Column)) {
        case iftString:
            Column->SetAsString(Text);
            return true;
        case iftInteger: {
            int64_t value = 0;
            if (!textToInteger(Text, value)) {
                if (inList(m_formats.BooleanTrue(), Text, Qt::CaseInsensitive))
                    value = 1;
                else if (inList(m_formats.BooleanFalse(), Text, Qt::CaseInsensitive))
                    value = 0;
                else
                    return false;
            }
            if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
                Column->SetAsInteger(int(value));
            else
                Column->SetAsInt64(value);
            return true;
        }
        case iftBoolean: {
            bool value = false;
            int64_t number = 0;
            if (inList(m_formats.BooleanTrue(), Text, Qt::CaseInsensitive))
                value = true;
            else if (inList(m_formats.BooleanFalse(), Text, Qt::CaseInsensitive))
                value = false;
            else if (tryDecimalInt64(Text, number))
                value = number != 0;
            else
                return false;
            Column->SetAsBoolean(value);
            return true;
        }
        case iftDouble: {
            QString text = Text;
            if (const QChar separator = FormatSettings.DecimalSeparator; separator != u'.') {
                if (const qsizetype dot = text.indexOf(u'.'); dot >= 0)
                    text[dot] = separator;
            }
            double value = 0;
            if (!TryStrToFloat(withoutThousands(text), value))
                return false;
            Column->SetAsFloat(value);
            return true;
        }
        case iftCurrency: {
            Currency value;
            if (!TryStrToCurr(withoutThousands(Text), value))
                return false;
            Column->SetAsCurrency(value);
            return true;
        }
        case iftDateTime: {
            TDateTime value = 0;
            if (!TryStrToDateTime(Text, value))
                return false;
            Column->SetAsDateTime(value);
            return true;
        }
        case iftUnknown:
            return false;
        }
    } catch (const std::exception &) {
        return false;
    }
    return false;
}
